// The sector level of Ctr_Secteur: finding a sector by code or label, showing
// it, renaming it from its label field, and clearing the level.

#include "levels/sector_level.h"

#include "control/ctr_secteur.h"
#include "forms/msgbox.h"
#include "levels/fields.h"
#include "levels/list_query.h"
#include "levels/resume.h"
#include "levels/sub_sector_level.h"
#include "services/date_service.h"

namespace zonitra {
namespace {

const QString kSecteurInconnu = QStringLiteral(
    "Ce Secteur n'existe pas.\r\nVous devez d'abord cliquer sur 'Ajouter' pour le créer");

}  // namespace

void Ctr_Secteur::ConnectSectorLevel() {
    ui_.Txt_CodeSecteur->Change = [this] { Txt_CodeSecteur_Change(); };
    ui_.Txt_CodeSecteur->KeyPress = [this](std::int16_t& k) { Txt_CodeSecteur_KeyPress(k); };
    ui_.Txt_CodeSecteur->LostFocus = [this] { Txt_CodeSecteur_LostFocus(); };
    ui_.Cbo_LibSecteur->Change = [this] { Cbo_LibSecteur_Change(); };
    ui_.Cbo_LibSecteur->Click = [this](int index) { Cbo_LibSecteur_Click(index); };
    ui_.Cbo_LibSecteur->LostFocus = [this] { Cbo_LibSecteur_LostFocus(); };
}

void Ctr_Secteur::DisconnectLevels() {
    for (forms::TextBox* box : findChildren<forms::TextBox*>()) {
        box->Change = nullptr;
        box->KeyPress = nullptr;
        box->GotFocus = nullptr;
        box->LostFocus = nullptr;
    }
    for (forms::ComboBox* combo : findChildren<forms::ComboBox*>()) {
        combo->Change = nullptr;
        combo->KeyPress = nullptr;
        combo->Click = nullptr;
        combo->DropDown = nullptr;
        combo->GotFocus = nullptr;
        combo->LostFocus = nullptr;
    }
}

void Ctr_Secteur::Remplir_Combo_Secteur() {
    SharedState& s = *state_;
    s.lists.secteur = levels::QueryKeyAndLabel(s.Db("Remplir_Combo_Secteur"), secteur::kListQuery,
                                               secteur::kFile);
    s.W_NbSecteur = levels::RowCount(*s.lists.secteur, "Remplir_Combo_Secteur");
    levels::FillLabels(*ui_.Cbo_LibSecteur, *s.lists.secteur, s.W_NbSecteur);
}

// A code is looked up as soon as it has its three characters; any other
// length empties the sector fields and the levels below. The read is a probe:
// only "no such record" is told to the operator, any other failure is passed
// over and the level goes on as if the sector had been found.
void Ctr_Secteur::Txt_CodeSecteur_Change() {
    constexpr const char* where = "Txt_CodeSecteur_Change";
    SharedState& s = *state_;
    const QString code = ui_.Txt_CodeSecteur->Text();
    if (code.size() != secteur::kCodeLength) {
        levels::ResumeSteps(where, {
                                       [&] { ui_.Cbo_LibSecteur->SetText({}); },
                                       [&] { ui_.Txt_NoAgrementSect->SetText({}); },
                                       [&] { ui_.Txt_DatAgrementSect->SetText({}); },
                                       [&] { ui_.Txt_NumCRAM->SetText({}); },
                                       [&] { ui_.Txt_Dep->SetText({}); },
                                       [&] { Vider_SousSecteur(); },
                                       [&] { Vider_Quartier(); },
                                   });
        return;
    }
    const std::int32_t err = levels::ReadResumed(where, s.files.secteur, secteur::kFile.data(),
                                                 levels::S(code), s.records.secteur);
    if (err == kelmor::kNotFound) {
        levels::ResumeSteps(
            where,
            {
                [&] { levels::Message(kSecteurInconnu, forms::vbExclamation | forms::vbOKOnly); },
                // Its Change empties the sector fields.
                [&] { ui_.Txt_CodeSecteur->SetText({}); },
                [&] { ui_.Cmd_GestionDocumentaire->setEnabled(false); },
                [&] { Vider_SousSecteur(); },
                [&] { Vider_Quartier(); },
                [&] { forms::SetFocus(ui_.Txt_CodeSecteur); },
            });
        return;
    }
    levels::ResumeSteps(where, {
                                   [&] { Affichage_Secteur(); },
                                   [&] { Vider_SousSecteur(); },
                                   [&] { Vider_Quartier(); },
                                   [&] { Cacher_Agrement(); },
                                   [&] { ui_.Cbo_LibSousSecteur->Clear(); },
                                   [&] { Remplir_Combo_SousSecteur(); },
                               });
    if (s.W_NbSousSecteur != 1) {
        levels::ResumeSteps(where, {[&] { forms::SetFocus(ui_.Txt_CodeSousSecteur); }});
        return;
    }
    // The only sub-sector is shown at once, through its code's Change.
    levels::ResumeSteps(where, {
                                   [&] {
                                       ui_.Txt_CodeSousSecteur->SetText(levels::Mid(
                                           levels::ListKey(s.lists.sousSecteur, 1, "SOUSSECTEUR"),
                                           soussecteur::kCodeStart, soussecteur::kCodeLength));
                                   },
                                   [&] { forms::SetFocus(ui_.Txt_CodeQuartier); },
                               });
}

void Ctr_Secteur::Affichage_Secteur() {
    SharedState& s = *state_;
    const kelmor::DbRecord& record = levels::Current(s.records.secteur, "SECTEUR");
    ui_.Cbo_LibSecteur->SetText(levels::Q(record.Get(secteur::kLibelle)));
    ui_.Txt_NoAgrementSect->SetText(levels::Q(record.Get(secteur::kNoAgrement)));
    const std::string date = record.Get(secteur::kDateAgrement);
    ui_.Txt_DatAgrementSect->SetText(date.empty() ? QString()
                                                  : levels::Q(s.Dates().DateToDisplay(date)));
    ui_.Txt_NumCRAM->SetText(levels::Q(record.Get(secteur::kNumCRAM)));
    ui_.Txt_Dep->SetText(levels::Q(record.Get(secteur::kDepartement)));
    ui_.Cmd_AjouterSecteur->setEnabled(true);
    ui_.Cmd_GestionDocumentaire->setEnabled(!ui_.Txt_CodeSecteur->Text().isEmpty());
    Voir_SousSecteur();
    // The neighbourhood level stays closed until a sub-sector is chosen.
    Cacher_Quartier();
}

// Every character is accepted as typed; Enter completes a short code.
void Ctr_Secteur::Txt_CodeSecteur_KeyPress(std::int16_t& KeyAscii) {
    if (KeyAscii == 13 && !ui_.Txt_CodeSecteur->Text().isEmpty()) {
        ui_.Txt_CodeSecteur->SetText(
            levels::PadWithZeros(ui_.Txt_CodeSecteur->Text(), secteur::kCodeLength));
    }
}

void Ctr_Secteur::Txt_CodeSecteur_LostFocus() {
    levels::PadCode(*ui_.Txt_CodeSecteur, secteur::kCodeLength);
}

void Ctr_Secteur::Cbo_LibSecteur_Change() {
    if (ui_.Cbo_LibSecteur->Text().isEmpty()) ui_.Txt_CodeSecteur->SetText({});
}

void Ctr_Secteur::Cbo_LibSecteur_Click(int index) {
    SharedState& s = *state_;
    if (s.W_CreationSecteur || ui_.Cbo_LibSecteur->Text().isEmpty()) return;
    // Entry k is row k + 1 of the list; its code's Change shows the sector.
    ui_.Txt_CodeSecteur->SetText(levels::Q(levels::ListKey(s.lists.secteur, index + 1, "SECTEUR")));
}

// Leaving the label renames the shown sector at once; while a new sector is
// entered, its label is proposed for its first sub-sector and neighbourhood.
void Ctr_Secteur::Cbo_LibSecteur_LostFocus() {
    SharedState& s = *state_;
    forms::ComboBox& label = *ui_.Cbo_LibSecteur;
    label.SetText(label.Text().toUpper());
    if (s.W_CreationSecteur) {
        ui_.Cbo_LibSousSecteur->SetText(label.Text());
        ui_.Cbo_LibQuartier->SetText(label.Text());
        Voir_SousSecteur();
        Voir_Quartier();
    } else if (!label.Text().isEmpty() && !ui_.Txt_CodeSecteur->Text().isEmpty()) {
        kelmor::DbRecord& record = levels::Current(s.records.secteur, "SECTEUR");
        if (levels::WriteIfChanged(record, secteur::kLibelle, label.Text())) {
            // The list shows the new label in its place; refilling it empties
            // the text, which is set back from the record.
            Remplir_Combo_Secteur();
            label.SetText(levels::Q(record.Get(secteur::kLibelle)));
        }
    }
    if (!ui_.Txt_CodeSecteur->Text().isEmpty()) {
        Voir_SousSecteur();
        Voir_Quartier();
        ui_.Cbo_LibSousSecteur->setEnabled(true);
        ui_.Cbo_LibQuartier->setEnabled(true);
    }
}

void Ctr_Secteur::Vider_Secteur() {
    ui_.Txt_CodeSecteur->SetText({});
    ui_.Cbo_LibSecteur->SetText({});
    ui_.Txt_NoAgrementSect->SetText({});
    ui_.Txt_DatAgrementSect->SetText({});
    ui_.Txt_NumCRAM->SetText({});
    ui_.Txt_Dep->SetText({});
    // The entries come back with the next Remplir_Combo_Secteur.
    ui_.Cbo_LibSecteur->Clear();
    ui_.Cmd_AjouterSecteur->setEnabled(true);
    if (ui_.Txt_CodeSecteur->Text().isEmpty()) ui_.Cmd_GestionDocumentaire->setEnabled(false);
    Cacher_Ok();
}

}  // namespace zonitra
