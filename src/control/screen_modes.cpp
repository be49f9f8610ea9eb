// Enabling and disabling whole levels. These procedures change enabled states
// only (and the line's drawing mode): never a text, a list or a visibility.
// Every label and field is switched one by one besides its frame, in the
// order the editor has always used.

#include <initializer_list>

#include "control/ctr_secteur.h"

namespace zonitra {
namespace {

void SetEnabled(std::initializer_list<QWidget*> controls, bool enabled) {
    for (QWidget* control : controls) control->setEnabled(enabled);
}

}  // namespace

void Ctr_Secteur::Voir_Secteur() {
    SetEnabled({ui_.Cdr_Secteur, ui_.Etq_CodeSecteur, ui_.Txt_CodeSecteur, ui_.Etq_LibSecteur,
                ui_.Cbo_LibSecteur, ui_.Etq_NoAgrementSect, ui_.Txt_NoAgrementSect, ui_.Txt_NumCRAM,
                ui_.Etq_NumCRAM, ui_.Etq_Dep, ui_.Txt_Dep, ui_.Etq_DatAgrementSect,
                ui_.Txt_DatAgrementSect, ui_.Cmd_AjouterSecteur},
               true);
    ui_.Cmd_GestionDocumentaire->setEnabled(!ui_.Txt_CodeSecteur->Text().isEmpty());
}

void Ctr_Secteur::Cacher_Secteur() {
    SetEnabled({ui_.Cdr_Secteur, ui_.Etq_CodeSecteur, ui_.Txt_CodeSecteur, ui_.Etq_LibSecteur,
                ui_.Cbo_LibSecteur, ui_.Etq_NoAgrementSect, ui_.Txt_NoAgrementSect,
                ui_.Etq_DatAgrementSect, ui_.Txt_DatAgrementSect, ui_.Etq_NumCRAM, ui_.Txt_NumCRAM,
                ui_.Txt_Dep, ui_.Etq_Dep, ui_.Cmd_AjouterSecteur, ui_.Cmd_GestionDocumentaire},
               false);
}

// Cmd_Adresse sits in the sector frame but follows the sub-sector level: a
// sector's address can be edited only once the sector is shown.
void Ctr_Secteur::Voir_SousSecteur() {
    SetEnabled({ui_.Cdr_SousSecteur, ui_.Etq_CodeSousSecteur, ui_.Txt_CodeSousSecteur,
                ui_.Etq_LibSousSecteur, ui_.Cbo_LibSousSecteur, ui_.Cmd_Adresse,
                ui_.Cmd_AjouterSousSecteur},
               true);
}

void Ctr_Secteur::Cacher_SousSecteur() {
    SetEnabled({ui_.Cdr_SousSecteur, ui_.Etq_CodeSousSecteur, ui_.Txt_CodeSousSecteur,
                ui_.Etq_LibSousSecteur, ui_.Cbo_LibSousSecteur, ui_.Cmd_Adresse,
                ui_.Cmd_AjouterSousSecteur},
               false);
}

void Ctr_Secteur::Voir_Quartier() {
    SetEnabled({ui_.Cdr_Quartier, ui_.Etq_CodeQuartier, ui_.Txt_CodeQuartier, ui_.Etq_LibQuartier,
                ui_.Cbo_LibQuartier, ui_.Cmd_AjouterQuartier},
               true);
    ui_.Lig_Quartier->SetDrawMode(forms::Line::kCopyPen);
    SetEnabled(
        {ui_.Etq_CentreMedQuartier, ui_.Txt_CodeCentreMedQuartier, ui_.Cbo_LibCentreMedQuartier,
         ui_.Cmd_AjouterCentreMedQuartier, ui_.Etq_AntMedQuartier, ui_.Txt_CodeAntMedQuartier,
         ui_.Cbo_LibAntMedQuartier, ui_.Cmd_AjouterAntMedQuartier},
        true);
}

void Ctr_Secteur::Cacher_Quartier() {
    SetEnabled({ui_.Cdr_Quartier, ui_.Etq_CodeQuartier, ui_.Txt_CodeQuartier, ui_.Etq_LibQuartier,
                ui_.Cbo_LibQuartier, ui_.Cmd_AjouterQuartier},
               false);
    ui_.Lig_Quartier->SetDrawMode(forms::Line::kNotCopyPen);
    SetEnabled(
        {ui_.Etq_CentreMedQuartier, ui_.Txt_CodeCentreMedQuartier, ui_.Cbo_LibCentreMedQuartier,
         ui_.Cmd_AjouterCentreMedQuartier, ui_.Etq_AntMedQuartier, ui_.Txt_CodeAntMedQuartier,
         ui_.Cbo_LibAntMedQuartier, ui_.Cmd_AjouterAntMedQuartier},
        false);
}

void Ctr_Secteur::Voir_Ok() {
    ui_.Cmd_OkSecteurGeo->setEnabled(true);
    ui_.Cmd_AnnulerSecteurGeo->setEnabled(true);
    ui_.Cmd_SortirSecteurGeo->setEnabled(false);
}

void Ctr_Secteur::Cacher_Ok() {
    ui_.Cmd_OkSecteurGeo->setEnabled(false);
    ui_.Cmd_AnnulerSecteurGeo->setEnabled(false);
    ui_.Cmd_SortirSecteurGeo->setEnabled(true);
}

void Ctr_Secteur::Cacher_Agrement() {
    SharedState& s = *state_;
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

void Ctr_Secteur::Test() {
    SharedState& s = *state_;
    s.W_DepNonNumerique = kFalse;
    for (const QChar c : ui_.Txt_Dep->Text()) {
        if (c.unicode() < u'0' || c.unicode() > u'9') s.W_DepNonNumerique = kTrue;
    }
}

}  // namespace zonitra
