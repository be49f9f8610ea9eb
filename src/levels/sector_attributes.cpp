// The four attribute fields of a sector: approval number, approval date, CRAM
// number and département. While a sector is shown, each field is written to
// the current sector record as it is left, when its value changed; while a new
// sector is entered, the fields are only checked.

#include "control/ctr_secteur.h"
#include "forms/msgbox.h"
#include "levels/fields.h"
#include "levels/sector_level.h"
#include "services/date_service.h"

namespace zonitra {
namespace {

const QString kDateErronee =
    QStringLiteral("Erreur de saisie dans la date, veuillez la ressaisir.");
const QString kDepartementErrone =
    QStringLiteral("Le département doit être compris entre 01 et 99 ou égal à 2A ou 2B.");

}  // namespace

void Ctr_Secteur::ConnectSectorAttributes() {
    ui_.Txt_NoAgrementSect->LostFocus = [this] { Txt_NoAgrementSect_LostFocus(); };
    ui_.Txt_DatAgrementSect->KeyPress = [this](std::int16_t& k) {
        Txt_DatAgrementSect_KeyPress(k);
    };
    ui_.Txt_DatAgrementSect->LostFocus = [this] { Txt_DatAgrementSect_LostFocus(); };
    ui_.Txt_NumCRAM->LostFocus = [this] { Txt_NumCRAM_LostFocus(); };
    ui_.Txt_Dep->LostFocus = [this] { Txt_Dep_LostFocus(); };
}

void Ctr_Secteur::Txt_NoAgrementSect_LostFocus() {
    SharedState& s = *state_;
    if (s.W_CreationSecteur || ui_.Txt_CodeSecteur->Text().isEmpty()) return;
    // An emptied field stores "".
    levels::WriteIfChanged(levels::Current(s.records.secteur, "SECTEUR"), secteur::kNoAgrement,
                           ui_.Txt_NoAgrementSect->Text());
}

void Ctr_Secteur::Txt_NumCRAM_LostFocus() {
    SharedState& s = *state_;
    if (s.W_CreationSecteur || ui_.Txt_CodeSecteur->Text().isEmpty()) return;
    levels::WriteIfChanged(levels::Current(s.records.secteur, "SECTEUR"), secteur::kNumCRAM,
                           ui_.Txt_NumCRAM->Text());
}

// Digits and Backspace pass; any other key types the separator "/".
void Ctr_Secteur::Txt_DatAgrementSect_KeyPress(std::int16_t& KeyAscii) {
    const bool digit = KeyAscii >= '0' && KeyAscii <= '9';
    if (!digit && KeyAscii != 8) KeyAscii = '/';
}

void Ctr_Secteur::Txt_DatAgrementSect_LostFocus() {
    SharedState& s = *state_;
    forms::TextBox& field = *ui_.Txt_DatAgrementSect;
    // Emptying the field never removes a stored date.
    if (field.Text().isEmpty()) return;

    const services::DateService& dates = s.Dates();
    std::string text = levels::S(field.Text());
    std::int16_t flag = kFalse;
    dates.DateNormalise(text, flag);
    field.SetText(levels::Q(text));

    std::optional<std::string> stored;
    if (flag) {
        // A text that cannot be shaped into a date is refused without a word.
        forms::SetFocus(&field);
    } else {
        std::string converted = dates.DateToStored(levels::S(field.Text()));
        if (converted.empty()) {
            levels::Message(kDateErronee, forms::vbExclamation | forms::vbOKOnly);
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
    if (s.W_CreationSecteur || ui_.Txt_CodeSecteur->Text().isEmpty()) return;
    levels::WriteIfChanged(levels::Current(s.records.secteur, "SECTEUR"), secteur::kDateAgrement,
                           levels::Q(*stored));
}

bool Ctr_Secteur::Txt_Dep_Check() {
    SharedState& s = *state_;
    forms::TextBox& field = *ui_.Txt_Dep;
    Test();
    bool valid = false;
    if (s.W_DepNonNumerique) {
        field.SetText(field.Text().toUpper());
        valid = field.Text() == u"2A" || field.Text() == u"2B";
    } else {
        // Digits only, at most two of them: "0" and "00" are the numbers refused.
        const int number = field.Text().toInt();
        valid = number >= 1 && number <= 99;
    }
    if (!valid) {
        levels::Message(kDepartementErrone, forms::vbInformation | forms::vbOKOnly);
        field.SetText({});
        forms::SetFocus(&field);
    }
    return valid;
}

void Ctr_Secteur::Txt_Dep_LostFocus() {
    SharedState& s = *state_;
    forms::TextBox& field = *ui_.Txt_Dep;
    const auto complete = [&field] {
        if (!field.Text().isEmpty()) {
            field.SetText(levels::PadWithZeros(field.Text(), secteur::kDepartementLength));
        }
    };
    if (s.W_CreationSecteur && !field.Text().isEmpty()) {
        if (!Txt_Dep_Check()) return;
        complete();
    }
    if (!s.W_CreationSecteur && !ui_.Txt_CodeSecteur->Text().isEmpty()) {
        if (!field.Text().isEmpty() && !Txt_Dep_Check()) return;
        kelmor::DbRecord& record = levels::Current(s.records.secteur, "SECTEUR");
        // Compared before the completion: "5" over a stored "05" stores "05" again.
        if (record.Get(secteur::kDepartement) != levels::S(field.Text())) {
            complete();
            record.Set(secteur::kDepartement, levels::S(field.Text()));
            record.DBWrite();
        }
    }
}

}  // namespace zonitra
