// The sub-sector level of Ctr_Secteur: the sub-sectors of the shown sector,
// found by code or label, shown with their neighbourhoods listed, renamed from
// their label field.

#include "levels/sub_sector_level.h"

#include "control/ctr_secteur.h"
#include "forms/msgbox.h"
#include "levels/fields.h"
#include "levels/list_query.h"
#include "levels/neighbourhood_level.h"
#include "levels/resume.h"

namespace zonitra {
namespace {

const QString kSousSecteurInconnu = QStringLiteral(
    "Ce Sous_Secteur n'existe pas.\r\nVous devez d'abord cliquer sur 'Ajouter' pour le créer");

}  // namespace

void Ctr_Secteur::ConnectSubSectorLevel() {
    ui_.Txt_CodeSousSecteur->Change = [this] { Txt_CodeSousSecteur_Change(); };
    ui_.Txt_CodeSousSecteur->GotFocus = [this] { Txt_CodeSousSecteur_GotFocus(); };
    ui_.Txt_CodeSousSecteur->KeyPress = [this](std::int16_t& k) {
        Txt_CodeSousSecteur_KeyPress(k);
    };
    ui_.Txt_CodeSousSecteur->LostFocus = [this] { Txt_CodeSousSecteur_LostFocus(); };
    ui_.Cbo_LibSousSecteur->Change = [this] { Cbo_LibSousSecteur_Change(); };
    ui_.Cbo_LibSousSecteur->Click = [this](int index) { Cbo_LibSousSecteur_Click(index); };
    ui_.Cbo_LibSousSecteur->LostFocus = [this] { Cbo_LibSousSecteur_LostFocus(); };
}

void Ctr_Secteur::Remplir_Combo_SousSecteur() {
    SharedState& s = *state_;
    s.lists.sousSecteur = levels::QueryKeyAndLabel(
        s.Db("Remplir_Combo_SousSecteur"),
        soussecteur::ListQuery(levels::S(ui_.Txt_CodeSecteur->Text())), soussecteur::kFile);
    s.W_NbSousSecteur = levels::RowCount(*s.lists.sousSecteur, "Remplir_Combo_SousSecteur");
    levels::FillLabels(*ui_.Cbo_LibSousSecteur, *s.lists.sousSecteur, s.W_NbSousSecteur);
}

// A code is looked up once it has its two characters, under the shown sector.
void Ctr_Secteur::Txt_CodeSousSecteur_Change() {
    constexpr const char* where = "Txt_CodeSousSecteur_Change";
    SharedState& s = *state_;
    const QString code = ui_.Txt_CodeSousSecteur->Text();
    if (code.size() != soussecteur::kCodeLength) {
        levels::ResumeSteps(where, {
                                       [&] { ui_.Cbo_LibSousSecteur->SetText({}); },
                                       [&] { Vider_Quartier(); },
                                   });
        return;
    }
    const QString key = ui_.Txt_CodeSecteur->Text() + code;
    const std::int32_t err =
        levels::ReadResumed(where, s.files.sousSecteur, soussecteur::kFile.data(), levels::S(key),
                            s.records.sousSecteur);
    if (err == kelmor::kNotFound) {
        levels::ResumeSteps(where, {
                                       [&] {
                                           levels::Message(kSousSecteurInconnu,
                                                           forms::vbExclamation | forms::vbOKOnly);
                                       },
                                       [&] { ui_.Txt_CodeSousSecteur->SetText({}); },
                                       [&] { Vider_Quartier(); },
                                       [&] { forms::SetFocus(ui_.Txt_CodeSousSecteur); },
                                   });
        return;
    }
    levels::ResumeSteps(where, {
                                   [&] { Vider_Quartier(); },
                                   [&] { Affichage_SousSecteur(); },
                                   [&] { ui_.Cbo_LibQuartier->Clear(); },
                                   [&] { Remplir_Combo_Quartier(); },
                               });
    if (s.W_NbQuartier == 1) {
        // The only neighbourhood is shown at once, through its code's Change.
        levels::ResumeSteps(where, {[&] {
                                ui_.Txt_CodeQuartier->SetText(
                                    levels::Mid(levels::ListKey(s.lists.quartier, 1, "QUARTIER"),
                                                quartier::kCodeStart, quartier::kCodeLength));
                            }});
    }
}

void Ctr_Secteur::Affichage_SousSecteur() {
    const kelmor::DbRecord& record = levels::Current(state_->records.sousSecteur, "SOUSSECTEUR");
    ui_.Cbo_LibSousSecteur->SetText(levels::Q(record.Get(soussecteur::kLibelle)));
    Voir_Quartier();
}

void Ctr_Secteur::Txt_CodeSousSecteur_GotFocus() {
    if (ui_.Txt_CodeSousSecteur->Text().isEmpty()) Cacher_Quartier();
}

// Every character is accepted as typed; Enter completes a one-character code.
void Ctr_Secteur::Txt_CodeSousSecteur_KeyPress(std::int16_t& KeyAscii) {
    if (KeyAscii == 13) levels::PadCode(*ui_.Txt_CodeSousSecteur, soussecteur::kCodeLength);
}

void Ctr_Secteur::Txt_CodeSousSecteur_LostFocus() {
    levels::PadCode(*ui_.Txt_CodeSousSecteur, soussecteur::kCodeLength);
}

void Ctr_Secteur::Cbo_LibSousSecteur_Change() {
    if (ui_.Cbo_LibSousSecteur->Text().isEmpty()) ui_.Txt_CodeSousSecteur->SetText({});
}

void Ctr_Secteur::Cbo_LibSousSecteur_Click(int index) {
    SharedState& s = *state_;
    if (s.W_CreationSecteur || s.W_CreationSousSecteur) return;
    if (ui_.Cbo_LibSousSecteur->Text().isEmpty()) return;
    ui_.Txt_CodeSousSecteur->SetText(
        levels::Mid(levels::ListKey(s.lists.sousSecteur, index + 1, "SOUSSECTEUR"),
                    soussecteur::kCodeStart, soussecteur::kCodeLength));
}

// Leaving the label renames the shown sub-sector at once; while a new
// sub-sector is entered, its label is proposed for its first neighbourhood.
void Ctr_Secteur::Cbo_LibSousSecteur_LostFocus() {
    SharedState& s = *state_;
    forms::ComboBox& label = *ui_.Cbo_LibSousSecteur;
    label.SetText(label.Text().toUpper());
    if (s.W_CreationSousSecteur) {
        ui_.Cbo_LibQuartier->SetText(label.Text());
    } else if (!s.W_CreationSecteur && !label.Text().isEmpty() &&
               !ui_.Txt_CodeSousSecteur->Text().isEmpty()) {
        // The list keeps the old label until it is filled again.
        levels::WriteIfChanged(levels::Current(s.records.sousSecteur, "SOUSSECTEUR"),
                               soussecteur::kLibelle, label.Text());
    }
    Voir_Quartier();
    ui_.Cbo_LibQuartier->setEnabled(true);
}

void Ctr_Secteur::Vider_SousSecteur() {
    ui_.Txt_CodeSousSecteur->SetText({});
    ui_.Cbo_LibSousSecteur->SetText({});
    ui_.Cbo_LibSousSecteur->Clear();
    ui_.Cmd_Adresse->setEnabled(true);
    ui_.Cmd_AjouterSousSecteur->setEnabled(true);
    if (ui_.Txt_CodeSecteur->Text().isEmpty()) ui_.Cmd_GestionDocumentaire->setEnabled(false);
}

}  // namespace zonitra
