#pragma once
// The record layouts of the files the levels read and write, in one place.
//
// Keys nest: a sector code has three characters; a sub-sector key is the
// sector code and two characters; a neighbourhood key the sub-sector key and
// two more (seven in all); an antenna key is the centre code and three
// characters. The code a level shows is the last part of its key.

#include <string>
#include <string_view>

namespace zonitra::levels {

// Where a level's code sits in its keys, and the file they key.
struct KeyLayout {
    std::string_view file;
    int parentLength;  // characters of the parent's key before the code; 0: the key is the code
    int codeLength;
};

}  // namespace zonitra::levels

namespace zonitra::secteur {

inline constexpr std::string_view kFile = "SECTEUR";
inline constexpr levels::KeyLayout kKey{kFile, 0, 3};

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

// A département: "01" to "99", "2A" or "2B".
inline constexpr int kDepartementLength = 2;

// Every sector, by label.
inline constexpr std::string_view kListQuery = "SSELECT SECTEUR PAR 1";

// Codes the editor generates: "001" to "999".
inline constexpr int kLastCode = 999;

}  // namespace zonitra::secteur

namespace zonitra::soussecteur {

inline constexpr std::string_view kFile = "SOUSSECTEUR";
inline constexpr levels::KeyLayout kKey{kFile, 3, 2};

inline constexpr int kLibelle = 1;  // label, upper case

// Codes the editor generates: "01" to "99"; a new sector's first sub-sector is "01".
inline constexpr int kLastCode = 99;
inline constexpr std::string_view kFirstCode = "01";

// The sub-sectors of a sector (keys beginning with its code), by label.
inline std::string ListQuery(std::string_view codeSecteur) {
    return "SSELECT SOUSSECTEUR = '" + std::string(codeSecteur) + "]' PAR 1";
}

}  // namespace zonitra::soussecteur

namespace zonitra::quartier {

inline constexpr std::string_view kFile = "QUARTIER";
inline constexpr levels::KeyLayout kKey{kFile, 5, 2};

inline constexpr int kLibelle = 1;  // label, upper case
// The medical link: the six-character ANTENNEMEDICALE key, whose first three
// characters are the CENTREMEDICAL key.
inline constexpr int kLien = 2;

// Codes the editor generates: "01" to "99"; a new sub-sector's first neighbourhood is "01".
inline constexpr int kLastCode = 99;
inline constexpr std::string_view kFirstCode = "01";

// The neighbourhoods of a sub-sector (keys beginning with its five-character
// key), by label.
inline std::string ListQuery(std::string_view cleSousSecteur) {
    return "SSELECT QUARTIER = '" + std::string(cleSousSecteur) + "]' PAR 1";
}

}  // namespace zonitra::quartier

// The editor only reads the two medical files; the medical-centre editor
// maintains them.
namespace zonitra::centremedical {

inline constexpr std::string_view kFile = "CENTREMEDICAL";
inline constexpr levels::KeyLayout kKey{kFile, 0, 3};
inline constexpr int kLibelle = 1;

// Every centre, by label.
inline constexpr std::string_view kListQuery = "SSELECT CENTREMEDICAL PAR 1";

}  // namespace zonitra::centremedical

namespace zonitra::antennemedicale {

inline constexpr std::string_view kFile = "ANTENNEMEDICALE";
inline constexpr levels::KeyLayout kKey{kFile, 3, 3};
inline constexpr int kLibelle = 1;

// The antennas of a centre (keys beginning with its code), by label.
inline std::string ListQuery(std::string_view codeCentre) {
    return "SSELECT ANTENNEMEDICALE = '" + std::string(codeCentre) + "]' PAR 1";
}

}  // namespace zonitra::antennemedicale
