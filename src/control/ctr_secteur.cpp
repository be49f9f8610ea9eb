#include "control/ctr_secteur.h"

#include <QDebug>
#include <QFont>

#include <exception>
#include <utility>

#include "control/screen_model.h"
#include "dialogs/frm_agrement.h"
#include "forms/twips.h"
#include "kelmor/database.h"

namespace zonitra {
namespace {

// Runs one step of Init; any failure becomes an InitError naming the step.
template <class Step>
void RunStep(const std::string& name, Step&& step) {
    try {
        step();
    } catch (const kelmor::Error& error) {
        throw InitError(name, error.number(), error.what());
    } catch (const std::exception& error) {
        throw InitError(name, 0, error.what());
    }
}

}  // namespace

InitError::InitError(std::string step, std::int32_t number, const std::string& cause)
    : std::runtime_error("Ctr_Secteur.Init: " + step + " failed: " + cause),
      step_(std::move(step)),
      number_(number) {}

Ctr_Secteur::Ctr_Secteur(QWidget* parent)
    : forms::Form(parent), state_(std::make_shared<SharedState>()) {
    setObjectName(QStringLiteral("Ctr_Secteur"));
    // The screen's twips layout was drawn for an 8-point interface font.
    QFont screenFont = font();
    screenFont.setPointSizeF(8);
    screenFont.setStretch(QFont::SemiCondensed);
    setFont(screenFont);
    ui_ = BuildSecteurScreen(*this);
    resize(sizeHint());
    EnterFocus = [this] { UserControl_EnterFocus(); };
    ConnectHelpMenu();
    ConnectSectorLevel();
    ConnectSectorAttributes();
    ConnectSubSectorLevel();
    ConnectNeighbourhoodLevel();
    ConnectMedicalLinks();
    ConnectMedicalCentreEditor();
    ConnectConfirmButtons();
    ui_.Cmd_Agrement->Click = [this] { OpenFrmAgrement(*state_, droits_, this); };
}

Ctr_Secteur::~Ctr_Secteur() {
    DisconnectLevels();
    UserControl_Terminate();
}

QSize Ctr_Secteur::sizeHint() const {
    return {forms::TwipsToPixelsX(kDesignWidthTwips, this),
            forms::TwipsToPixelsY(kDesignHeightTwips, this)};
}

void Ctr_Secteur::SetDroitsUtilisateur(
    const std::shared_ptr<services::DroitsUtilisateur>& New_DroitsUtilisateur) {
    if (!New_DroitsUtilisateur) {
        throw std::invalid_argument("Ctr_Secteur.DroitsUtilisateur: no rights object given");
    }
    services::ModuleAccess access = New_DroitsUtilisateur->ModuleRights(kRightsModule);
    droits_ = New_DroitsUtilisateur;
    moduleAccess_ = std::move(access);
}

void Ctr_Secteur::SetTheClient(ClientObject vNewValue) {
    state_->client = std::move(vNewValue);
}

void Ctr_Secteur::SetTheDatabase(std::shared_ptr<kelmor::Database> vNewValue) {
    state_->database = std::move(vNewValue);
}

void Ctr_Secteur::Init() {
    SharedState& s = *state_;
    RunStep("Appliquer_Droits", [this] { Appliquer_Droits(); });

    const std::pair<const char*, std::optional<kelmor::DbFile>*> files[] = {
        {"SECTEUR", &s.files.secteur},
        {"SOUSSECTEUR", &s.files.sousSecteur},
        {"QUARTIER", &s.files.quartier},
        {"CENTREMEDICAL", &s.files.centreMedical},
        {"ANTENNEMEDICALE", &s.files.antenneMedicale},
        {"ASSOCIATION", &s.files.association},
        {"COMPTEUR", &s.files.compteur},
    };
    for (const auto& [name, handle] : files) {
        RunStep(std::string("OpenFile ") + name,
                [&] { *handle = s.Db("OpenFile").OpenFile(name); });
    }

    s.compteur.reset();
    RunStep("ReadRecord COMPTEUR \"999\"",
            [&] { s.compteur = s.files.compteur->ReadRecord("999"); });

    s.W_Requete.emplace();
    s.W_CreationSecteur = kFalse;
    s.W_CreationSousSecteur = kFalse;
    s.W_CreationQuartier = kFalse;

    Cacher_Ok();
    Voir_Secteur();
    Cacher_SousSecteur();
    Cacher_Quartier();
    RunStep("Remplir_Combo_Secteur", [this] { Remplir_Combo_Secteur(); });
    RunStep("Remplir_Combo_CentreMedical", [this] { Remplir_Combo_CentreMedical(); });
}

void Ctr_Secteur::Appliquer_Droits() {
    if (!moduleAccess_) {
        throw std::logic_error("DroitsUtilisateur was not set before Init");
    }
    if (moduleAccess_->AccessLevel() == services::kLevelModify) return;
    // Only creating and confirming are withheld; browsing and renaming stay.
    ui_.Cmd_AjouterAntMedQuartier->setVisible(false);
    ui_.Cmd_AjouterCentreMedQuartier->setVisible(false);
    ui_.Cmd_AjouterQuartier->setVisible(false);
    ui_.Cmd_AjouterSecteur->setVisible(false);
    ui_.Cmd_AjouterSousSecteur->setVisible(false);
    ui_.Cmd_OkSecteurGeo->setVisible(false);
}

void Ctr_Secteur::UserControl_EnterFocus() {
    if (state_->database) {
        Remplir_Combo_CentreMedical();
    } else {
        // The host showed the control before giving it a database.
        qWarning(
            "Ctr_Secteur: focus entered before TheDatabase was set; "
            "the medical-centre list is not filled");
    }
    ui_.Cbo_LibCentreMedQuartier->SetText(QString());
    ui_.Txt_CodeCentreMedQuartier->SetText(QString());
    ui_.Cbo_LibAntMedQuartier->SetText(QString());
    ui_.Txt_CodeAntMedQuartier->SetText(QString());
}

void Ctr_Secteur::UserControl_Terminate() {
    Liberer_Objets();
    moduleAccess_.reset();
    droits_.reset();
}

void Ctr_Secteur::Liberer_Objets() {
    SharedState& s = *state_;
    s.W_ListeAssociation.reset();
    s.lists.secteur.reset();
    s.lists.sousSecteur.reset();
    s.lists.quartier.reset();
    s.lists.centreMedical.reset();
    s.lists.antenneMedicale.reset();
    s.W_Requete.reset();
    s.records.association.reset();
    s.records.secteur.reset();
    s.records.sousSecteur.reset();
    s.records.quartier.reset();
    s.records.centreMedical.reset();
    s.records.antenneMedicale.reset();
    s.compteur.reset();
    s.files.association.reset();
    s.files.secteur.reset();
    s.files.sousSecteur.reset();
    s.files.quartier.reset();
    s.files.centreMedical.reset();
    s.files.antenneMedicale.reset();
    s.files.compteur.reset();
    s.database.reset();
}

}  // namespace zonitra
