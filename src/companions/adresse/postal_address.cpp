#include "adresse/postal_address.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace zonitra::postal {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsDigit);
}

// Accented letters and ligatures to plain letters, then capitals. One per
// thread: a transliterator is not safe to share.
std::string PlainCapitals(std::string_view text) {
    thread_local std::unique_ptr<icu::Transliterator> transliterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> created(
            icu::Transliterator::createInstance("Latin-ASCII; Upper", UTRANS_FORWARD, status));
        if (U_FAILURE(status) || !created)
            throw std::runtime_error(std::string("ICU cannot convert to plain capitals: ") +
                                     u_errorName(status));
        return created;
    }();
    icu::UnicodeString unicode =
        icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), int32_t(text.size())));
    transliterator->transliterate(unicode);
    std::string converted;
    unicode.toUTF8String(converted);
    return converted;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string Quoted(std::string_view text) {
    return "« " + std::string(text) + " »";
}

}  // namespace

Address ReadAddress(const kelmor::DynArray& record, int first) {
    if (first < 1)
        throw std::invalid_argument("the address cannot start at attribute " +
                                    std::to_string(first));
    auto at = [&](Field field) { return record.Get(first + field); };
    return Address{at(kLigne1),  at(kLigne2),    at(kLigne3), at(kCodePostal),
                   at(kCommune), at(kTelephone), at(kFax),    at(kCedex) == "1"};
}

std::array<std::string, kFieldCount> StoredTexts(const Address& a) {
    return {a.ligne1,  a.ligne2,    a.ligne3, a.codePostal,
            a.commune, a.telephone, a.fax,    a.cedex ? "1" : "0"};
}

std::string PostalForm(std::string_view text) {
    std::string form;
    bool space = false;
    for (char c : PlainCapitals(text)) {
        if (IsDigit(c) || (c >= 'A' && c <= 'Z')) {
            if (space && !form.empty()) form += ' ';
            form += c;
            space = false;
        } else {
            space = true;
        }
    }
    return form;
}

std::vector<std::string> PrintedLines(const Address& a) {
    std::vector<std::string> lines;
    auto add = [&](std::string line) {
        if (!line.empty()) lines.push_back(std::move(line));
    };
    add(Trimmed(a.ligne2));
    add(PostalForm(a.ligne1));
    add(PostalForm(a.ligne3));
    std::string last = PostalForm(a.codePostal + " " + a.commune);
    if (a.cedex && !last.empty()) last += " CEDEX";
    add(std::move(last));
    return lines;
}

std::size_t CharacterCount(std::string_view text) {
    // Every byte but the continuation bytes of a sequence starts a character.
    return std::size_t(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::optional<std::string> TelephoneForm(std::string_view text) {
    std::string digits;
    for (char c : text) {
        if (IsDigit(c)) {
            digits += c;
        } else if (c != ' ' && c != '.' && c != '-') {
            return std::nullopt;
        }
    }
    if (digits.size() != 10) return std::nullopt;
    std::string form;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        if (!form.empty()) form += ' ';
        form += digits.substr(i, 2);
    }
    return form;
}

std::string Departement(std::string_view code) {
    if (code.size() != 5 || !AllDigits(code)) return {};
    const int two = (code[0] - '0') * 10 + (code[1] - '0');
    if (two >= 1 && two <= 95) return std::string(code.substr(0, 2));
    const std::string three(code.substr(0, 3));
    const int n = std::stoi(three);
    if ((n >= 971 && n <= 976) || n == 980 || n == 984 || (n >= 986 && n <= 988)) return three;
    return {};
}

std::vector<std::string> Problems(const Address& a) {
    std::vector<std::string> problems;
    if (!a.codePostal.empty()) {
        if (a.codePostal.size() != 5 || !AllDigits(a.codePostal))
            problems.push_back("Le code postal " + Quoted(a.codePostal) +
                               " doit comporter cinq chiffres.");
        else if (Departement(a.codePostal).empty())
            problems.push_back("Le code postal " + Quoted(a.codePostal) +
                               " ne correspond à aucun département.");
    }
    for (const auto& [number, what] :
         {std::pair{&a.telephone, "Le téléphone "}, std::pair{&a.fax, "Le fax "}}) {
        if (!number->empty() && !TelephoneForm(*number))
            problems.push_back(what + Quoted(*number) +
                               " doit comporter dix chiffres, espaces permis.");
    }
    for (const std::string& line : PrintedLines(a)) {
        if (CharacterCount(line) > kLineLength)
            problems.push_back("La ligne " + Quoted(line) + " dépasse " +
                               std::to_string(kLineLength) + " caractères.");
    }
    return problems;
}

}  // namespace zonitra::postal
