// The sector level: lookup by code or label, display, renaming, clearing, and
// the four attribute fields. While a sector is shown, each attribute field is
// written to the current sector record as it is left, when its value changed;
// while a new sector is entered, the fields are only checked.

#include "levels/sector_level.h"

#include <utility>

#include "control/messages.h"
#include "control/store.h"
#include "forms/msgbox.h"
#include "levels/creation.h"
#include "levels/fields.h"
#include "levels/neighbourhood_level.h"
#include "levels/sub_sector_level.h"
#include "services/date_service.h"

namespace zonitra::levels {
namespace {

const QString kSecteurInconnu = QStringLiteral(
    "Ce Secteur n'existe pas.\r\nVous devez d'abord cliquer sur 'Ajouter' pour le créer");
const QString kDateErronee =
    QStringLiteral("Erreur de saisie dans la date, veuillez la ressaisir.");
const QString kDepartementErrone =
    QStringLiteral("Le département doit être compris entre 01 et 99 ou égal à 2A ou 2B.");
const QString kPlusDeCodeSecteur = QStringLiteral(
    "Aucun code de Secteur n'est libre : les codes 001 à 999 sont tous utilisés.\r\nVous devez "
    "cliquer sur 'Annuler' pour quitter cette création");

}  // namespace

SectorLevel::SectorLevel(const LevelContext& context, SubSectorLevel& sousSecteur,
                         NeighbourhoodLevel& quartier)
    : ui_(context.ui),
      state_(context.state),
      modes_(context.modes),
      pair_(*ui_.Txt_CodeSecteur, *ui_.Cbo_LibSecteur, secteur::kKey),
      sousSecteur_(sousSecteur),
      quartier_(quartier) {
    const CodeLabelPair::Handlers<SectorLevel> handlers{
        .codeChange = &SectorLevel::Txt_CodeSecteur_Change,
        .codeKeyPress = &SectorLevel::Txt_CodeSecteur_KeyPress,
        .codeLostFocus = &SectorLevel::Txt_CodeSecteur_LostFocus,
        .labelChange = &SectorLevel::Cbo_LibSecteur_Change,
        .labelClick = &SectorLevel::Cbo_LibSecteur_Click,
        .labelLostFocus = &SectorLevel::Cbo_LibSecteur_LostFocus,
    };
    pair_.Connect(*this, handlers);
    ConnectAttributes();
    ui_.Cmd_AjouterSecteur->Click = [this] { Cmd_AjouterSecteur_Click(); };
}

void SectorLevel::Remplir_Combo_Secteur() {
    pair_.Fill(state_.Db("Remplir_Combo_Secteur"), secteur::kListQuery, state_.lists.secteur,
               &state_.W_NbSecteur);
}

// A code is looked up as soon as it has its three characters; any other
// length empties the sector fields and the levels below. The read is a probe:
// only "no such record" is told to the operator, any other failure is passed
// over and the level goes on as if the sector had been found.
void SectorLevel::Txt_CodeSecteur_Change() {
    ErrorsResumed steps("Txt_CodeSecteur_Change");
    if (!pair_.CodeComplete()) {
        steps.Run([&] { ui_.Cbo_LibSecteur->SetText({}); });
        steps.Run([&] { ui_.Txt_NoAgrementSect->SetText({}); });
        steps.Run([&] { ui_.Txt_DatAgrementSect->SetText({}); });
        steps.Run([&] { ui_.Txt_NumCRAM->SetText({}); });
        steps.Run([&] { ui_.Txt_Dep->SetText({}); });
        steps.Run([&] { sousSecteur_.Vider_SousSecteur(); });
        steps.Run([&] { quartier_.Vider_Quartier(); });
        return;
    }
    const QString code = ui_.Txt_CodeSecteur->Text();
    if (pair_.Read(steps, state_.files.secteur, code, state_.records.secteur) ==
        kelmor::kNotFound) {
        steps.Run([&] { Message(kSecteurInconnu, forms::vbExclamation | forms::vbOKOnly); });
        steps.Run([&] { ui_.Txt_CodeSecteur->SetText({}); });  // its Change empties the fields
        steps.Run([&] { ui_.Cmd_GestionDocumentaire->setEnabled(false); });
        steps.Run([&] { sousSecteur_.Vider_SousSecteur(); });
        steps.Run([&] { quartier_.Vider_Quartier(); });
        steps.Run([&] { forms::SetFocus(ui_.Txt_CodeSecteur); });
        return;
    }
    steps.Run([&] { Affichage_Secteur(); });
    steps.Run([&] { sousSecteur_.Vider_SousSecteur(); });
    steps.Run([&] { quartier_.Vider_Quartier(); });
    steps.Run([&] { modes_.Cacher_Agrement(); });
    steps.Run([&] { ui_.Cbo_LibSousSecteur->Clear(); });
    steps.Run([&] { sousSecteur_.Remplir_Combo_SousSecteur(); });
    if (state_.W_NbSousSecteur != 1) {
        steps.Run([&] { forms::SetFocus(ui_.Txt_CodeSousSecteur); });
        return;
    }
    // The only sub-sector is shown at once, through its code's Change.
    steps.Run([&] { sousSecteur_.ShowOnlyRecord(); });
    steps.Run([&] { forms::SetFocus(ui_.Txt_CodeQuartier); });
}

// A stored date that is not one (bad data from elsewhere) is shown empty and
// logged, so that the display goes on to this sector's other fields; leaving
// an empty date field writes nothing, so the stored value stays as it is.
QString SectorLevel::ShownDate(const kelmor::DbRecord& record) const {
    const std::string date = record.Get(secteur::kDateAgrement);
    try {
        return Q(state_.Dates().DateToDisplay(date));
    } catch (const services::DateError& error) {
        qWarning("SECTEUR %s: stored date \"%s\" cannot be shown (%s); shown empty",
                 record.Key().c_str(), date.c_str(), error.what());
        return {};
    }
}

void SectorLevel::Affichage_Secteur() {
    const kelmor::DbRecord& record = Current(state_.records.secteur, secteur::kFile);
    ui_.Cbo_LibSecteur->SetText(Q(record.Get(secteur::kLibelle)));
    ui_.Txt_NoAgrementSect->SetText(Q(record.Get(secteur::kNoAgrement)));
    ui_.Txt_DatAgrementSect->SetText(ShownDate(record));
    ui_.Txt_NumCRAM->SetText(Q(record.Get(secteur::kNumCRAM)));
    ui_.Txt_Dep->SetText(Q(record.Get(secteur::kDepartement)));
    ui_.Cmd_AjouterSecteur->setEnabled(true);
    ui_.Cmd_GestionDocumentaire->setEnabled(!ui_.Txt_CodeSecteur->Text().isEmpty());
    modes_.Voir_SousSecteur();
    // The neighbourhood level stays closed until a sub-sector is chosen.
    modes_.Cacher_Quartier();
}

void SectorLevel::Txt_CodeSecteur_KeyPress(std::int16_t& KeyAscii) {
    pair_.CompleteOnEnter(KeyAscii);
}

void SectorLevel::Txt_CodeSecteur_LostFocus() {
    pair_.Complete();
}

void SectorLevel::Cbo_LibSecteur_Change() {
    pair_.EmptyCodeWithLabel();
}

void SectorLevel::Cbo_LibSecteur_Click(int index) {
    if (state_.W_CreationSecteur) return;
    pair_.ShowCodeOfEntry(state_.lists.secteur, index);
}

void SectorLevel::ShowStoredSector() {
    if (state_.W_CreationSecteur || !state_.records.secteur ||
        ui_.Txt_CodeSecteur->Text().isEmpty()) {
        return;
    }
    ErrorsResumed steps("ShowStoredSector");
    const kelmor::DbRecord& record = *state_.records.secteur;
    // Only what differs is set again: a field showing what is stored raises
    // no event, so showing an unchanged record does nothing at all.
    const auto show = [](forms::TextBox& field, const QString& text) {
        if (field.Text() != text) field.SetText(text);
    };
    const QString label = Q(record.Get(secteur::kLibelle));
    if (ui_.Cbo_LibSecteur->Text() != label) {
        // Another workstation may have renamed it: the list is read again
        // (which empties the text).
        steps.Run([&] { Remplir_Combo_Secteur(); });
        steps.Run([&] { ui_.Cbo_LibSecteur->SetText(label); });
    }
    steps.Run([&] { show(*ui_.Txt_NoAgrementSect, Q(record.Get(secteur::kNoAgrement))); });
    steps.Run([&] { show(*ui_.Txt_DatAgrementSect, ShownDate(record)); });
    steps.Run([&] { show(*ui_.Txt_NumCRAM, Q(record.Get(secteur::kNumCRAM))); });
    steps.Run([&] { show(*ui_.Txt_Dep, Q(record.Get(secteur::kDepartement))); });
}

// Leaving the label renames the shown sector at once; while a new sector is
// entered, its label is proposed for its first sub-sector and neighbourhood.
void SectorLevel::Cbo_LibSecteur_LostFocus() {
    forms::ComboBox& label = *ui_.Cbo_LibSecteur;
    pair_.UpperCaseLabel();
    if (state_.W_CreationSecteur) {
        ui_.Cbo_LibSousSecteur->SetText(label.Text());
        ui_.Cbo_LibQuartier->SetText(label.Text());
        modes_.Voir_SousSecteur();
        modes_.Voir_Quartier();
    } else if (!label.Text().isEmpty() && !ui_.Txt_CodeSecteur->Text().isEmpty()) {
        kelmor::DbRecord& record = Current(state_.records.secteur, secteur::kFile);
        switch (
            WriteIfChanged(record, secteur::kLibelle, label.Text(), "Cbo_LibSecteur_LostFocus")) {
            case Written::kStored:
                // The list shows the new label in its place; refilling it
                // empties the text, which is set back from the record.
                Remplir_Combo_Secteur();
                label.SetText(Q(record.Get(secteur::kLibelle)));
                break;
            case Written::kFailed:
                ShowStoredSector();
                break;
            case Written::kNothing:
                break;
        }
    }
    if (!ui_.Txt_CodeSecteur->Text().isEmpty()) {
        modes_.Voir_SousSecteur();
        modes_.Voir_Quartier();
        ui_.Cbo_LibSousSecteur->setEnabled(true);
        ui_.Cbo_LibQuartier->setEnabled(true);
    }
}

// The entries come back with the next Remplir_Combo_Secteur.
void SectorLevel::Vider_Secteur() {
    pair_.Empty();
    ui_.Txt_NoAgrementSect->SetText({});
    ui_.Txt_DatAgrementSect->SetText({});
    ui_.Txt_NumCRAM->SetText({});
    ui_.Txt_Dep->SetText({});
    ui_.Cmd_AjouterSecteur->setEnabled(true);
    if (ui_.Txt_CodeSecteur->Text().isEmpty()) ui_.Cmd_GestionDocumentaire->setEnabled(false);
    modes_.Cacher_Ok();
}

// ---- Entering a new sector --------------------------------------------------

// The operator types the label and the attribute fields; leaving the label
// proposes it for the first sub-sector and neighbourhood and opens their
// levels. Nothing is written before "OK".
void SectorLevel::Cmd_AjouterSecteur_Click() {
    if (RefusedDuringCreation(state_)) return;
    state_.W_CreationSecteur = kTrue;
    Vider_Secteur();
    sousSecteur_.Vider_SousSecteur();
    quartier_.Vider_Quartier();
    modes_.Cacher_SousSecteur();
    modes_.Cacher_Quartier();
    modes_.Voir_Ok();
    DisableOtherCreations(ui_);
    forms::SetFocus(ui_.Cbo_LibSecteur);
    // The codes are generated, not typed.
    ui_.Txt_CodeSecteur->setEnabled(false);
    ui_.Txt_CodeSousSecteur->setEnabled(false);
    ui_.Txt_CodeQuartier->setEnabled(false);
    WalkAhead(startedProbe_, NewProbe(), state_, state_.files.secteur);
}

CodeProbe SectorLevel::NewProbe() {
    return {"Creation_Secteur", {}, secteur::kKey.codeLength, secteur::kLastCode};
}

kelmor::DbRecord SectorLevel::NewSector(const std::string& code) {
    kelmor::DbRecord record =
        OpenedFile(state_.files.secteur, secteur::kFile.data()).NewRecord(code);
    record.Set(secteur::kLibelle, S(ui_.Cbo_LibSecteur->Text()));
    record.Set(secteur::kNoAgrement, S(ui_.Txt_NoAgrementSect->Text()));
    // An empty or invalid date is stored as "", the stored form of no date.
    record.Set(secteur::kDateAgrement,
               state_.Dates().DateToStored(S(ui_.Txt_DatAgrementSect->Text())));
    record.Set(secteur::kNumCRAM, S(ui_.Txt_NumCRAM->Text()));
    record.Set(secteur::kDepartement, S(ui_.Txt_Dep->Text()));
    return record;
}

// Codes are probed from "001" up, so gaps are filled first. A code is free
// only when its first sub-sector and neighbourhood are too: records left
// behind by other means are never replaced, nor adopted by the new sector.
void SectorLevel::Creation_Secteur() {
    kelmor::Database& database = state_.Db("Creation_Secteur");
    const kelmor::DbFile& file = OpenedFile(state_.files.secteur, secteur::kFile.data());
    CodeProbe probe = WalkedProbe(startedProbe_, NewProbe(), database, file);
    const std::string firstSubSector(soussecteur::kFirstCode);
    const std::string firstNeighbourhood = firstSubSector + std::string(quartier::kFirstCode);
    CreateAtFirstFreeCode(
        database, probe,
        [&](int number) -> std::vector<CreatedRecord> {
            if (!probe.Free(file, number)) return {};
            const std::string code = probe.Key(number);
            return {
                {NewSector(code), &state_.records.secteur},
                {sousSecteur_.NewSubSector(code + firstSubSector), &state_.records.sousSecteur},
                {quartier_.NewNeighbourhood(code + firstNeighbourhood), &state_.records.quartier}};
        },
        state_.W_CreationSecteur, state_.lists.secteur, kPlusDeCodeSecteur);
}

// ---- Attribute fields -------------------------------------------------------

void SectorLevel::ConnectAttributes() {
    ui_.Txt_NoAgrementSect->LostFocus = [this] { Txt_NoAgrementSect_LostFocus(); };
    ui_.Txt_DatAgrementSect->KeyPress = [this](std::int16_t& k) {
        Txt_DatAgrementSect_KeyPress(k);
    };
    ui_.Txt_DatAgrementSect->LostFocus = [this] { Txt_DatAgrementSect_LostFocus(); };
    ui_.Txt_NumCRAM->LostFocus = [this] { Txt_NumCRAM_LostFocus(); };
    ui_.Txt_Dep->LostFocus = [this] { Txt_Dep_LostFocus(); };
}

void SectorLevel::Txt_NoAgrementSect_LostFocus() {
    if (state_.W_CreationSecteur || ui_.Txt_CodeSecteur->Text().isEmpty()) return;
    // An emptied field stores "".
    if (WriteIfChanged(Current(state_.records.secteur, secteur::kFile), secteur::kNoAgrement,
                       ui_.Txt_NoAgrementSect->Text(),
                       "Txt_NoAgrementSect_LostFocus") == Written::kFailed) {
        ShowStoredSector();
    }
}

void SectorLevel::Txt_NumCRAM_LostFocus() {
    if (state_.W_CreationSecteur || ui_.Txt_CodeSecteur->Text().isEmpty()) return;
    if (WriteIfChanged(Current(state_.records.secteur, secteur::kFile), secteur::kNumCRAM,
                       ui_.Txt_NumCRAM->Text(), "Txt_NumCRAM_LostFocus") == Written::kFailed) {
        ShowStoredSector();
    }
}

// Digits and Backspace pass; any other key types the separator "/".
void SectorLevel::Txt_DatAgrementSect_KeyPress(std::int16_t& KeyAscii) {
    const bool digit = KeyAscii >= '0' && KeyAscii <= '9';
    if (!digit && KeyAscii != 8) KeyAscii = '/';
}

void SectorLevel::Txt_DatAgrementSect_LostFocus() {
    forms::TextBox& field = *ui_.Txt_DatAgrementSect;
    // Emptying the field never removes a stored date.
    if (field.Text().isEmpty()) return;

    const services::DateService& dates = state_.Dates();
    std::string text = S(field.Text());
    std::int16_t flag = kFalse;
    dates.DateNormalise(text, flag);
    field.SetText(Q(text));

    std::optional<std::string> stored;
    if (flag) {
        // A text that cannot be shaped into a date is refused without a word.
        forms::SetFocus(&field);
    } else {
        std::string converted = dates.DateToStored(S(field.Text()));
        if (converted.empty()) {
            Message(kDateErronee, forms::vbExclamation | forms::vbOKOnly);
            forms::SetFocus(&field);
        } else {
            stored = std::move(converted);
        }
    }
    if (!stored) {
        field.SetText({});
        forms::SetFocus(&field);
        return;
    }
    if (state_.W_CreationSecteur || ui_.Txt_CodeSecteur->Text().isEmpty()) return;
    if (WriteIfChanged(Current(state_.records.secteur, secteur::kFile), secteur::kDateAgrement,
                       Q(*stored), "Txt_DatAgrementSect_LostFocus") == Written::kFailed) {
        ShowStoredSector();
    }
}

bool SectorLevel::Txt_Dep_Check() {
    forms::TextBox& field = *ui_.Txt_Dep;
    modes_.Test();
    bool valid = false;
    if (state_.W_DepNonNumerique) {
        field.SetText(field.Text().toUpper());
        valid = field.Text() == u"2A" || field.Text() == u"2B";
    } else {
        // Digits only, at most two of them: "0" and "00" are the numbers refused.
        const int number = field.Text().toInt();
        valid = number >= 1 && number <= 99;
    }
    if (!valid) {
        Message(kDepartementErrone, forms::vbInformation | forms::vbOKOnly);
        field.SetText({});
        forms::SetFocus(&field);
    }
    return valid;
}

void SectorLevel::Txt_Dep_LostFocus() {
    forms::TextBox& field = *ui_.Txt_Dep;
    const auto complete = [&field] {
        if (!field.Text().isEmpty()) {
            field.SetText(PadWithZeros(field.Text(), secteur::kDepartementLength));
        }
    };
    if (state_.W_CreationSecteur && !field.Text().isEmpty()) {
        if (!Txt_Dep_Check()) return;
        complete();
    }
    if (!state_.W_CreationSecteur && !ui_.Txt_CodeSecteur->Text().isEmpty()) {
        if (!field.Text().isEmpty() && !Txt_Dep_Check()) return;
        kelmor::DbRecord& record = Current(state_.records.secteur, secteur::kFile);
        // Compared before the completion: "5" over a stored "05" stores "05" again.
        if (record.Get(secteur::kDepartement) != S(field.Text())) {
            complete();
            const std::string value = S(field.Text());
            if (!StoreRecord(record, "Txt_Dep_LostFocus",
                             [&](kelmor::DbRecord& r) { r.Set(secteur::kDepartement, value); })) {
                ShowStoredSector();
            }
        }
    }
}

}  // namespace zonitra::levels
