#pragma once
// The SOUSSECTEUR file: one record per sub-sector, keyed by the sector code
// followed by the two-character sub-sector code (five characters in all).

#include <string>
#include <string_view>

namespace zonitra::soussecteur {

inline constexpr std::string_view kFile = "SOUSSECTEUR";
inline constexpr int kCodeLength = 2;
// Characters of the key that make the code shown to the operator.
inline constexpr int kCodeStart = 4;

inline constexpr int kLibelle = 1;  // label, upper case

// The sub-sectors of a sector (keys beginning with its code), by label.
inline std::string ListQuery(std::string_view codeSecteur) {
    return "SSELECT SOUSSECTEUR = '" + std::string(codeSecteur) + "]' PAR 1";
}

}  // namespace zonitra::soussecteur
