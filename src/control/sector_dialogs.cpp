// The buttons that open the modal dialogs working on the shown sector: its
// approvals by legal entity, its postal address and its document folders.
// Each dialog is one instance for the component, created on first use; it
// edits the current sector record of the shared state and writes it itself.
// A dialog's write that met another workstation's change reads the record
// again: once the dialog is closed, the sector fields show what is stored.

#include "control/ctr_secteur.h"
#include "dialogs/frm_adresse.h"
#include "dialogs/frm_agrement.h"
#include "dialogs/frm_paramgestdoc.h"
#include "levels/creation.h"

namespace zonitra {

void Ctr_Secteur::ConnectSectorDialogs() {
    ui_.Cmd_Agrement->Click = [this] { Cmd_Agrement_Click(); };
    ui_.Cmd_Adresse->Click = [this] { Cmd_Adresse_Click(); };
    ui_.Cmd_GestionDocumentaire->Click = [this] { Cmd_GestionDocumentaire_Click(); };
}

// Only a sector lookup refreshes Cmd_Agrement, so it may still be enabled while a new
// sector is entered: the dialog would then edit the sector shown before. While
// a sub-sector or neighbourhood is entered, the shown sector is the one edited.
void Ctr_Secteur::Cmd_Agrement_Click() {
    if (state_->W_CreationSecteur && levels::RefusedDuringCreation(*state_)) return;
    OpenFrmAgrement(*state_, rights_.droits, this);
    secteur_.ShowStoredSector();
}

void Ctr_Secteur::Cmd_Adresse_Click() {
    if (levels::RefusedDuringCreation(*state_)) return;
    OpenFrmAdresse(*state_, rights_.droits, this);
    secteur_.ShowStoredSector();
}

void Ctr_Secteur::Cmd_GestionDocumentaire_Click() {
    OpenFrmParamGestDoc(*state_, rights_.droits, this);
    secteur_.ShowStoredSector();
}

// Organisations that keep document folders per sector offer the button; the
// screen modes enable it while a sector is shown.
void Ctr_Secteur::OfferDocumentSettings(bool offer) {
    ui_.Cmd_GestionDocumentaire->setVisible(offer);
}

}  // namespace zonitra
