#include "levels/neighbourhood_level.h"

#include <stdexcept>
#include <utility>

#include "control/messages.h"
#include "forms/msgbox.h"
#include "levels/creation.h"
#include "levels/fields.h"
#include "levels/medical_links.h"

namespace zonitra::levels {
namespace {

const QString kQuartierInconnu = QStringLiteral(
    "Ce Quartier n'existe pas.\r\nVous devez d'abord cliquer sur 'Ajouter' pour le créer");
const QString kPlusDeCodeQuartier = QStringLiteral(
    "Aucun code de Quartier n'est libre dans ce Sous-Secteur : les codes 01 à 99 sont tous "
    "utilisés.\r\nVous devez cliquer sur 'Annuler' pour quitter cette création");

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
    ui_.Cmd_AjouterQuartier->Click = [this] { Cmd_AjouterQuartier_Click(); };
}

void NeighbourhoodLevel::Remplir_Combo_Quartier() {
    // The sector and sub-sector codes make the key prefix of the neighbourhoods.
    const QString prefix = ui_.Txt_CodeSecteur->Text() + ui_.Txt_CodeSousSecteur->Text();
    pair_.Fill(state_.Db("Remplir_Combo_Quartier"), quartier::ListQuery(S(prefix)),
               state_.lists.quartier, &state_.W_NbQuartier);
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
    if (RenameIfChanged(Current(state_.records.quartier, quartier::kFile), quartier::kLibelle,
                        label, state_.lists.quartier,
                        "Cbo_LibQuartier_LostFocus") == Written::kFailed) {
        ShowStoredNeighbourhood();
    }
}

void NeighbourhoodLevel::Relink(const QString& link) {
    if (EnCreation(state_) || ui_.Txt_CodeQuartier->Text().isEmpty() ||
        ui_.Cbo_LibQuartier->Text().isEmpty()) {
        return;
    }
    if (WriteIfChanged(Current(state_.records.quartier, quartier::kFile), quartier::kLien, link,
                       "Relink") == Written::kFailed) {
        ShowStoredNeighbourhood();
    }
}

// The label and links as stored, after a failed write; the link fields' own
// events look the centre and antenna up again, and write nothing since they
// show the stored link.
void NeighbourhoodLevel::ShowStoredNeighbourhood() {
    ErrorsResumed steps("ShowStoredNeighbourhood");
    const kelmor::DbRecord& record = Current(state_.records.quartier, quartier::kFile);
    steps.Run([&] { ui_.Cbo_LibQuartier->SetText(Q(record.Get(quartier::kLibelle))); });
    steps.Run([&] { liens_.ShowLink(record.Get(quartier::kLien)); });
}

void NeighbourhoodLevel::Vider_Quartier() {
    pair_.Empty();
    liens_.EmptyLinkFields();
}

// ---- Entering a new neighbourhood ------------------------------------------

// The sector and sub-sector stay shown: the new neighbourhood belongs to them.
void NeighbourhoodLevel::Cmd_AjouterQuartier_Click() {
    if (RefusedDuringCreation(state_)) return;
    state_.W_CreationQuartier = kTrue;
    Vider_Quartier();
    modes_.Cacher_Secteur();
    modes_.Cacher_SousSecteur();
    modes_.Voir_Quartier();
    ui_.Txt_CodeQuartier->setEnabled(false);  // the code is generated, not typed
    modes_.Voir_Ok();
    DisableOtherCreations(ui_);
    forms::SetFocus(ui_.Cbo_LibQuartier);
}

kelmor::DbRecord NeighbourhoodLevel::NewNeighbourhood(const std::string& key) const {
    kelmor::DbRecord record =
        OpenedFile(state_.files.quartier, quartier::kFile.data()).NewRecord(key);
    record.Set(quartier::kLibelle, S(ui_.Cbo_LibQuartier->Text()));
    record.Set(quartier::kLien,
               S(ui_.Txt_CodeCentreMedQuartier->Text() + ui_.Txt_CodeAntMedQuartier->Text()));
    return record;
}

// The code counts the sub-sector's neighbourhoods and takes the next number,
// which names an existing record when codes were removed by other means: the
// insert then fails and the next code is tried, so that nothing is replaced.
void NeighbourhoodLevel::Creation_Quartier() {
    const QString parent = ui_.Txt_CodeSecteur->Text() + ui_.Txt_CodeSousSecteur->Text();
    if (parent.size() != quartier::kKey.parentLength) {
        throw std::logic_error("Creation_Quartier: no sub-sector is shown (codes \"" + S(parent) +
                               "\")");
    }
    const int count = pair_.Select(state_.Db("Creation_Quartier"), quartier::ListQuery(S(parent)),
                                   state_.lists.quartier);
    state_.lists.quartier.reset();  // only its count was needed
    const int first = count < quartier::kLastCode ? count + 1 : 1;
    for (int tried = 0; tried < quartier::kLastCode; ++tried) {
        const int number = (first - 1 + tried) % quartier::kLastCode + 1;
        kelmor::DbRecord record =
            NewNeighbourhood(S(parent) + NumberCode(number, quartier::kKey.codeLength));
        if (!record.DBInsert()) continue;
        state_.records.quartier = std::move(record);
        state_.W_CreationQuartier = kFalse;
        return;
    }
    Message(kPlusDeCodeQuartier, forms::vbExclamation | forms::vbOKOnly);
}

}  // namespace zonitra::levels
