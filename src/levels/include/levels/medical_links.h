#pragma once
// The medical links of the neighbourhood frame: the medical centre and the
// antenna of the neighbourhood, each a code and label pair looked up in files
// the editor only reads; the two hidden "Ajouter" buttons open the
// medical-centre editor that maintains them.
//
// The links run on the widgets and state of their context, write a changed
// link through the neighbourhood level, and disable `control` (Ctr_Secteur)
// while the medical-centre editor is open, handing it the host's rights; all
// must outlive them.

#include <QString>

#include <cstdint>
#include <string>

#include "control/host_rights.h"
#include "forms/form.h"
#include "levels/code_label_pair.h"
#include "levels/level_context.h"

namespace zonitra::levels {

class NeighbourhoodLevel;

class MedicalLinks {
public:
    // Connects the handlers of the centre and antenna rows and of their buttons.
    MedicalLinks(const LevelContext& context, NeighbourhoodLevel& quartier, forms::Form& control,
                 const HostRights& rights);
    MedicalLinks(const MedicalLinks&) = delete;
    MedicalLinks& operator=(const MedicalLinks&) = delete;

    // Refilled by Init and every time the focus enters the control, so that
    // centres added meanwhile (by the medical-centre editor) are offered.
    void Remplir_Combo_CentreMedical();
    // Lists the antennas of the centre code shown.
    void Remplir_Combo_AntenneMedicale();
    // The centre code's Change handler, also a member of the control's interface.
    void Txt_CodeCentreMedQuartier_Change();

    // Shows the link of a neighbourhood (its six-character ANTENNEMEDICALE
    // key): setting the two codes runs their lookups, which fill the antenna
    // list; the centre and antenna are then read again to show their labels.
    // Stops at the first failure (a missing centre or antenna), raising it.
    void ShowLink(const std::string& link);
    // Empties the four link fields; the lists' entries stay.
    void EmptyLinkFields();

private:
    void Txt_CodeCentreMedQuartier_KeyPress(std::int16_t& KeyAscii);
    void Txt_CodeCentreMedQuartier_LostFocus();
    void Cbo_LibCentreMedQuartier_Change();
    void Cbo_LibCentreMedQuartier_Click(int index);
    void Txt_CodeAntMedQuartier_Change();
    void Txt_CodeAntMedQuartier_KeyPress(std::int16_t& KeyAscii);
    void Txt_CodeAntMedQuartier_LostFocus();
    void Cbo_LibAntMedQuartier_Change();
    void Cbo_LibAntMedQuartier_Click(int index);
    void Cbo_LibAntMedQuartier_DropDown();
    void Cbo_LibAntMedQuartier_LostFocus();

    // The medical-centre editor, in the modal form Frm_CentreMedical.
    void Cmd_AjouterCentreMedQuartier_Click();
    void Cmd_AjouterAntMedQuartier_Click();
    void OpenCentreMedicalEditor();

    const SecteurScreen& ui_;
    SharedState& state_;
    CodeLabelPair centre_;
    CodeLabelPair antenne_;
    NeighbourhoodLevel& quartier_;
    forms::Form& control_;
    const HostRights& rights_;
};

}  // namespace zonitra::levels
