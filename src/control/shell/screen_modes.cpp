// Enabling and disabling whole levels. These procedures change enabled states
// only (and the line's drawing mode): never a text, a list or a visibility.
// Every label and field is switched one by one besides its frame, in the
// order the editor has always used.

#include <initializer_list>
#include <stdexcept>

#include "control/screen_modes.h"

namespace zonitra {
namespace {

void SetEnabled(std::initializer_list<QWidget*> controls, bool enabled) {
    for (QWidget* control : controls) control->setEnabled(enabled);
}

// Cmd_Adresse sits in the sector frame but follows the sub-sector level: a
// sector's address can be edited only once the sector is shown.
void SetSousSecteurLevel(const SecteurScreen& ui, bool enabled) {
    SetEnabled(
        {ui.Cdr_SousSecteur, ui.Etq_CodeSousSecteur, ui.Txt_CodeSousSecteur, ui.Etq_LibSousSecteur,
         ui.Cbo_LibSousSecteur, ui.Cmd_Adresse, ui.Cmd_AjouterSousSecteur},
        enabled);
}

// The line between the neighbourhood and its links is drawn in the pen colour
// when the level is open, in its inverse when it is closed.
void SetQuartierLevel(const SecteurScreen& ui, bool enabled) {
    SetEnabled({ui.Cdr_Quartier, ui.Etq_CodeQuartier, ui.Txt_CodeQuartier, ui.Etq_LibQuartier,
                ui.Cbo_LibQuartier, ui.Cmd_AjouterQuartier},
               enabled);
    ui.Lig_Quartier->SetDrawMode(enabled ? forms::Line::kCopyPen : forms::Line::kNotCopyPen);
    SetEnabled({ui.Etq_CentreMedQuartier, ui.Txt_CodeCentreMedQuartier, ui.Cbo_LibCentreMedQuartier,
                ui.Cmd_AjouterCentreMedQuartier, ui.Etq_AntMedQuartier, ui.Txt_CodeAntMedQuartier,
                ui.Cbo_LibAntMedQuartier, ui.Cmd_AjouterAntMedQuartier},
               enabled);
}

}  // namespace

void ScreenModes::Voir_Secteur() {
    SetEnabled({ui_.Cdr_Secteur, ui_.Etq_CodeSecteur, ui_.Txt_CodeSecteur, ui_.Etq_LibSecteur,
                ui_.Cbo_LibSecteur, ui_.Etq_NoAgrementSect, ui_.Txt_NoAgrementSect, ui_.Txt_NumCRAM,
                ui_.Etq_NumCRAM, ui_.Etq_Dep, ui_.Txt_Dep, ui_.Etq_DatAgrementSect,
                ui_.Txt_DatAgrementSect, ui_.Cmd_AjouterSecteur},
               true);
    ui_.Cmd_GestionDocumentaire->setEnabled(!ui_.Txt_CodeSecteur->Text().isEmpty());
}

void ScreenModes::Cacher_Secteur() {
    SetEnabled({ui_.Cdr_Secteur, ui_.Etq_CodeSecteur, ui_.Txt_CodeSecteur, ui_.Etq_LibSecteur,
                ui_.Cbo_LibSecteur, ui_.Etq_NoAgrementSect, ui_.Txt_NoAgrementSect,
                ui_.Etq_DatAgrementSect, ui_.Txt_DatAgrementSect, ui_.Etq_NumCRAM, ui_.Txt_NumCRAM,
                ui_.Txt_Dep, ui_.Etq_Dep, ui_.Cmd_AjouterSecteur, ui_.Cmd_GestionDocumentaire},
               false);
}

void ScreenModes::Voir_SousSecteur() {
    SetSousSecteurLevel(ui_, true);
}

void ScreenModes::Cacher_SousSecteur() {
    SetSousSecteurLevel(ui_, false);
}

void ScreenModes::Voir_Quartier() {
    SetQuartierLevel(ui_, true);
}

void ScreenModes::Cacher_Quartier() {
    SetQuartierLevel(ui_, false);
}

void ScreenModes::Voir_Ok() {
    ui_.Cmd_OkSecteurGeo->setEnabled(true);
    ui_.Cmd_AnnulerSecteurGeo->setEnabled(true);
    ui_.Cmd_SortirSecteurGeo->setEnabled(false);
}

void ScreenModes::Cacher_Ok() {
    ui_.Cmd_OkSecteurGeo->setEnabled(false);
    ui_.Cmd_AnnulerSecteurGeo->setEnabled(false);
    ui_.Cmd_SortirSecteurGeo->setEnabled(true);
}

void ScreenModes::Cacher_Agrement() {
    SharedState& s = state_;
    if (!s.W_Requete) {
        throw std::logic_error("Cacher_Agrement: no request array (Init was not run)");
    }
    kelmor::DynArray& request = *s.W_Requete;
    request.SetText("");
    request.Set(1, "SSELECT ASSOCIATION");
    request.Set(2, "ASSOCIATION");
    request.Set(3, "1 ");
    std::int32_t count = 0;
    s.W_ListeAssociation = s.Db("Cacher_Agrement").Query(request.Text(), "", count);
    // With one legal entity or none there is nothing to choose between.
    ui_.Cmd_Agrement->setEnabled(s.W_ListeAssociation->DCount() > 1);
}

void ScreenModes::Test() {
    SharedState& s = state_;
    s.W_DepNonNumerique = kFalse;
    for (const QChar c : ui_.Txt_Dep->Text()) {
        if (c.unicode() < u'0' || c.unicode() > u'9') s.W_DepNonNumerique = kTrue;
    }
}

}  // namespace zonitra
