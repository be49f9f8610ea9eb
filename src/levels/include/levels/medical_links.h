#pragma once
// The medical centres and antennas a neighbourhood links to. The editor only
// reads these files; the medical-centre editor maintains them.

#include <string>
#include <string_view>

namespace zonitra::centremedical {

// CENTREMEDICAL: key = the three-character centre code.
inline constexpr std::string_view kFile = "CENTREMEDICAL";
inline constexpr int kCodeLength = 3;
inline constexpr int kLibelle = 1;

// Every centre, by label.
inline constexpr std::string_view kListQuery = "SSELECT CENTREMEDICAL PAR 1";

}  // namespace zonitra::centremedical

namespace zonitra::antennemedicale {

// ANTENNEMEDICALE: key = centre code + three-character antenna code.
inline constexpr std::string_view kFile = "ANTENNEMEDICALE";
inline constexpr int kKeyLength = 6;
inline constexpr int kCodeLength = 3;
// Characters of the key that make the antenna code shown to the operator.
inline constexpr int kCodeStart = 4;
inline constexpr int kLibelle = 1;

// The antennas of a centre (keys beginning with its code), by label.
inline std::string ListQuery(std::string_view codeCentre) {
    return "SSELECT ANTENNEMEDICALE = '" + std::string(codeCentre) + "]' PAR 1";
}

}  // namespace zonitra::antennemedicale
