#pragma once
// French postal addresses as La Poste's sorting machines read them (NF Z10-011),
// without Qt, so that whatever prints a letter can use them.
//
// Stored layout: eight single-valued attributes of a record, from a first one
// (5 for a sector):
//
//   first      number and street                 "12 RUE DE LA REPUBLIQUE"
//   first + 1  complement (building, staircase)  "Bâtiment A, 2e étage"
//   first + 2  locality or post box              "BP 118"
//   first + 3  postal code, five digits          "69002"
//   first + 4  commune                           "LYON"
//   first + 5  telephone                         "04 78 42 15 30"
//   first + 6  fax
//   first + 7  CEDEX distribution                "1" yes; "0" or "" no
//
// The norm's rules kept here: at most 38 characters a printed line, spaces
// included; the street line and every line below it in capitals, without
// accents or punctuation; the postal code and the commune (then "CEDEX") on the
// last line. The complement is printed above the street line, as typed.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kelmor/dynarray.h"

namespace zonitra::postal {

inline constexpr int kFieldCount = 8;
inline constexpr std::size_t kLineLength = 38;
// Postal code, a space and the commune fit a line; " CEDEX" may not.
inline constexpr std::size_t kCommuneLength = kLineLength - 6;

// Offsets from the first attribute.
enum Field : int {
    kLigne1 = 0,
    kLigne2,
    kLigne3,
    kCodePostal,
    kCommune,
    kTelephone,
    kFax,
    kCedex,
};

struct Address {
    std::string ligne1;  // number and street
    std::string ligne2;  // complement
    std::string ligne3;  // locality or post box
    std::string codePostal;
    std::string commune;
    std::string telephone;
    std::string fax;
    bool cedex = false;
    friend bool operator==(const Address&, const Address&) = default;
};

// The eight attributes from `first` on, each whole. Throws std::invalid_argument
// when first < 1.
Address ReadAddress(const kelmor::DynArray& record, int first);
// The eight texts as they are stored, CEDEX as "1" or "0".
std::array<std::string, kFieldCount> StoredTexts(const Address& address);

// Capitals, accented letters and ligatures in plain letters, anything but
// letters and digits turned into a space, spaces collapsed and trimmed:
// "Cours Émile-Zola," gives "COURS EMILE ZOLA".
std::string PostalForm(std::string_view text);

// The address block of a letter, under the recipient's name: complement,
// street, locality, then "CODE COMMUNE" (and " CEDEX"); empty lines are left
// out. The street, locality and last lines are put in PostalForm. No line is
// cut: Problems names the ones that are too long.
std::vector<std::string> PrintedLines(const Address& address);

// Characters (not bytes) of UTF-8 text.
std::size_t CharacterCount(std::string_view text);

// "04 78 42 15 30" for ten digits written whole or separated by spaces, dots
// or hyphens; nothing for anything else.
std::optional<std::string> TelephoneForm(std::string_view text);

// The département a postal code belongs to: "01" to "95" (Corsica "20"), "971"
// to "976" overseas, "980" Monaco, "984", "986" to "988" the Pacific; "" when
// the code is not five digits or no département has it.
std::string Departement(std::string_view code);

// What is wrong with the address, in French for the operator, in the order of
// the fields; empty when nothing is. An empty field is never wrong.
std::vector<std::string> Problems(const Address& address);

}  // namespace zonitra::postal
