#pragma once
// The neighbourhood level of Ctr_Secteur: the neighbourhoods of the shown
// sub-sector, found by code or label, shown with their medical links, renamed
// from their label field, relinked from the link fields; and entering a new
// neighbourhood of the shown sub-sector ("Ajouter", then "OK").
//
// The level runs on the widgets and state of its context and shows its
// records' links through the medical links; both must outlive it.

#include <QString>

#include <cstdint>
#include <string>

#include "levels/code_label_pair.h"
#include "levels/level_context.h"

namespace zonitra::levels {

class MedicalLinks;

class NeighbourhoodLevel {
public:
    // Connects the handlers of the neighbourhood's code and label.
    NeighbourhoodLevel(const LevelContext& context, MedicalLinks& liens);
    NeighbourhoodLevel(const NeighbourhoodLevel&) = delete;
    NeighbourhoodLevel& operator=(const NeighbourhoodLevel&) = delete;

    // Lists the neighbourhoods of the sector and sub-sector codes shown.
    void Remplir_Combo_Quartier();
    // Empties the level and its link fields; the entries of the medical-centre
    // and antenna lists stay.
    void Vider_Quartier();
    // Shows the current neighbourhood with its links; stops at the first step
    // that fails (a missing centre or antenna), raising that failure.
    void Affichage_Quartier();
    // Shows the first neighbourhood of the list through its code's Change;
    // for a sub-sector that has only one.
    void ShowOnlyRecord();
    // Writes `link` (an ANTENNEMEDICALE key) into the shown neighbourhood when
    // it differs. Nothing while anything is being created (the creation
    // writes it) or while no neighbourhood is shown.
    void Relink(const QString& link);
    // Shows the current neighbourhood's label and links again, as stored
    // (after a failed write); writes nothing.
    void ShowStoredNeighbourhood();

    // Stores the neighbourhood being entered under the shown sub-sector, with
    // the code after its neighbourhood count, or the next free one after it
    // (coming round to "01" past "99"), and clears W_CreationQuartier. With
    // all 99 codes taken it says so and stores nothing; the creation stays
    // open. Throws std::logic_error when no sub-sector is shown.
    void Creation_Quartier();
    // A new record `key` of the neighbourhood being entered (its label and
    // link fields), not stored yet; the sector and sub-sector creations
    // store their first neighbourhood with it.
    kelmor::DbRecord NewNeighbourhood(const std::string& key) const;

private:
    // Starts entering a new neighbourhood of the shown sub-sector; nothing
    // while another creation is open.
    void Cmd_AjouterQuartier_Click();
    void Txt_CodeQuartier_Change();
    void Txt_CodeQuartier_KeyPress(std::int16_t& KeyAscii);
    void Txt_CodeQuartier_LostFocus();
    void Cbo_LibQuartier_Change();
    void Cbo_LibQuartier_Click(int index);
    void Cbo_LibQuartier_LostFocus();

    const SecteurScreen& ui_;
    SharedState& state_;
    ScreenModes& modes_;
    CodeLabelPair pair_;
    MedicalLinks& liens_;
};

}  // namespace zonitra::levels
