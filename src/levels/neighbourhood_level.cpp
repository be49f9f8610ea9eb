#include "levels/neighbourhood_level.h"

#include "control/messages.h"
#include "forms/msgbox.h"
#include "levels/fields.h"
#include "levels/medical_links.h"

namespace zonitra::levels {
namespace {

const QString kQuartierInconnu = QStringLiteral(
    "Ce Quartier n'existe pas.\r\nVous devez d'abord cliquer sur 'Ajouter' pour le créer");

}  // namespace

NeighbourhoodLevel::NeighbourhoodLevel(const LevelContext& context, MedicalLinks& liens)
    : ui_(context.ui),
      state_(context.state),
      modes_(context.modes),
      pair_(*ui_.Txt_CodeQuartier, *ui_.Cbo_LibQuartier, quartier::kKey),
      liens_(liens) {
    const CodeLabelPair::Handlers<NeighbourhoodLevel> handlers{
        .codeChange = &NeighbourhoodLevel::Txt_CodeQuartier_Change,
        .codeKeyPress = &NeighbourhoodLevel::Txt_CodeQuartier_KeyPress,
        .codeLostFocus = &NeighbourhoodLevel::Txt_CodeQuartier_LostFocus,
        .labelChange = &NeighbourhoodLevel::Cbo_LibQuartier_Change,
        .labelClick = &NeighbourhoodLevel::Cbo_LibQuartier_Click,
        .labelLostFocus = &NeighbourhoodLevel::Cbo_LibQuartier_LostFocus,
    };
    pair_.Connect(*this, handlers);
}

void NeighbourhoodLevel::Remplir_Combo_Quartier() {
    // The sector and sub-sector codes make the key prefix of the neighbourhoods.
    const QString prefix = ui_.Txt_CodeSecteur->Text() + ui_.Txt_CodeSousSecteur->Text();
    pair_.Fill(state_.Db("Remplir_Combo_Quartier"), quartier::ListQuery(S(prefix)),
               state_.lists.quartier, &state_.W_NbQuartier, "Remplir_Combo_Quartier");
}

void NeighbourhoodLevel::ShowOnlyRecord() {
    pair_.ShowCodeOfRow(state_.lists.quartier, 1);
}

// A code is looked up once it has its two characters; any other length does
// nothing, the shown label included.
void NeighbourhoodLevel::Txt_CodeQuartier_Change() {
    if (!pair_.CodeComplete()) return;
    ErrorsResumed steps("Txt_CodeQuartier_Change");
    const QString key = ui_.Txt_CodeSecteur->Text() + ui_.Txt_CodeSousSecteur->Text() +
                        ui_.Txt_CodeQuartier->Text();
    if (pair_.Read(steps, state_.files.quartier, key, state_.records.quartier) ==
        kelmor::kNotFound) {
        // The label and the links stay as they were.
        steps.Run([&] { Message(kQuartierInconnu, forms::vbExclamation | forms::vbOKOnly); });
        steps.Run([&] { ui_.Txt_CodeQuartier->SetText({}); });
        return;
    }
    // A link to a missing centre or antenna stops the display at that point.
    steps.Run([&] { Affichage_Quartier(); });
    steps.Run([&] { forms::SetFocus(ui_.Txt_CodeQuartier); });
}

void NeighbourhoodLevel::Affichage_Quartier() {
    const kelmor::DbRecord& record = Current(state_.records.quartier, quartier::kFile);
    const std::string link = record.Get(quartier::kLien);
    ui_.Cbo_LibQuartier->SetText(Q(record.Get(quartier::kLibelle)));
    liens_.ShowLink(link);
    modes_.Voir_Quartier();
}

void NeighbourhoodLevel::Txt_CodeQuartier_KeyPress(std::int16_t& KeyAscii) {
    pair_.CompleteOnEnter(KeyAscii);
}

void NeighbourhoodLevel::Txt_CodeQuartier_LostFocus() {
    pair_.Complete();
}

void NeighbourhoodLevel::Cbo_LibQuartier_Change() {
    pair_.EmptyCodeWithLabel();
}

void NeighbourhoodLevel::Cbo_LibQuartier_Click(int index) {
    if (EnCreation(state_)) return;
    pair_.ShowCodeOfEntry(state_.lists.quartier, index);
}

// Upper-cases the label in every mode; renames the shown neighbourhood at
// once when browsing (the list keeps the old label until filled again).
void NeighbourhoodLevel::Cbo_LibQuartier_LostFocus() {
    pair_.UpperCaseLabel();
    const QString label = ui_.Cbo_LibQuartier->Text();
    if (EnCreation(state_) || ui_.Txt_CodeQuartier->Text().isEmpty() || label.isEmpty()) return;
    WriteIfChanged(Current(state_.records.quartier, quartier::kFile), quartier::kLibelle, label);
}

void NeighbourhoodLevel::Relink(const QString& link) {
    if (EnCreation(state_) || ui_.Txt_CodeQuartier->Text().isEmpty() ||
        ui_.Cbo_LibQuartier->Text().isEmpty()) {
        return;
    }
    WriteIfChanged(Current(state_.records.quartier, quartier::kFile), quartier::kLien, link);
}

void NeighbourhoodLevel::Vider_Quartier() {
    pair_.Empty();
    liens_.EmptyLinkFields();
}

}  // namespace zonitra::levels
