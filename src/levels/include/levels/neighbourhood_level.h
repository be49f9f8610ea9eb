#pragma once
// The QUARTIER file: one record per neighbourhood, keyed by the sector code,
// the sub-sector code and the two-character neighbourhood code (seven
// characters in all).

#include <string>
#include <string_view>

namespace zonitra::quartier {

inline constexpr std::string_view kFile = "QUARTIER";
inline constexpr int kCodeLength = 2;
// Characters of the key that make the code shown to the operator.
inline constexpr int kCodeStart = 6;

inline constexpr int kLibelle = 1;  // label, upper case
// The medical link: the six-character ANTENNEMEDICALE key, whose first three
// characters are the CENTREMEDICAL key.
inline constexpr int kLien = 2;

// The neighbourhoods of a sub-sector (keys beginning with its five-character
// key), by label.
inline std::string ListQuery(std::string_view cleSousSecteur) {
    return "SSELECT QUARTIER = '" + std::string(cleSousSecteur) + "]' PAR 1";
}

}  // namespace zonitra::quartier
