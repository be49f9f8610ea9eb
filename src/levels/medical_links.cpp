// The medical-centre and antenna links of the neighbourhood frame.

#include "levels/medical_links.h"
#include "control/ctr_secteur.h"
#include "forms/uiservice.h"
#include "frm_centremedical.h"
#include "levels/list_query.h"

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
