// The neighbourhood level of Ctr_Secteur: the neighbourhoods of the shown
// sub-sector, found by code or label, shown with their medical links, renamed
// from their label field.

#include "levels/neighbourhood_level.h"

#include "control/ctr_secteur.h"
#include "forms/msgbox.h"
#include "levels/fields.h"
#include "levels/list_query.h"
#include "levels/medical_links.h"
#include "levels/resume.h"

namespace zonitra {
namespace {

const QString kQuartierInconnu = QStringLiteral(
    "Ce Quartier n'existe pas.\r\nVous devez d'abord cliquer sur 'Ajouter' pour le créer");

}  // namespace

void Ctr_Secteur::ConnectNeighbourhoodLevel() {
    ui_.Txt_CodeQuartier->Change = [this] { Txt_CodeQuartier_Change(); };
    ui_.Txt_CodeQuartier->KeyPress = [this](std::int16_t& k) { Txt_CodeQuartier_KeyPress(k); };
    ui_.Txt_CodeQuartier->LostFocus = [this] { Txt_CodeQuartier_LostFocus(); };
    ui_.Cbo_LibQuartier->Change = [this] { Cbo_LibQuartier_Change(); };
    ui_.Cbo_LibQuartier->Click = [this](int index) { Cbo_LibQuartier_Click(index); };
    ui_.Cbo_LibQuartier->LostFocus = [this] { Cbo_LibQuartier_LostFocus(); };
}

void Ctr_Secteur::Remplir_Combo_Quartier() {
    SharedState& s = *state_;
    // The sector and sub-sector codes make the key prefix of the neighbourhoods.
    const QString prefix = ui_.Txt_CodeSecteur->Text() + ui_.Txt_CodeSousSecteur->Text();
    s.lists.quartier = levels::QueryKeyAndLabel(
        s.Db("Remplir_Combo_Quartier"), quartier::ListQuery(levels::S(prefix)), quartier::kFile);
    s.W_NbQuartier = levels::RowCount(*s.lists.quartier, "Remplir_Combo_Quartier");
    levels::FillLabels(*ui_.Cbo_LibQuartier, *s.lists.quartier, s.W_NbQuartier);
}

// A code is looked up once it has its two characters; any other length does
// nothing, the shown label included.
void Ctr_Secteur::Txt_CodeQuartier_Change() {
    constexpr const char* where = "Txt_CodeQuartier_Change";
    SharedState& s = *state_;
    const QString code = ui_.Txt_CodeQuartier->Text();
    if (code.size() != quartier::kCodeLength) return;
    const QString key = ui_.Txt_CodeSecteur->Text() + ui_.Txt_CodeSousSecteur->Text() + code;
    const std::int32_t err = levels::ReadResumed(where, s.files.quartier, quartier::kFile.data(),
                                                 levels::S(key), s.records.quartier);
    if (err == kelmor::kNotFound) {
        // The label and the links stay as they were.
        levels::ResumeSteps(
            where,
            {
                [&] { levels::Message(kQuartierInconnu, forms::vbExclamation | forms::vbOKOnly); },
                [&] { ui_.Txt_CodeQuartier->SetText({}); },
            });
        return;
    }
    // A link to a missing centre or antenna stops the display at that point.
    levels::ResumeSteps(where, {
                                   [&] { Affichage_Quartier(); },
                                   [&] { forms::SetFocus(ui_.Txt_CodeQuartier); },
                               });
}

// Setting the link codes runs their lookups (which fill the antenna list);
// the centre and antenna are then read again here to show their labels.
void Ctr_Secteur::Affichage_Quartier() {
    SharedState& s = *state_;
    const kelmor::DbRecord& record = levels::Current(s.records.quartier, "QUARTIER");
    const std::string link = record.Get(quartier::kLien);
    const QString centre = levels::Mid(link, 1, centremedical::kCodeLength);
    ui_.Cbo_LibQuartier->SetText(levels::Q(record.Get(quartier::kLibelle)));
    ui_.Txt_CodeCentreMedQuartier->SetText(centre);
    s.records.centreMedical.reset();
    s.records.centreMedical = OpenedFile(s.files.centreMedical, centremedical::kFile.data())
                                  .ReadRecord(levels::S(centre));
    ui_.Cbo_LibCentreMedQuartier->SetText(
        levels::Q(s.records.centreMedical->Get(centremedical::kLibelle)));
    ui_.Txt_CodeAntMedQuartier->SetText(
        levels::Mid(link, antennemedicale::kCodeStart, antennemedicale::kCodeLength));
    s.records.antenneMedicale.reset();
    s.records.antenneMedicale =
        OpenedFile(s.files.antenneMedicale, antennemedicale::kFile.data()).ReadRecord(link);
    ui_.Cbo_LibAntMedQuartier->SetText(
        levels::Q(s.records.antenneMedicale->Get(antennemedicale::kLibelle)));
    Voir_Quartier();
}

// Every character is accepted as typed; Enter completes a one-character code.
void Ctr_Secteur::Txt_CodeQuartier_KeyPress(std::int16_t& KeyAscii) {
    if (KeyAscii == 13) levels::PadCode(*ui_.Txt_CodeQuartier, quartier::kCodeLength);
}

void Ctr_Secteur::Txt_CodeQuartier_LostFocus() {
    levels::PadCode(*ui_.Txt_CodeQuartier, quartier::kCodeLength);
}

void Ctr_Secteur::Cbo_LibQuartier_Change() {
    if (ui_.Cbo_LibQuartier->Text().isEmpty()) ui_.Txt_CodeQuartier->SetText({});
}

void Ctr_Secteur::Cbo_LibQuartier_Click(int index) {
    SharedState& s = *state_;
    if (EnCreation() || ui_.Cbo_LibQuartier->Text().isEmpty()) return;
    ui_.Txt_CodeQuartier->SetText(
        levels::Mid(levels::ListKey(s.lists.quartier, index + 1, "QUARTIER"), quartier::kCodeStart,
                    quartier::kCodeLength));
}

// Upper-cases the label in every mode; renames the shown neighbourhood at
// once when browsing (the list keeps the old label until filled again).
void Ctr_Secteur::Cbo_LibQuartier_LostFocus() {
    SharedState& s = *state_;
    forms::ComboBox& label = *ui_.Cbo_LibQuartier;
    label.SetText(label.Text().toUpper());
    if (EnCreation() || ui_.Txt_CodeQuartier->Text().isEmpty() || label.Text().isEmpty()) return;
    levels::WriteIfChanged(levels::Current(s.records.quartier, "QUARTIER"), quartier::kLibelle,
                           label.Text());
}

// The entries of the medical-centre and antenna lists stay.
void Ctr_Secteur::Vider_Quartier() {
    ui_.Txt_CodeQuartier->SetText({});
    ui_.Cbo_LibQuartier->SetText({});
    ui_.Cbo_LibQuartier->Clear();
    ui_.Txt_CodeCentreMedQuartier->SetText({});
    ui_.Cbo_LibCentreMedQuartier->SetText({});
    ui_.Txt_CodeAntMedQuartier->SetText({});
    ui_.Cbo_LibAntMedQuartier->SetText({});
}

}  // namespace zonitra
