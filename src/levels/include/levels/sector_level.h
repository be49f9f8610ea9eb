#pragma once
// The sector level of Ctr_Secteur: finding a sector by code or label, showing
// it, renaming it from its label field, clearing the level; the sector's four
// attribute fields (approval number and date, CRAM number, département), each
// written to the shown sector as it is left; and entering a new sector with
// its first sub-sector and neighbourhood ("Ajouter", then "OK").
//
// The level runs on the widgets and state of its context and calls the
// sub-sector and neighbourhood levels below it; all must outlive it.

#include <cstdint>
#include <string>

#include "levels/code_label_pair.h"
#include "levels/creation.h"
#include "levels/level_context.h"

namespace zonitra::levels {

class SubSectorLevel;
class NeighbourhoodLevel;

class SectorLevel {
public:
    // Connects the handlers of the sector frame's fields.
    SectorLevel(const LevelContext& context, SubSectorLevel& sousSecteur,
                NeighbourhoodLevel& quartier);
    SectorLevel(const SectorLevel&) = delete;
    SectorLevel& operator=(const SectorLevel&) = delete;

    void Remplir_Combo_Secteur();
    void Vider_Secteur();
    // Shows the current sector record; it must be one (std::logic_error).
    void Affichage_Secteur();
    // Shows the current sector record's label and attribute fields again
    // where they differ from it (after a failed write, or a dialog's write
    // that read the record again), refilling the label list when the label
    // differs; nothing else moves and nothing is written. Nothing when no
    // sector is shown or one is being entered.
    void ShowStoredSector();
    // Stores the sector being entered with the lowest code from "001" whose
    // sector, first sub-sector and first neighbourhood are all free, the
    // three records all or nothing; clears W_CreationSecteur and drops the
    // sector list. With no code left it says so and stores nothing; the
    // creation stays open.
    void Creation_Secteur();

private:
    // Starts entering a new sector; nothing while another creation is open.
    void Cmd_AjouterSecteur_Click();
    // A new record `code` of the sector being entered, not stored yet.
    kelmor::DbRecord NewSector(const std::string& code);

    // Lookup and renaming (sector_level.cpp)
    void Txt_CodeSecteur_Change();
    void Txt_CodeSecteur_KeyPress(std::int16_t& KeyAscii);
    void Txt_CodeSecteur_LostFocus();
    void Cbo_LibSecteur_Change();
    void Cbo_LibSecteur_Click(int index);
    void Cbo_LibSecteur_LostFocus();

    // Attribute fields (sector_level.cpp too)
    void ConnectAttributes();
    void Txt_NoAgrementSect_LostFocus();
    void Txt_DatAgrementSect_KeyPress(std::int16_t& KeyAscii);
    void Txt_DatAgrementSect_LostFocus();
    void Txt_NumCRAM_LostFocus();
    void Txt_Dep_LostFocus();
    // The département check; false when it refused the value (and said so).
    bool Txt_Dep_Check();
    // The approval date of `record` in display form; "" for a bad stored date.
    QString ShownDate(const kelmor::DbRecord& record) const;

    // The probe of Creation_Secteur, not walked yet.
    static CodeProbe NewProbe();

    const SecteurScreen& ui_;
    SharedState& state_;
    ScreenModes& modes_;
    CodeLabelPair pair_;
    SubSectorLevel& sousSecteur_;
    NeighbourhoodLevel& quartier_;
    // Walked by "Ajouter" for "OK" (see WalkAhead).
    std::optional<CodeProbe> startedProbe_;
};

}  // namespace zonitra::levels
