#include "levels/sub_sector_level.h"

#include <stdexcept>
#include <utility>

#include "control/messages.h"
#include "forms/msgbox.h"
#include "levels/creation.h"
#include "levels/fields.h"
#include "levels/neighbourhood_level.h"

namespace zonitra::levels {
namespace {

const QString kSousSecteurInconnu = QStringLiteral(
    "Ce Sous_Secteur n'existe pas.\r\nVous devez d'abord cliquer sur 'Ajouter' pour le créer");
const QString kPlusDeCodeSousSecteur = QStringLiteral(
    "Aucun code de Sous-Secteur n'est libre dans ce Secteur : les codes 01 à 99 sont tous "
    "utilisés.\r\nVous devez cliquer sur 'Annuler' pour quitter cette création");

}  // namespace

SubSectorLevel::SubSectorLevel(const LevelContext& context, NeighbourhoodLevel& quartier)
    : ui_(context.ui),
      state_(context.state),
      modes_(context.modes),
      pair_(*ui_.Txt_CodeSousSecteur, *ui_.Cbo_LibSousSecteur, soussecteur::kKey),
      quartier_(quartier) {
    const CodeLabelPair::Handlers<SubSectorLevel> handlers{
        .codeChange = &SubSectorLevel::Txt_CodeSousSecteur_Change,
        .codeKeyPress = &SubSectorLevel::Txt_CodeSousSecteur_KeyPress,
        .codeLostFocus = &SubSectorLevel::Txt_CodeSousSecteur_LostFocus,
        .labelChange = &SubSectorLevel::Cbo_LibSousSecteur_Change,
        .labelClick = &SubSectorLevel::Cbo_LibSousSecteur_Click,
        .labelLostFocus = &SubSectorLevel::Cbo_LibSousSecteur_LostFocus,
    };
    pair_.Connect(*this, handlers);
    ui_.Txt_CodeSousSecteur->GotFocus = [this] { Txt_CodeSousSecteur_GotFocus(); };
    ui_.Cmd_AjouterSousSecteur->Click = [this] { Cmd_AjouterSousSecteur_Click(); };
}

void SubSectorLevel::Remplir_Combo_SousSecteur() {
    pair_.Fill(state_.Db("Remplir_Combo_SousSecteur"),
               soussecteur::ListQuery(S(ui_.Txt_CodeSecteur->Text())), state_.lists.sousSecteur,
               &state_.W_NbSousSecteur);
}

void SubSectorLevel::ShowOnlyRecord() {
    pair_.ShowCodeOfRow(state_.lists.sousSecteur, 1);
}

// A code is looked up once it has its two characters, under the shown sector.
void SubSectorLevel::Txt_CodeSousSecteur_Change() {
    ErrorsResumed steps("Txt_CodeSousSecteur_Change");
    if (!pair_.CodeComplete()) {
        steps.Run([&] { ui_.Cbo_LibSousSecteur->SetText({}); });
        steps.Run([&] { quartier_.Vider_Quartier(); });
        return;
    }
    const QString key = ui_.Txt_CodeSecteur->Text() + ui_.Txt_CodeSousSecteur->Text();
    if (pair_.Read(steps, state_.files.sousSecteur, key, state_.records.sousSecteur) ==
        kelmor::kNotFound) {
        steps.Run([&] { Message(kSousSecteurInconnu, forms::vbExclamation | forms::vbOKOnly); });
        steps.Run([&] { ui_.Txt_CodeSousSecteur->SetText({}); });
        steps.Run([&] { quartier_.Vider_Quartier(); });
        steps.Run([&] { forms::SetFocus(ui_.Txt_CodeSousSecteur); });
        return;
    }
    steps.Run([&] { quartier_.Vider_Quartier(); });
    steps.Run([&] { Affichage_SousSecteur(); });
    steps.Run([&] { ui_.Cbo_LibQuartier->Clear(); });
    steps.Run([&] { quartier_.Remplir_Combo_Quartier(); });
    // The only neighbourhood is shown at once, through its code's Change.
    if (state_.W_NbQuartier == 1) steps.Run([&] { quartier_.ShowOnlyRecord(); });
}

void SubSectorLevel::Affichage_SousSecteur() {
    const kelmor::DbRecord& record = Current(state_.records.sousSecteur, soussecteur::kFile);
    ui_.Cbo_LibSousSecteur->SetText(Q(record.Get(soussecteur::kLibelle)));
    modes_.Voir_Quartier();
}

void SubSectorLevel::Txt_CodeSousSecteur_GotFocus() {
    if (ui_.Txt_CodeSousSecteur->Text().isEmpty()) modes_.Cacher_Quartier();
}

void SubSectorLevel::Txt_CodeSousSecteur_KeyPress(std::int16_t& KeyAscii) {
    pair_.CompleteOnEnter(KeyAscii);
}

void SubSectorLevel::Txt_CodeSousSecteur_LostFocus() {
    pair_.Complete();
}

void SubSectorLevel::Cbo_LibSousSecteur_Change() {
    pair_.EmptyCodeWithLabel();
}

void SubSectorLevel::Cbo_LibSousSecteur_Click(int index) {
    if (state_.W_CreationSecteur || state_.W_CreationSousSecteur) return;
    pair_.ShowCodeOfEntry(state_.lists.sousSecteur, index);
}

// Leaving the label renames the shown sub-sector at once; while a new
// sub-sector is entered, its label is proposed for its first neighbourhood.
void SubSectorLevel::Cbo_LibSousSecteur_LostFocus() {
    const forms::ComboBox& label = *ui_.Cbo_LibSousSecteur;
    pair_.UpperCaseLabel();
    if (state_.W_CreationSousSecteur) {
        ui_.Cbo_LibQuartier->SetText(label.Text());
    } else if (!state_.W_CreationSecteur && !label.Text().isEmpty() &&
               !ui_.Txt_CodeSousSecteur->Text().isEmpty()) {
        // The list keeps the old label until it is filled again.
        kelmor::DbRecord& record = Current(state_.records.sousSecteur, soussecteur::kFile);
        if (RenameIfChanged(record, soussecteur::kLibelle, label.Text(), state_.lists.sousSecteur,
                            "Cbo_LibSousSecteur_LostFocus") == Written::kFailed) {
            // The stored label again (read again after another workstation's change).
            ui_.Cbo_LibSousSecteur->SetText(Q(record.Get(soussecteur::kLibelle)));
        }
    }
    modes_.Voir_Quartier();
    ui_.Cbo_LibQuartier->setEnabled(true);
}

void SubSectorLevel::Vider_SousSecteur() {
    pair_.Empty();
    ui_.Cmd_Adresse->setEnabled(true);
    ui_.Cmd_AjouterSousSecteur->setEnabled(true);
    if (ui_.Txt_CodeSecteur->Text().isEmpty()) ui_.Cmd_GestionDocumentaire->setEnabled(false);
}

// ---- Entering a new sub-sector ---------------------------------------------

void SubSectorLevel::Cmd_AjouterSousSecteur_Click() {
    if (RefusedDuringCreation(state_)) return;
    state_.W_CreationSousSecteur = kTrue;
    Vider_SousSecteur();
    quartier_.Vider_Quartier();
    modes_.Cacher_Secteur();
    modes_.Cacher_Quartier();
    modes_.Voir_Ok();
    DisableOtherCreations(ui_);
    forms::SetFocus(ui_.Cbo_LibSousSecteur);
    // The codes are generated, not typed.
    ui_.Txt_CodeSousSecteur->setEnabled(false);
    ui_.Txt_CodeQuartier->setEnabled(false);
    WalkAhead(startedProbe_, NewProbe(S(ui_.Txt_CodeSecteur->Text())), state_,
              state_.files.sousSecteur);
}

CodeProbe SubSectorLevel::NewProbe(std::string sector) {
    return {"Creation_SousSecteur", std::move(sector), soussecteur::kKey.codeLength,
            soussecteur::kLastCode};
}

kelmor::DbRecord SubSectorLevel::NewSubSector(const std::string& key) const {
    kelmor::DbRecord record =
        OpenedFile(state_.files.sousSecteur, soussecteur::kFile.data()).NewRecord(key);
    record.Set(soussecteur::kLibelle, S(ui_.Cbo_LibSousSecteur->Text()));
    return record;
}

// Gaps are filled first. A code is free only when its first neighbourhood is
// too: a neighbourhood left behind by other means is never replaced.
void SubSectorLevel::Creation_SousSecteur() {
    const QString sector = ui_.Txt_CodeSecteur->Text();
    if (sector.size() != soussecteur::kKey.parentLength) {
        throw std::logic_error("Creation_SousSecteur: no sector is shown (code \"" + S(sector) +
                               "\")");
    }
    kelmor::Database& database = state_.Db("Creation_SousSecteur");
    const kelmor::DbFile& file = OpenedFile(state_.files.sousSecteur, soussecteur::kFile.data());
    CodeProbe probe = WalkedProbe(startedProbe_, NewProbe(S(sector)), database, file);
    CreateAtFirstFreeCode(
        database, probe,
        [&](int number) -> std::vector<CreatedRecord> {
            if (!probe.Free(file, number)) return {};
            const std::string key = probe.Key(number);
            return {{NewSubSector(key), &state_.records.sousSecteur},
                    {quartier_.NewNeighbourhood(key + std::string(quartier::kFirstCode)),
                     &state_.records.quartier}};
        },
        state_.W_CreationSousSecteur, state_.lists.sousSecteur, kPlusDeCodeSousSecteur);
}

}  // namespace zonitra::levels
