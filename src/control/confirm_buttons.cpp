// The buttons below the frames that end an edit or leave the editor.

#include "control/ctr_secteur.h"
#include "forms/form.h"

namespace zonitra {

void Ctr_Secteur::ConnectConfirmButtons() {
    ui_.Cmd_SortirSecteurGeo->Click = [this] { Cmd_SortirSecteurGeo_Click(); };
}

// The flag is set before the host form goes, so that the host can read it
// while the form closes.
void Ctr_Secteur::Cmd_SortirSecteurGeo_Click() {
    state_->G_SortirSecteur = kTrue;
    forms::UnloadWindowOf(this);
}

}  // namespace zonitra
