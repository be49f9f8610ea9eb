#include "ctr_secteur_plugin.h"

#include <QIcon>

#include "control/ctr_secteur.h"

namespace zonitra {

CtrSecteurPlugin::CtrSecteurPlugin(QObject* parent) : QObject(parent) {}

QString CtrSecteurPlugin::name() const {
    // The class name Designer writes into the .ui file, which uic then creates.
    return QStringLiteral("zonitra::Ctr_Secteur");
}

QString CtrSecteurPlugin::group() const {
    return QStringLiteral("Zonitra");
}

QString CtrSecteurPlugin::toolTip() const {
    return QStringLiteral("Éditeur des secteurs");
}

QString CtrSecteurPlugin::whatsThis() const {
    return QStringLiteral(
        "Ctr_Secteur: secteurs, sous-secteurs et quartiers. Set DroitsUtilisateur, "
        "TheClient and TheDatabase, then call Init.");
}

QString CtrSecteurPlugin::includeFile() const {
    return QStringLiteral("control/ctr_secteur.h");
}

QIcon CtrSecteurPlugin::icon() const {
    return {};
}

bool CtrSecteurPlugin::isContainer() const {
    return false;
}

QWidget* CtrSecteurPlugin::createWidget(QWidget* parent) {
    return new Ctr_Secteur(parent);
}

QString CtrSecteurPlugin::domXml() const {
    return QStringLiteral(
        "<ui language=\"c++\">\n"
        " <widget class=\"zonitra::Ctr_Secteur\" name=\"ctrSecteur\"/>\n"
        "</ui>\n");
}

}  // namespace zonitra
