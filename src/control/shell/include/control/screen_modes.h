#pragma once
// The screen modes of Ctr_Secteur: opening and closing each level (enabled
// states only), the editing buttons, the approvals button and the
// département's character check. The levels call these as they show, clear
// and create records; Ctr_Secteur offers them to the host.

#include "control/secteur_screen.h"
#include "control/shared_state.h"

namespace zonitra {

class ScreenModes {
public:
    // Both must outlive this object.
    ScreenModes(const SecteurScreen& ui, SharedState& state) : ui_(ui), state_(state) {}

    // Each enables or disables every control of its level one by one, besides
    // its frame; never a text, a list or a visibility.
    void Voir_Secteur();
    void Cacher_Secteur();
    // The sub-sector level carries Cmd_Adresse: a sector's address can be
    // edited only once the sector is shown.
    void Voir_SousSecteur();
    void Cacher_SousSecteur();
    // The neighbourhood level carries the medical links, and draws its line in
    // the pen colour when open, in its inverse when closed.
    void Voir_Quartier();
    void Cacher_Quartier();
    // OK and Annuler on, Sortir off; and the reverse.
    void Voir_Ok();
    void Cacher_Ok();
    // Enables Cmd_Agrement only when more than one legal entity exists.
    // Throws std::logic_error before Init (no request array yet).
    void Cacher_Agrement();
    // Sets W_DepNonNumerique when Txt_Dep holds a character other than 0-9.
    void Test();

private:
    const SecteurScreen& ui_;
    SharedState& state_;
};

}  // namespace zonitra
