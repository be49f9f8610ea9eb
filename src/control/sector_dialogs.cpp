// The buttons that open the modal dialogs working on the shown sector: its
// approvals by legal entity, its postal address and its document folders.
// Each dialog is one instance for the component, created on first use; it
// edits the current sector record of the shared state and writes it itself.

#include "control/secteur_editor.h"
#include "dialogs/frm_adresse.h"
#include "dialogs/frm_agrement.h"
#include "dialogs/frm_paramgestdoc.h"

namespace zonitra {

void SecteurEditor::ConnectSectorDialogs() {
    ui_.Cmd_Agrement->Click = [this] { Cmd_Agrement_Click(); };
    ui_.Cmd_Adresse->Click = [this] { Cmd_Adresse_Click(); };
    ui_.Cmd_GestionDocumentaire->Click = [this] { Cmd_GestionDocumentaire_Click(); };
}

void SecteurEditor::Cmd_Agrement_Click() {
    OpenFrmAgrement(*state_, rights_.droits, this);
}

void SecteurEditor::Cmd_Adresse_Click() {
    OpenFrmAdresse(*state_, rights_.droits, this);
}

void SecteurEditor::Cmd_GestionDocumentaire_Click() {
    OpenFrmParamGestDoc(*state_, rights_.droits, this);
}

// Organisations that keep document folders per sector offer the button; the
// screen modes enable it while a sector is shown.
void SecteurEditor::OfferDocumentSettings(bool offer) {
    ui_.Cmd_GestionDocumentaire->setVisible(offer);
}

}  // namespace zonitra
