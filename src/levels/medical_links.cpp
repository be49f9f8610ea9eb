// The medical-centre and antenna links of the neighbourhood frame.

#include "levels/medical_links.h"
#include "control/ctr_secteur.h"
#include "forms/msgbox.h"
#include "forms/uiservice.h"
#include "frm_centremedical.h"
#include "levels/fields.h"
#include "levels/list_query.h"
#include "levels/neighbourhood_level.h"
#include "levels/resume.h"

namespace zonitra {

// Refilled by Init and every time the focus enters the control, so that
// centres added meanwhile (by the medical-centre editor) are offered.
void Ctr_Secteur::Remplir_Combo_CentreMedical() {
    SharedState& s = State();
    s.lists.centreMedical = levels::QueryKeyAndLabel(
        s.Db("Remplir_Combo_CentreMedical"), centremedical::kListQuery, centremedical::kFile);
    // Unlike the other lists, no row counter is kept for this one.
    levels::FillLabels(*Screen().Cbo_LibCentreMedQuartier, *s.lists.centreMedical,
                       s.lists.centreMedical->DCount());
}

// ---- Link fields: centre and antenna lookups, relinking ---------------------

namespace {

const QString kCentreInconnu = QStringLiteral(
    "Ce Centre Médical n'existe pas.\r\nVous devez d'abord cliquer sur 'Ajouter' pour le créer");
const QString kAntenneInconnue = QStringLiteral(
    "Cette Antenne Médicale n'existe pas.\r\nVous devez d'abord cliquer sur 'Ajouter' pour la "
    "créer");
const QString kAntenneSansLibelle =
    QStringLiteral("Le Libellé de l'Antenne Médicale doit être renseigné.");

}  // namespace

void Ctr_Secteur::ConnectMedicalLinks() {
    ui_.Txt_CodeCentreMedQuartier->Change = [this] { Txt_CodeCentreMedQuartier_Change(); };
    ui_.Txt_CodeCentreMedQuartier->KeyPress = [this](std::int16_t& k) {
        Txt_CodeCentreMedQuartier_KeyPress(k);
    };
    ui_.Txt_CodeCentreMedQuartier->LostFocus = [this] { Txt_CodeCentreMedQuartier_LostFocus(); };
    ui_.Cbo_LibCentreMedQuartier->Change = [this] { Cbo_LibCentreMedQuartier_Change(); };
    ui_.Cbo_LibCentreMedQuartier->Click = [this](int index) {
        Cbo_LibCentreMedQuartier_Click(index);
    };
    ui_.Txt_CodeAntMedQuartier->Change = [this] { Txt_CodeAntMedQuartier_Change(); };
    ui_.Txt_CodeAntMedQuartier->KeyPress = [this](std::int16_t& k) {
        Txt_CodeAntMedQuartier_KeyPress(k);
    };
    ui_.Txt_CodeAntMedQuartier->LostFocus = [this] { Txt_CodeAntMedQuartier_LostFocus(); };
    ui_.Cbo_LibAntMedQuartier->Change = [this] { Cbo_LibAntMedQuartier_Change(); };
    ui_.Cbo_LibAntMedQuartier->Click = [this](int index) { Cbo_LibAntMedQuartier_Click(index); };
    ui_.Cbo_LibAntMedQuartier->DropDown = [this] { Cbo_LibAntMedQuartier_DropDown(); };
    ui_.Cbo_LibAntMedQuartier->LostFocus = [this] { Cbo_LibAntMedQuartier_LostFocus(); };
}

bool Ctr_Secteur::EnCreation() const {
    const SharedState& s = *state_;
    return s.W_CreationSecteur || s.W_CreationSousSecteur || s.W_CreationQuartier;
}

void Ctr_Secteur::Remplir_Combo_AntenneMedicale() {
    SharedState& s = *state_;
    s.lists.antenneMedicale = levels::QueryKeyAndLabel(
        s.Db("Remplir_Combo_AntenneMedicale"),
        antennemedicale::ListQuery(levels::S(ui_.Txt_CodeCentreMedQuartier->Text())),
        antennemedicale::kFile);
    s.W_NbAntenneMedicale =
        levels::RowCount(*s.lists.antenneMedicale, "Remplir_Combo_AntenneMedicale");
    levels::FillLabels(*ui_.Cbo_LibAntMedQuartier, *s.lists.antenneMedicale, s.W_NbAntenneMedicale);
}

// A centre code is looked up once it has its three characters: the antenna is
// emptied and the centre's antennas listed; a centre with one antenna shows it
// at once.
void Ctr_Secteur::Txt_CodeCentreMedQuartier_Change() {
    constexpr const char* where = "Txt_CodeCentreMedQuartier_Change";
    SharedState& s = *state_;
    const QString code = ui_.Txt_CodeCentreMedQuartier->Text();
    if (code.size() != centremedical::kCodeLength) {
        levels::ResumeSteps(where, {
                                       [&] { ui_.Cbo_LibCentreMedQuartier->SetText({}); },
                                       [&] { ui_.Txt_CodeAntMedQuartier->SetText({}); },
                                   });
        return;
    }
    const std::int32_t err =
        levels::ReadResumed(where, s.files.centreMedical, centremedical::kFile.data(),
                            levels::S(code), s.records.centreMedical);
    if (err == kelmor::kNotFound) {
        levels::ResumeSteps(
            where,
            {
                [&] { levels::Message(kCentreInconnu, forms::vbExclamation | forms::vbOKOnly); },
                [&] { ui_.Txt_CodeCentreMedQuartier->SetText({}); },
                [&] { ui_.Cbo_LibCentreMedQuartier->SetText({}); },
                [&] { ui_.Txt_CodeAntMedQuartier->SetText({}); },
                [&] { ui_.Cbo_LibAntMedQuartier->SetText({}); },
                [&] { forms::SetFocus(ui_.Txt_CodeCentreMedQuartier); },
            });
        return;
    }
    levels::ResumeSteps(where, {
                                   [&] { ui_.Txt_CodeAntMedQuartier->SetText({}); },
                                   [&] {
                                       ui_.Cbo_LibCentreMedQuartier->SetText(levels::Q(
                                           levels::Current(s.records.centreMedical, "CENTREMEDICAL")
                                               .Get(centremedical::kLibelle)));
                                   },
                                   [&] { Remplir_Combo_AntenneMedicale(); },
                               });
    if (s.W_NbAntenneMedicale == 1) {
        levels::ResumeSteps(where, {[&] {
                                ui_.Txt_CodeAntMedQuartier->SetText(levels::Mid(
                                    levels::ListKey(s.lists.antenneMedicale, 1, "ANTENNEMEDICALE"),
                                    antennemedicale::kCodeStart, antennemedicale::kCodeLength));
                            }});
        return;
    }
    levels::ResumeSteps(where, {
                                   [&] { ui_.Cbo_LibAntMedQuartier->SetText({}); },
                                   [&] { ui_.Txt_CodeAntMedQuartier->SetText({}); },
                                   [&] { forms::SetFocus(ui_.Txt_CodeAntMedQuartier); },
                               });
}

// An antenna code is looked up under the centre code shown beside it.
void Ctr_Secteur::Txt_CodeAntMedQuartier_Change() {
    constexpr const char* where = "Txt_CodeAntMedQuartier_Change";
    SharedState& s = *state_;
    const QString code = ui_.Txt_CodeAntMedQuartier->Text();
    if (code.size() != antennemedicale::kCodeLength) {
        levels::ResumeSteps(where, {[&] { ui_.Cbo_LibAntMedQuartier->SetText({}); }});
        return;
    }
    const QString key = ui_.Txt_CodeCentreMedQuartier->Text() + code;
    const std::int32_t err =
        levels::ReadResumed(where, s.files.antenneMedicale, antennemedicale::kFile.data(),
                            levels::S(key), s.records.antenneMedicale);
    if (err == kelmor::kNotFound) {
        levels::ResumeSteps(
            where,
            {
                [&] { levels::Message(kAntenneInconnue, forms::vbExclamation | forms::vbOKOnly); },
                [&] { ui_.Txt_CodeAntMedQuartier->SetText({}); },
                [&] { ui_.Cbo_LibAntMedQuartier->SetText({}); },
                [&] { forms::SetFocus(ui_.Txt_CodeAntMedQuartier); },
            });
        return;
    }
    levels::ResumeSteps(
        where, {
                   [&] {
                       ui_.Cbo_LibAntMedQuartier->SetText(
                           levels::Q(levels::Current(s.records.antenneMedicale, "ANTENNEMEDICALE")
                                         .Get(antennemedicale::kLibelle)));
                   },
                   [&] { forms::SetFocus(ui_.Txt_CodeAntMedQuartier); },
               });
}

// Every character is accepted as typed; Enter completes a short code.
void Ctr_Secteur::Txt_CodeCentreMedQuartier_KeyPress(std::int16_t& KeyAscii) {
    if (KeyAscii == 13) levels::PadCode(*ui_.Txt_CodeCentreMedQuartier, centremedical::kCodeLength);
}

void Ctr_Secteur::Txt_CodeCentreMedQuartier_LostFocus() {
    levels::PadCode(*ui_.Txt_CodeCentreMedQuartier, centremedical::kCodeLength);
}

void Ctr_Secteur::Txt_CodeAntMedQuartier_KeyPress(std::int16_t& KeyAscii) {
    if (KeyAscii == 13) levels::PadCode(*ui_.Txt_CodeAntMedQuartier, antennemedicale::kCodeLength);
}

// The only place where the link of a shown neighbourhood changes: written at
// once, when it differs. While anything is being created the link is only
// collected; the creation writes it.
void Ctr_Secteur::Txt_CodeAntMedQuartier_LostFocus() {
    SharedState& s = *state_;
    levels::PadCode(*ui_.Txt_CodeAntMedQuartier, antennemedicale::kCodeLength);
    if (EnCreation() || ui_.Txt_CodeQuartier->Text().isEmpty() ||
        ui_.Cbo_LibQuartier->Text().isEmpty() || ui_.Txt_CodeAntMedQuartier->Text().isEmpty()) {
        return;
    }
    const QString link = ui_.Txt_CodeCentreMedQuartier->Text() + ui_.Txt_CodeAntMedQuartier->Text();
    levels::WriteIfChanged(levels::Current(s.records.quartier, "QUARTIER"), quartier::kLien, link);
}

void Ctr_Secteur::Cbo_LibCentreMedQuartier_Change() {
    // Emptying the centre empties the antenna through the code's Change.
    if (ui_.Cbo_LibCentreMedQuartier->Text().isEmpty()) {
        ui_.Txt_CodeCentreMedQuartier->SetText({});
    }
}

void Ctr_Secteur::Cbo_LibCentreMedQuartier_Click(int index) {
    if (ui_.Cbo_LibCentreMedQuartier->Text().isEmpty()) return;
    ui_.Txt_CodeCentreMedQuartier->SetText(
        levels::Q(levels::ListKey(state_->lists.centreMedical, index + 1, "CENTREMEDICAL")));
}

void Ctr_Secteur::Cbo_LibAntMedQuartier_Change() {
    if (ui_.Cbo_LibAntMedQuartier->Text().isEmpty()) ui_.Txt_CodeAntMedQuartier->SetText({});
}

void Ctr_Secteur::Cbo_LibAntMedQuartier_Click(int index) {
    if (ui_.Cbo_LibAntMedQuartier->Text().isEmpty()) return;
    ui_.Txt_CodeAntMedQuartier->SetText(
        levels::Mid(levels::ListKey(state_->lists.antenneMedicale, index + 1, "ANTENNEMEDICALE"),
                    antennemedicale::kCodeStart, antennemedicale::kCodeLength));
}

// No centre, no antennas to offer.
void Ctr_Secteur::Cbo_LibAntMedQuartier_DropDown() {
    if (ui_.Cbo_LibCentreMedQuartier->Text().isEmpty()) ui_.Cbo_LibAntMedQuartier->Clear();
}

void Ctr_Secteur::Cbo_LibAntMedQuartier_LostFocus() {
    if (ui_.Cbo_LibCentreMedQuartier->Text().isEmpty()) return;
    if (!ui_.Cbo_LibAntMedQuartier->Text().isEmpty()) return;
    levels::Message(kAntenneSansLibelle, forms::vbExclamation | forms::vbOKOnly);
    ui_.Txt_CodeAntMedQuartier->SetText({});
    forms::SetFocus(ui_.Txt_CodeAntMedQuartier);
}

// ---- End of the link fields section ------------------------------------------

// ---- Opening the medical-centre editor (Frm_CentreMedical) ----------------

void Ctr_Secteur::ConnectMedicalCentreEditor() {
    ui_.Cmd_AjouterCentreMedQuartier->Click = [this] { Cmd_AjouterCentreMedQuartier_Click(); };
    ui_.Cmd_AjouterAntMedQuartier->Click = [this] { Cmd_AjouterAntMedQuartier_Click(); };
}

void Ctr_Secteur::OfferMedicalCentreEditor(bool offer) {
    if (!moduleAccess_) {
        throw std::logic_error(
            "OfferMedicalCentreEditor: DroitsUtilisateur must be set first (the buttons are for "
            "level 2 only)");
    }
    const bool shown = offer && moduleAccess_->AccessLevel() == services::kLevelModify;
    ui_.Cmd_AjouterCentreMedQuartier->setVisible(shown);
    ui_.Cmd_AjouterAntMedQuartier->setVisible(shown);
}

void Ctr_Secteur::Cmd_AjouterCentreMedQuartier_Click() {
    forms::UiService& platform = forms::Ui();
    platform.SetPointer(forms::Pointer::Hourglass);
    setEnabled(false);
    try {
        OpenCentreMedicalEditor();
    } catch (...) {
        // The failure reaches the host; the control is not left dead behind it.
        platform.SetPointer(forms::Pointer::Default);
        setEnabled(true);
        throw;
    }
    platform.DoEvents();
    platform.SetPointer(forms::Pointer::Default);
    setEnabled(true);
}

void Ctr_Secteur::Cmd_AjouterAntMedQuartier_Click() {
    OpenCentreMedicalEditor();
}

// Loads the form, hands the editor the host objects, initialises it and
// waits until the operator closes it. Nothing is refilled here: the focus
// coming back runs UserControl_EnterFocus, which refills the centres.
void Ctr_Secteur::OpenCentreMedicalEditor() {
    Frm_CentreMedical& form = Frm_CentreMedical::Instance(this);
    form.Load();
    Ctr_CentreMed& editor = *form.Ctr_CentreMed1;
    editor.SetDroitsUtilisateur(droits_);
    editor.SetTheDatabase(state_->database);
    editor.SetTheClient(state_->client);
    editor.Init();
    forms::Ui().ShowModal(form);
}

// ---- End of the medical-centre editor section -------------------------------

}  // namespace zonitra
