#pragma once
// The SECTEUR file: one record per sector, keyed by its three-character code.

#include <string_view>

namespace zonitra::secteur {

inline constexpr std::string_view kFile = "SECTEUR";
inline constexpr int kCodeLength = 3;

// Attributes (2 is never read or written).
inline constexpr int kLibelle = 1;          // label, upper case
inline constexpr int kNoAgrement = 3;       // approval number, at most 25 characters
inline constexpr int kDateAgrement = 4;     // approval date, stored form ("" for none)
inline constexpr int kAdresse = 5;          // first attribute of the postal address block
inline constexpr int kAgrementEntite = 17;  // approvals by legal entity: entity code,
inline constexpr int kAgrementDate = 18;    //   approval date,
inline constexpr int kAgrementNumero = 19;  //   approval number (parallel values)
inline constexpr int kNumCRAM = 20;         // CRAM number, at most 20 characters
inline constexpr int kDepartement = 21;     // "01" to "99", "2A" or "2B"
inline constexpr int kCheminAide = 22;      // documents path of the aidé, ends with "\"
inline constexpr int kCheminAidant = 23;    // documents path of the aidant, ends with "\"

// Every sector, by label.
inline constexpr std::string_view kListQuery = "SSELECT SECTEUR PAR 1";

// A département: "01" to "99", "2A" or "2B".
inline constexpr int kDepartementLength = 2;

}  // namespace zonitra::secteur
