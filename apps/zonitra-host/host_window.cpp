#include "host_window.h"

#include <control/ctr_secteur.h>
#include <control/registry.h>

#include <QCloseEvent>
#include <stdexcept>

namespace host {

HostWindow::HostWindow() : editor_(nullptr) {
    setObjectName(QStringLiteral("Frm_Hote"));
    setWindowTitle(QStringLiteral("Zonitra — Secteurs"));
    zonitra::RegisterServer();
    QWidget* component = zonitra::CreateComponent(zonitra::kSecteurComponentName, this);
    editor_ = qobject_cast<zonitra::Ctr_Secteur*>(component);
    if (!editor_) {
        delete component;
        throw std::logic_error(std::string(zonitra::kSecteurComponentName) +
                               " did not create a Ctr_Secteur");
    }
    setCentralWidget(editor_);
    setFixedSize(editor_->sizeHint());
}

void HostWindow::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) emit Closed();
}

}  // namespace host
