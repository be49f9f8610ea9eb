#pragma once
// What every level of Ctr_Secteur works on: the control's widgets, its
// component-wide state and its screen modes, all owned by the control.

#include "control/screen_modes.h"
#include "control/secteur_screen.h"
#include "control/shared_state.h"

namespace zonitra::levels {

struct LevelContext {
    const SecteurScreen& ui;
    SharedState& state;
    ScreenModes& modes;
};

// True while a sector, sub-sector or neighbourhood is being entered.
inline bool EnCreation(const SharedState& s) {
    return s.W_CreationSecteur || s.W_CreationSousSecteur || s.W_CreationQuartier;
}

}  // namespace zonitra::levels
