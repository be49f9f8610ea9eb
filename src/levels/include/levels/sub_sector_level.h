#pragma once
// The sub-sector level of Ctr_Secteur: the sub-sectors of the shown sector,
// found by code or label, shown with their neighbourhoods listed, renamed
// from their label field; and entering a new sub-sector of the shown sector,
// with its first neighbourhood ("Ajouter", then "OK").
//
// The level runs on the widgets and state of its context and calls the
// neighbourhood level below it; both must outlive it.

#include <cstdint>
#include <string>

#include "levels/code_label_pair.h"
#include "levels/creation.h"
#include "levels/level_context.h"

namespace zonitra::levels {

class NeighbourhoodLevel;

class SubSectorLevel {
public:
    // Connects the handlers of the sub-sector frame's fields.
    SubSectorLevel(const LevelContext& context, NeighbourhoodLevel& quartier);
    SubSectorLevel(const SubSectorLevel&) = delete;
    SubSectorLevel& operator=(const SubSectorLevel&) = delete;

    // Lists the sub-sectors of the sector code shown.
    void Remplir_Combo_SousSecteur();
    void Vider_SousSecteur();
    // Shows the current sub-sector record; it must be one (std::logic_error).
    void Affichage_SousSecteur();
    // Shows the first sub-sector of the list through its code's Change; for a
    // sector that has only one.
    void ShowOnlyRecord();

    // Stores the sub-sector being entered under the shown sector, with the
    // lowest code from "01" whose sub-sector and first neighbourhood are both
    // free, together with that neighbourhood, all or nothing; clears
    // W_CreationSousSecteur. With no code left it says so and stores nothing;
    // the creation stays open. Throws std::logic_error when no sector is shown.
    void Creation_SousSecteur();
    // A new record `key` of the sub-sector being entered (its label), not
    // stored yet; the sector creation stores its first sub-sector with it.
    kelmor::DbRecord NewSubSector(const std::string& key) const;

private:
    // Starts entering a new sub-sector of the shown sector; nothing while
    // another creation is open.
    void Cmd_AjouterSousSecteur_Click();
    void Txt_CodeSousSecteur_Change();
    void Txt_CodeSousSecteur_GotFocus();
    void Txt_CodeSousSecteur_KeyPress(std::int16_t& KeyAscii);
    void Txt_CodeSousSecteur_LostFocus();
    void Cbo_LibSousSecteur_Change();
    void Cbo_LibSousSecteur_Click(int index);
    void Cbo_LibSousSecteur_LostFocus();

    // The probe of Creation_SousSecteur under `sector`, not walked yet.
    static CodeProbe NewProbe(std::string sector);

    const SecteurScreen& ui_;
    SharedState& state_;
    ScreenModes& modes_;
    CodeLabelPair pair_;
    NeighbourhoodLevel& quartier_;
    // Walked by "Ajouter" for "OK" (see WalkAhead).
    std::optional<CodeProbe> startedProbe_;
};

}  // namespace zonitra::levels
