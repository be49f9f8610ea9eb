// The buttons below the frames that end an edit or leave the editor: "OK"
// stores what is being entered once every level has a code or a label,
// "Annuler" abandons it after a question, "Sortir" leaves. "OK" and "Annuler"
// are enabled only while something is being entered.

#include <QPointer>

#include "control/messages.h"
#include "control/secteur_editor.h"
#include "forms/focus.h"
#include "forms/form.h"
#include "forms/msgbox.h"
#include "levels/creation.h"

namespace zonitra {
namespace {

const QString kLibelleSecteur = QStringLiteral("Libellé du Secteur nécessaire.");
const QString kLibelleSousSecteur = QStringLiteral("Libellé du Sous-Secteur nécessaire.");
const QString kLibelleQuartier = QStringLiteral("Libellé du Quartier nécessaire.");
const QString kLibelleCentre = QStringLiteral("Libellé du Centre Médical nécessaire.");
const QString kLibelleAntenne = QStringLiteral("Libellé de l'Antenne Médicale nécessaire.");
const QString kQuitterCreation =
    QStringLiteral("Etes-vous sûr de vouloir quitter cette création ?");

// Gives the focus only when the control reports itself enabled (its frame included).
void EnableAndFocus(QWidget* control) {
    control->setEnabled(true);
    if (control->isEnabled()) forms::SetFocus(control);
}

}  // namespace

void SecteurEditor::ConnectConfirmButtons() {
    ui_.Cmd_OkSecteurGeo->Click = [this] { Cmd_OkSecteurGeo_Click(); };
    ui_.Cmd_AnnulerSecteurGeo->Click = [this] { Cmd_AnnulerSecteurGeo_Click(); };
    ui_.Cmd_SortirSecteurGeo->Click = [this] { Cmd_SortirSecteurGeo_Click(); };
}

// The new record is not shown afterwards: the created level is cleared and
// its list refilled, and the operator starts again from its code, within the
// parent still shown for a sub-sector or a neighbourhood.
void SecteurEditor::Cmd_OkSecteurGeo_Click() {
    const SharedState& s = *state_;
    // Opened first, so that a missing link label can take the focus.
    modes_.Voir_Quartier();
    if (levels::EnCreation(s) && !LabelsGiven()) return;
    modes_.Cacher_Quartier();
    if (s.W_CreationSecteur) {
        if (!Created(&SecteurEditor::Creation_Secteur, s.W_CreationSecteur)) return;
        secteur_.Vider_Secteur();
        sousSecteur_.Vider_SousSecteur();
        quartier_.Vider_Quartier();
        secteur_.Remplir_Combo_Secteur();
        sousSecteur_.Remplir_Combo_SousSecteur();
        quartier_.Remplir_Combo_Quartier();
        modes_.Cacher_SousSecteur();
        modes_.Cacher_Quartier();
        modes_.Cacher_Ok();
        EnableAndFocus(ui_.Txt_CodeSecteur);
    }
    if (s.W_CreationSousSecteur) {
        if (!Created(&SecteurEditor::Creation_SousSecteur, s.W_CreationSousSecteur)) return;
        sousSecteur_.Vider_SousSecteur();
        quartier_.Vider_Quartier();
        sousSecteur_.Remplir_Combo_SousSecteur();
        quartier_.Remplir_Combo_Quartier();
        modes_.Cacher_Quartier();
        modes_.Cacher_Ok();
        modes_.Voir_Secteur();
        EnableAndFocus(ui_.Txt_CodeSousSecteur);
    }
    if (s.W_CreationQuartier) {
        if (!Created(&SecteurEditor::Creation_Quartier, s.W_CreationQuartier)) return;
        quartier_.Vider_Quartier();
        quartier_.Remplir_Combo_Quartier();
        modes_.Cacher_Ok();
        modes_.Voir_Secteur();
        modes_.Voir_SousSecteur();
        modes_.Voir_Quartier();
        ui_.Cmd_AjouterQuartier->setEnabled(true);
        EnableAndFocus(ui_.Txt_CodeQuartier);
    }
}

// All five levels are checked whichever is being created; a level passes
// with its code or its label. The first that has neither is named and its
// label list gets the focus.
bool SecteurEditor::LabelsGiven() {
    struct Level {
        const forms::TextBox* code;
        forms::ComboBox* label;
        const QString& message;
    };
    const Level levels[] = {
        {ui_.Txt_CodeSecteur, ui_.Cbo_LibSecteur, kLibelleSecteur},
        {ui_.Txt_CodeSousSecteur, ui_.Cbo_LibSousSecteur, kLibelleSousSecteur},
        {ui_.Txt_CodeQuartier, ui_.Cbo_LibQuartier, kLibelleQuartier},
        {ui_.Txt_CodeCentreMedQuartier, ui_.Cbo_LibCentreMedQuartier, kLibelleCentre},
        {ui_.Txt_CodeAntMedQuartier, ui_.Cbo_LibAntMedQuartier, kLibelleAntenne},
    };
    for (const Level& level : levels) {
        if (!level.code->Text().isEmpty() || !level.label->Text().isEmpty()) continue;
        Message(level.message, forms::vbExclamation | forms::vbOKOnly);
        forms::SetFocus(level.label);
        return false;
    }
    return true;
}

// Runs a creation procedure, which clears `flag` once its records are stored.
// When it did not (no code left, which it said), the creation stays open with
// the levels as the operator left them and the focus on "Annuler". A failure
// of the database goes on to the platform with the screen as it stands.
bool SecteurEditor::Created(void (SecteurEditor::*creation)(), const Boolean16& flag) {
    (this->*creation)();
    if (!flag) return true;
    modes_.Voir_Quartier();
    forms::SetFocus(ui_.Cmd_AnnulerSecteurGeo);
    return false;
}

// Nothing is written: the typed values go with the cleared levels. The parent
// of a sub-sector or a neighbourhood stays shown.
void SecteurEditor::Cmd_AnnulerSecteurGeo_Click() {
    if (Message(kQuitterCreation, forms::vbExclamation | forms::vbYesNo) != forms::vbYes) return;
    SharedState& s = *state_;
    ui_.Cmd_GestionDocumentaire->setEnabled(!ui_.Txt_CodeSecteur->Text().isEmpty());
    if (s.W_CreationQuartier) {
        quartier_.Vider_Quartier();
        quartier_.Remplir_Combo_Quartier();
        modes_.Voir_Quartier();
        modes_.Voir_Secteur();
        modes_.Voir_SousSecteur();
        ui_.Txt_CodeQuartier->setEnabled(true);
        forms::SetFocus(ui_.Txt_CodeQuartier);
        s.W_CreationQuartier = kFalse;
        modes_.Cacher_Ok();
    } else if (s.W_CreationSousSecteur) {
        sousSecteur_.Vider_SousSecteur();
        quartier_.Vider_Quartier();
        sousSecteur_.Remplir_Combo_SousSecteur();
        quartier_.Remplir_Combo_Quartier();
        modes_.Voir_SousSecteur();
        modes_.Voir_Secteur();
        ui_.Txt_CodeSousSecteur->setEnabled(true);
        forms::SetFocus(ui_.Txt_CodeSousSecteur);
        modes_.Cacher_Quartier();
        s.W_CreationSousSecteur = kFalse;
        modes_.Cacher_Ok();
    } else if (s.W_CreationSecteur) {
        secteur_.Vider_Secteur();
        sousSecteur_.Vider_SousSecteur();
        quartier_.Vider_Quartier();
        secteur_.Remplir_Combo_Secteur();
        sousSecteur_.Remplir_Combo_SousSecteur();
        quartier_.Remplir_Combo_Quartier();
        modes_.Voir_Secteur();
        forms::SetFocus(ui_.Txt_CodeSecteur);
        modes_.Cacher_SousSecteur();
        modes_.Cacher_Quartier();
        s.W_CreationSecteur = kFalse;
        modes_.Cacher_Ok();
        ui_.Txt_CodeSecteur->setEnabled(true);
        forms::SetFocus(ui_.Txt_CodeSecteur);
    }
}

// The flag is set before the host form goes, so that the host can read it
// while the form closes.
void SecteurEditor::Cmd_SortirSecteurGeo_Click() {
    state_->G_SortirSecteur = kTrue;
    QPointer<SecteurEditor> alive(this);
    if (SortirRequested) SortirRequested();
    // A host that destroyed the control in answer owns what is left of its window.
    if (alive) forms::UnloadWindowOf(this);
}

}  // namespace zonitra
