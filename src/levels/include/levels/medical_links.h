#pragma once
// The medical centres and antennas a neighbourhood links to. The editor only
// reads these files; the medical-centre editor maintains them.

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
inline constexpr int kLibelle = 1;

}  // namespace zonitra::antennemedicale
