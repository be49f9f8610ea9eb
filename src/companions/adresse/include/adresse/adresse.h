#pragma once
// Adresse: the entry of a French postal address held in a record (layout and
// printing rules in postal_address.h), for any screen of the suite that keeps
// an address; the sector's address dialog hosts it from attribute 5.
//
// Fields, by object name, in tab order, in the frame Cdr_Adresse ("Adresse
// postale"):
//   Txt_Ligne1      number and street          capitals without accents or
//   Txt_Ligne2      complement                 punctuation once left (not the
//   Txt_Ligne3      locality or post box       complement); 38 characters each
//   Txt_CodePostal  postal code                five characters
//   Cbo_Commune     commune                    capitals as Txt_Ligne1; its list
//                                              offers the communes of the code
//   Chk_Cedex       CEDEX distribution
//   Txt_Telephone   telephone                  "04 78 42 15 30" once left when
//   Txt_Fax         fax                        it holds ten digits
// and under the frame Etq_Controle, where the checks say what is wrong. The
// control's design size is 5775 x 2295 twips.
//
// Communes offered: the database file COMMUNE, when it exists, keyed by postal
// code, attribute 1 holding the communes that code serves (one value each, as
// they are to be printed). Typing a complete code fills the list of Cbo_Commune
// with them and, when the code serves just one and the commune is empty, puts it
// there. Nothing is offered without the file.
//
// Checks (AddressFlagB): a postal code of five digits belonging to a
// département, telephone and fax numbers of ten digits, printed lines of at most
// 38 characters, a commune that the code serves (when COMMUNE knows the code and
// the address is not CEDEX). They only inform: they run when a field is left and
// when an address is loaded, keep the focus where the operator put it and never
// stop a button from working.
//
// Booleans are 16-bit, True = -1. Failures of the database library propagate
// as it raises them; nothing is written to a record but by AddressSave.

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "adresse/postal_address.h"
#include "forms/form.h"
#include "kelmor/database.h"

class QCheckBox;

namespace forms {
class ComboBox;
class Label;
class TextBox;
}  // namespace forms

namespace zonitra {

inline constexpr const char* kCommuneFile = "COMMUNE";

class Adresse : public forms::Form {
    Q_OBJECT
public:
    explicit Adresse(QWidget* parent = nullptr);
    ~Adresse() override;

    // --- Members of the address control ---

    // The database the COMMUNE file is read from; held, read by AddressPrepare.
    void SetAddressDatabase(const std::shared_ptr<kelmor::Database>& database);
    // Offer the communes of a typed postal code (default False).
    std::int16_t AddressFlagA() const { return flagA_; }
    void SetAddressFlagA(std::int16_t value);
    // Check the fields as they are left (default False).
    std::int16_t AddressFlagB() const { return flagB_; }
    void SetAddressFlagB(std::int16_t value);
    // Empties the fields and opens COMMUNE afresh. Throws std::logic_error when
    // AddressFlagA is set and no database was given.
    void AddressPrepare();
    // Shows the address of `record` from attribute `first`, each attribute whole
    // (a value mark shows as a space). Returns the printed lines joined by
    // "\r\n". Throws std::invalid_argument when first < 1.
    std::string AddressLoad(std::int16_t first, const kelmor::DynArray& record);
    // Writes the eight fields, exactly as shown, to attributes first to
    // first + 7, and nothing else; CEDEX as "1" or "0". Returns the printed
    // lines joined by "\r\n".
    std::string AddressSave(std::int16_t first, kelmor::DynArray& record);
    // True (-1) when what AddressSave would write differs from the record, by
    // exact comparison of each attribute (so "" differs from "0" for CEDEX).
    std::int16_t AddressModified(std::int16_t first, const kelmor::DynArray& record) const;

    // --- For hosts ---

    // The address as the fields show it now.
    postal::Address Edited() const;
    // What the checks found, the most important first; empty when nothing.
    const std::vector<QString>& Problems() const { return problems_; }
    // Puts the fields into the tab order of the form hosting the control, from
    // `firstIndex`, and returns the next free index: Tab then goes on from the
    // last field to the host's next control. Without it the control keeps its
    // own tab order, going round its fields.
    int JoinTabOrder(forms::Form& host, int firstIndex);

    QSize sizeHint() const override;

protected:
    bool focusNextPrevChild(bool next) override;

private:
    void BuildScreen();
    void Txt_CodePostal_Change();
    void OfferCommunes();
    // Puts a left field in its stored form, then checks.
    void Capitalise(forms::TextBox* field);
    void Txt_Telephone_LostFocus(forms::TextBox* field);
    void Check();
    std::vector<QWidget*> Fields() const;

    std::shared_ptr<kelmor::Database> database_;
    std::optional<kelmor::DbFile> communes_;
    std::vector<std::string> offered_;  // communes of the code typed
    std::vector<QString> problems_;
    std::int16_t flagA_ = 0;
    std::int16_t flagB_ = 0;
    bool hosted_ = false;

    forms::TextBox* Txt_Ligne1 = nullptr;
    forms::TextBox* Txt_Ligne2 = nullptr;
    forms::TextBox* Txt_Ligne3 = nullptr;
    forms::TextBox* Txt_CodePostal = nullptr;
    forms::ComboBox* Cbo_Commune = nullptr;
    QCheckBox* Chk_Cedex = nullptr;
    forms::TextBox* Txt_Telephone = nullptr;
    forms::TextBox* Txt_Fax = nullptr;
    forms::Label* Etq_Controle = nullptr;
};

}  // namespace zonitra
