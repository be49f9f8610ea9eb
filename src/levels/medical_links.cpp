#include "levels/medical_links.h"

#include "control/messages.h"
#include "forms/msgbox.h"
#include "forms/uiservice.h"
#include "frm_centremedical.h"
#include "levels/fields.h"
#include "levels/neighbourhood_level.h"

namespace zonitra::levels {
namespace {

const QString kCentreInconnu = QStringLiteral(
    "Ce Centre Médical n'existe pas.\r\nVous devez d'abord cliquer sur 'Ajouter' pour le créer");
const QString kAntenneInconnue = QStringLiteral(
    "Cette Antenne Médicale n'existe pas.\r\nVous devez d'abord cliquer sur 'Ajouter' pour la "
    "créer");
const QString kAntenneSansLibelle =
    QStringLiteral("Le Libellé de l'Antenne Médicale doit être renseigné.");

}  // namespace

MedicalLinks::MedicalLinks(const LevelContext& context, NeighbourhoodLevel& quartier,
                           forms::Form& control, const HostRights& rights)
    : ui_(context.ui),
      state_(context.state),
      centre_(*ui_.Txt_CodeCentreMedQuartier, *ui_.Cbo_LibCentreMedQuartier, centremedical::kKey),
      antenne_(*ui_.Txt_CodeAntMedQuartier, *ui_.Cbo_LibAntMedQuartier, antennemedicale::kKey),
      quartier_(quartier),
      control_(control),
      rights_(rights) {
    const CodeLabelPair::Handlers<MedicalLinks> centreHandlers{
        .codeChange = &MedicalLinks::Txt_CodeCentreMedQuartier_Change,
        .codeKeyPress = &MedicalLinks::Txt_CodeCentreMedQuartier_KeyPress,
        .codeLostFocus = &MedicalLinks::Txt_CodeCentreMedQuartier_LostFocus,
        .labelChange = &MedicalLinks::Cbo_LibCentreMedQuartier_Change,
        .labelClick = &MedicalLinks::Cbo_LibCentreMedQuartier_Click,
    };
    centre_.Connect(*this, centreHandlers);
    const CodeLabelPair::Handlers<MedicalLinks> antennaHandlers{
        .codeChange = &MedicalLinks::Txt_CodeAntMedQuartier_Change,
        .codeKeyPress = &MedicalLinks::Txt_CodeAntMedQuartier_KeyPress,
        .codeLostFocus = &MedicalLinks::Txt_CodeAntMedQuartier_LostFocus,
        .labelChange = &MedicalLinks::Cbo_LibAntMedQuartier_Change,
        .labelClick = &MedicalLinks::Cbo_LibAntMedQuartier_Click,
        .labelLostFocus = &MedicalLinks::Cbo_LibAntMedQuartier_LostFocus,
    };
    antenne_.Connect(*this, antennaHandlers);
    ui_.Cbo_LibAntMedQuartier->DropDown = [this] { Cbo_LibAntMedQuartier_DropDown(); };
    ui_.Cmd_AjouterCentreMedQuartier->Click = [this] { Cmd_AjouterCentreMedQuartier_Click(); };
    ui_.Cmd_AjouterAntMedQuartier->Click = [this] { Cmd_AjouterAntMedQuartier_Click(); };
}

// Unlike the other lists, no row counter is kept for this one.
void MedicalLinks::Remplir_Combo_CentreMedical() {
    centre_.Fill(state_.Db("Remplir_Combo_CentreMedical"), centremedical::kListQuery,
                 state_.lists.centreMedical, nullptr);
}

void MedicalLinks::Remplir_Combo_AntenneMedicale() {
    antenne_.Fill(state_.Db("Remplir_Combo_AntenneMedicale"),
                  antennemedicale::ListQuery(S(ui_.Txt_CodeCentreMedQuartier->Text())),
                  state_.lists.antenneMedicale, &state_.W_NbAntenneMedicale);
}

// A centre code is looked up once it has its three characters: the antenna is
// emptied and the centre's antennas listed; a centre with one antenna shows it
// at once, otherwise the antenna fields wait for the operator.
void MedicalLinks::Txt_CodeCentreMedQuartier_Change() {
    ErrorsResumed steps("Txt_CodeCentreMedQuartier_Change");
    if (!centre_.CodeComplete()) {
        steps.Run([&] { ui_.Cbo_LibCentreMedQuartier->SetText({}); });
        steps.Run([&] { ui_.Txt_CodeAntMedQuartier->SetText({}); });
        return;
    }
    const QString code = ui_.Txt_CodeCentreMedQuartier->Text();
    if (centre_.Read(steps, state_.files.centreMedical, code, state_.records.centreMedical) ==
        kelmor::kNotFound) {
        steps.Run([&] { Message(kCentreInconnu, forms::vbExclamation | forms::vbOKOnly); });
        steps.Run([&] { ui_.Txt_CodeCentreMedQuartier->SetText({}); });
        steps.Run([&] { ui_.Cbo_LibCentreMedQuartier->SetText({}); });
        steps.Run([&] { ui_.Txt_CodeAntMedQuartier->SetText({}); });
        steps.Run([&] { ui_.Cbo_LibAntMedQuartier->SetText({}); });
        steps.Run([&] { forms::SetFocus(ui_.Txt_CodeCentreMedQuartier); });
        return;
    }
    steps.Run([&] { ui_.Txt_CodeAntMedQuartier->SetText({}); });
    steps.Run([&] {
        const kelmor::DbRecord& centre =
            Current(state_.records.centreMedical, centremedical::kFile);
        ui_.Cbo_LibCentreMedQuartier->SetText(Q(centre.Get(centremedical::kLibelle)));
    });
    steps.Run([&] { Remplir_Combo_AntenneMedicale(); });
    if (state_.W_NbAntenneMedicale == 1) {
        steps.Run([&] { antenne_.ShowCodeOfRow(state_.lists.antenneMedicale, 1); });
        return;
    }
    steps.Run([&] { ui_.Cbo_LibAntMedQuartier->SetText({}); });
    steps.Run([&] { ui_.Txt_CodeAntMedQuartier->SetText({}); });
    steps.Run([&] { forms::SetFocus(ui_.Txt_CodeAntMedQuartier); });
}

// An antenna code is looked up under the centre code shown beside it.
void MedicalLinks::Txt_CodeAntMedQuartier_Change() {
    ErrorsResumed steps("Txt_CodeAntMedQuartier_Change");
    if (!antenne_.CodeComplete()) {
        steps.Run([&] { ui_.Cbo_LibAntMedQuartier->SetText({}); });
        return;
    }
    const QString key = ui_.Txt_CodeCentreMedQuartier->Text() + ui_.Txt_CodeAntMedQuartier->Text();
    if (antenne_.Read(steps, state_.files.antenneMedicale, key, state_.records.antenneMedicale) ==
        kelmor::kNotFound) {
        steps.Run([&] { Message(kAntenneInconnue, forms::vbExclamation | forms::vbOKOnly); });
        steps.Run([&] { ui_.Txt_CodeAntMedQuartier->SetText({}); });
        steps.Run([&] { ui_.Cbo_LibAntMedQuartier->SetText({}); });
        steps.Run([&] { forms::SetFocus(ui_.Txt_CodeAntMedQuartier); });
        return;
    }
    steps.Run([&] {
        const kelmor::DbRecord& antenna =
            Current(state_.records.antenneMedicale, antennemedicale::kFile);
        ui_.Cbo_LibAntMedQuartier->SetText(Q(antenna.Get(antennemedicale::kLibelle)));
    });
    steps.Run([&] { forms::SetFocus(ui_.Txt_CodeAntMedQuartier); });
}

void MedicalLinks::ShowLink(const std::string& link) {
    const QString centre = Mid(link, 1, centremedical::kKey.codeLength);
    ui_.Txt_CodeCentreMedQuartier->SetText(centre);
    state_.records.centreMedical.reset();
    state_.records.centreMedical =
        OpenedFile(state_.files.centreMedical, centremedical::kFile.data()).ReadRecord(S(centre));
    ui_.Cbo_LibCentreMedQuartier->SetText(
        Q(state_.records.centreMedical->Get(centremedical::kLibelle)));
    ui_.Txt_CodeAntMedQuartier->SetText(antenne_.CodeOf(link));
    state_.records.antenneMedicale.reset();
    state_.records.antenneMedicale =
        OpenedFile(state_.files.antenneMedicale, antennemedicale::kFile.data()).ReadRecord(link);
    ui_.Cbo_LibAntMedQuartier->SetText(
        Q(state_.records.antenneMedicale->Get(antennemedicale::kLibelle)));
}

void MedicalLinks::EmptyLinkFields() {
    ui_.Txt_CodeCentreMedQuartier->SetText({});
    ui_.Cbo_LibCentreMedQuartier->SetText({});
    ui_.Txt_CodeAntMedQuartier->SetText({});
    ui_.Cbo_LibAntMedQuartier->SetText({});
}

void MedicalLinks::Txt_CodeCentreMedQuartier_KeyPress(std::int16_t& KeyAscii) {
    centre_.CompleteOnEnter(KeyAscii);
}

void MedicalLinks::Txt_CodeCentreMedQuartier_LostFocus() {
    centre_.Complete();
}

void MedicalLinks::Txt_CodeAntMedQuartier_KeyPress(std::int16_t& KeyAscii) {
    antenne_.CompleteOnEnter(KeyAscii);
}

// The only place where the link of a shown neighbourhood changes.
void MedicalLinks::Txt_CodeAntMedQuartier_LostFocus() {
    antenne_.Complete();
    if (ui_.Txt_CodeAntMedQuartier->Text().isEmpty()) return;
    quartier_.Relink(ui_.Txt_CodeCentreMedQuartier->Text() + ui_.Txt_CodeAntMedQuartier->Text());
}

// Emptying the centre empties the antenna through the code's Change.
void MedicalLinks::Cbo_LibCentreMedQuartier_Change() {
    centre_.EmptyCodeWithLabel();
}

void MedicalLinks::Cbo_LibCentreMedQuartier_Click(int index) {
    centre_.ShowCodeOfEntry(state_.lists.centreMedical, index);
}

void MedicalLinks::Cbo_LibAntMedQuartier_Change() {
    antenne_.EmptyCodeWithLabel();
}

void MedicalLinks::Cbo_LibAntMedQuartier_Click(int index) {
    antenne_.ShowCodeOfEntry(state_.lists.antenneMedicale, index);
}

// No centre, no antennas to offer.
void MedicalLinks::Cbo_LibAntMedQuartier_DropDown() {
    if (ui_.Cbo_LibCentreMedQuartier->Text().isEmpty()) ui_.Cbo_LibAntMedQuartier->Clear();
}

void MedicalLinks::Cbo_LibAntMedQuartier_LostFocus() {
    if (ui_.Cbo_LibCentreMedQuartier->Text().isEmpty()) return;
    if (!ui_.Cbo_LibAntMedQuartier->Text().isEmpty()) return;
    Message(kAntenneSansLibelle, forms::vbExclamation | forms::vbOKOnly);
    ui_.Txt_CodeAntMedQuartier->SetText({});
    forms::SetFocus(ui_.Txt_CodeAntMedQuartier);
}

// ---- The medical-centre editor ----------------------------------------------

void MedicalLinks::Cmd_AjouterCentreMedQuartier_Click() {
    forms::UiService& platform = forms::Ui();
    platform.SetPointer(forms::Pointer::Hourglass);
    control_.setEnabled(false);
    try {
        OpenCentreMedicalEditor();
    } catch (...) {
        // The failure reaches the host; the control is not left dead behind it.
        platform.SetPointer(forms::Pointer::Default);
        control_.setEnabled(true);
        throw;
    }
    platform.DoEvents();
    platform.SetPointer(forms::Pointer::Default);
    control_.setEnabled(true);
}

void MedicalLinks::Cmd_AjouterAntMedQuartier_Click() {
    OpenCentreMedicalEditor();
}

// Loads the form, hands the editor the host objects, initialises it and
// waits until the operator closes it. Nothing is refilled here: the focus
// coming back runs the control's UserControl_EnterFocus, which refills the
// centres.
void MedicalLinks::OpenCentreMedicalEditor() {
    Frm_CentreMedical& form = Frm_CentreMedical::Instance(&control_);
    form.Load();
    Ctr_CentreMed& editor = *form.Ctr_CentreMed1;
    editor.SetDroitsUtilisateur(rights_.droits);
    editor.SetTheDatabase(state_.database);
    editor.SetTheClient(state_.client);
    editor.Init();
    forms::Ui().ShowModal(form);
}

}  // namespace zonitra::levels
