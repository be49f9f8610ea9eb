#include "control/secteur_editor.h"

#include <QDebug>
#include <QFont>

#include <exception>
#include <utility>

#include "control/screen_model.h"
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

SecteurEditor::SecteurEditor(QWidget* parent)
    : forms::Form(parent),
      state_(std::make_shared<SharedState>()),
      ui_(BuildScreen(*this)),
      modes_(ui_, *state_),
      quartier_({ui_, *state_, modes_}, liens_),
      liens_({ui_, *state_, modes_}, quartier_, *this, rights_),
      sousSecteur_({ui_, *state_, modes_}, quartier_),
      secteur_({ui_, *state_, modes_}, sousSecteur_, quartier_) {
    resize(sizeHint());
    EnterFocus = [this] { UserControl_EnterFocus(); };
    ConnectHelpMenu();
    ConnectConfirmButtons();
    ConnectSectorDialogs();
}

SecteurScreen SecteurEditor::BuildScreen(SecteurEditor& control) {
    control.setObjectName(QStringLiteral("Ctr_Secteur_Form"));
    // The screen's twips layout was drawn for an 8-point interface font; a wide
    // default sans would cut or crowd the longer captions ("Antenne Médicale",
    // "Gestion documentaire"). Liberation Sans has Arial's widths on any system.
    QFont screenFont = control.font();
    screenFont.setFamilies(
        {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), screenFont.family()});
    screenFont.setPointSizeF(8);
    // Arial's widths run a little wider than the ones the screen was drawn with.
    screenFont.setStretch(93);
    control.setFont(screenFont);
    return BuildSecteurScreen(control);
}

SecteurEditor::~SecteurEditor() {
    DisconnectLevels();
    UserControl_Terminate();
}

QSize SecteurEditor::sizeHint() const {
    return {forms::TwipsToPixelsX(kDesignWidthTwips, this),
            forms::TwipsToPixelsY(kDesignHeightTwips, this)};
}

void SecteurEditor::SetDroitsUtilisateur(
    const std::shared_ptr<services::DroitsUtilisateur>& New_DroitsUtilisateur) {
    if (!New_DroitsUtilisateur) {
        throw std::invalid_argument("Ctr_Secteur.DroitsUtilisateur: no rights object given");
    }
    services::ModuleAccess access = New_DroitsUtilisateur->ModuleRights(kRightsModule);
    rights_.droits = New_DroitsUtilisateur;
    rights_.moduleAccess = std::move(access);
}

void SecteurEditor::SetTheClient(ClientObject vNewValue) {
    state_->client = std::move(vNewValue);
}

void SecteurEditor::SetTheDatabase(std::shared_ptr<kelmor::Database> vNewValue) {
    state_->database = std::move(vNewValue);
}

void SecteurEditor::Init() {
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

    modes_.Cacher_Ok();
    modes_.Voir_Secteur();
    modes_.Cacher_SousSecteur();
    modes_.Cacher_Quartier();
    RunStep("Remplir_Combo_Secteur", [this] { secteur_.Remplir_Combo_Secteur(); });
    RunStep("Remplir_Combo_CentreMedical", [this] { liens_.Remplir_Combo_CentreMedical(); });
}

void SecteurEditor::Appliquer_Droits() {
    if (!rights_.moduleAccess) {
        throw std::logic_error("DroitsUtilisateur was not set before Init");
    }
    if (rights_.moduleAccess->AccessLevel() == services::kLevelModify) return;
    // Only creating and confirming are withheld; browsing and renaming stay.
    ui_.Cmd_AjouterAntMedQuartier->setVisible(false);
    ui_.Cmd_AjouterCentreMedQuartier->setVisible(false);
    ui_.Cmd_AjouterQuartier->setVisible(false);
    ui_.Cmd_AjouterSecteur->setVisible(false);
    ui_.Cmd_AjouterSousSecteur->setVisible(false);
    ui_.Cmd_OkSecteurGeo->setVisible(false);
}

void SecteurEditor::UserControl_EnterFocus() {
    if (state_->database) {
        liens_.Remplir_Combo_CentreMedical();
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

void SecteurEditor::UserControl_Terminate() {
    Liberer_Objets();
    rights_.moduleAccess.reset();
    rights_.droits.reset();
}

void SecteurEditor::Liberer_Objets() {
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

void SecteurEditor::DisconnectLevels() {
    for (forms::TextBox* box : findChildren<forms::TextBox*>()) {
        box->Change = nullptr;
        box->KeyPress = nullptr;
        box->GotFocus = nullptr;
        box->LostFocus = nullptr;
    }
    for (forms::ComboBox* combo : findChildren<forms::ComboBox*>()) {
        combo->Change = nullptr;
        combo->KeyPress = nullptr;
        combo->Click = nullptr;
        combo->DropDown = nullptr;
        combo->GotFocus = nullptr;
        combo->LostFocus = nullptr;
    }
}

void SecteurEditor::OfferMedicalCentreEditor(bool offer) {
    if (!rights_.moduleAccess) {
        throw std::logic_error(
            "OfferMedicalCentreEditor: DroitsUtilisateur must be set first (the buttons are for "
            "level 2 only)");
    }
    const bool shown = offer && rights_.moduleAccess->AccessLevel() == services::kLevelModify;
    ui_.Cmd_AjouterCentreMedQuartier->setVisible(shown);
    ui_.Cmd_AjouterAntMedQuartier->setVisible(shown);
}

}  // namespace zonitra
