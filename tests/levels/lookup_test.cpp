// Going down the hierarchy by code (completed on Enter or Tab, letters
// accepted) or by label: what each level shows, which children are chosen at
// once, unknown codes and their messages, and where the focus waits. Unknown
// codes are left with Tab, so that the focus is seen to come back to them.

#include <gtest/gtest.h>

#include "kelmor/database.h"
#include "session.h"

namespace levels_test {
namespace {

struct Lookup {
    const char* name;
    const char* open;    // codes shown first
    const char* input;   // operator commands
    const char* screen;  // Session::Screen() afterwards
    const char* list;
    const char* items;  // of `list` afterwards, comma-separated
    const char* focus;
    std::string message;  // "" for none
};

class Lookups : public ::testing::TestWithParam<Lookup> {};

TEST_P(Lookups, ShowTheLevelAndWriteNothing) {
    const Lookup& c = GetParam();
    Session s;
    ASSERT_TRUE(s.Open(c.open));
    s.Do(c.input);
    EXPECT_EQ(s.Screen(), c.screen);
    std::string items;
    for (const std::string& item : s.Items(c.list)) items += (items.empty() ? "" : ",") + item;
    EXPECT_EQ(items, c.items);
    EXPECT_EQ(s.Focus(), c.focus);
    EXPECT_EQ(s.TakeMessages(), c.message.empty() ? Texts{} : Texts{c.message});
    EXPECT_EQ(s.TakeWrites(), Texts{});
}

const char *const kSub = "Txt_CodeSousSecteur", *const kNb = "Txt_CodeQuartier";
const char *const kSubList = "Cbo_LibSousSecteur", *const kNbList = "Cbo_LibQuartier";
const char* const kAntList = "Cbo_LibAntMedQuartier";
const char* const kTilleuls = "001,NORD,02,ABBAYE,01,TILLEULS,005,ARCHE,001,PONT";
const char* const kNbs = "BEFFROI,CLOITRE,TILLEULS";
const std::string kNone;
std::string Warning(const QString& text) {
    return Box(text, forms::vbExclamation);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, Lookups,
    ::testing::Values(
        // Sectors, with several, no, or single children.
        Lookup{"SectorFullCode", "", "type Txt_CodeSecteur 001", "001,NORD,,,,,,,,", kSubList,
               "ABBAYE,MOULIN,VERGERS", kSub, kNone},
        Lookup{"SectorPaddedByEnter", "", "type Txt_CodeSecteur 7\nkey Txt_CodeSecteur Enter",
               "007,SUD,,,,,,,,", kSubList, "", kSub, kNone},
        Lookup{"SectorLetters", "", "type Txt_CodeSecteur AB\nkey Txt_CodeSecteur Tab",
               "0AB,LETTRES,,,,,,,,", kSubList, "", kSub, kNone},
        Lookup{"SectorByLabel", "", "choose Cbo_LibSecteur 3", "001,NORD,,,,,,,,", "Cbo_LibSecteur",
               "CENTRE,EST,LETTRES,NORD,OUEST,SUD", kSub, kNone},
        Lookup{"SectorSingleChildren", "", "type Txt_CodeSecteur 002",
               "002,CENTRE,01,CENTRE VILLE,01,MAIRIE,005,ARCHE,001,PONT", kNbList, "MAIRIE", kNb,
               kNone},
        Lookup{"SectorSingleSubSector", "", "type Txt_CodeSecteur 4\nkey Txt_CodeSecteur Tab",
               "004,OUEST,01,PORT,,,,,,", kNbList, "DIGUE,QUAI", kNb, kNone},
        Lookup{"SectorShortCode", "", "type Txt_CodeSecteur 00", "00,,,,,,,,,", kSubList, "",
               "Txt_CodeSecteur", kNone},
        Lookup{"SectorUnknown", "001 02",
               "clear Txt_CodeSecteur\ntype Txt_CodeSecteur ab\nkey Txt_CodeSecteur Tab",
               ",,,,,,,,,", kSubList, "", "Txt_CodeSecteur", Warning(kUnknownSector)},
        Lookup{"SectorCodeShortened", "001 01", "key Txt_CodeSecteur Backspace", ",,,,,,,,,",
               kSubList, "", "Txt_CodeSecteur", kNone},
        Lookup{"AnotherSectorEmptiesTheLevelsBelow", "001 02 01", "choose Cbo_LibSecteur 1",
               "003,EST,,,,,,,,", kNbList, "", kSub, kNone},
        // Sub-sectors.
        Lookup{"SubSectorWithoutChild", "001", "choose Cbo_LibSousSecteur 1",
               "001,NORD,03,MOULIN,,,,,,", kNbList, "", kSubList, kNone},
        Lookup{"SubSectorSingleChild", "001", "choose Cbo_LibSousSecteur 2",
               "001,NORD,01,VERGERS,01,PLACE,012,LILAS,004,PORTE", kAntList, "GARE,HALLES,PORTE",
               kNb, kNone},
        Lookup{"SubSectorUnknown", "001", "type Txt_CodeSousSecteur 4\nkey Txt_CodeSousSecteur Tab",
               "001,NORD,,,,,,,,", kNbList, "", kSub, Warning(kUnknownSubSector)},
        // Neighbourhoods, shown with their links.
        Lookup{"NeighbourhoodFullCode", "001 02", "type Txt_CodeQuartier 02",
               "001,NORD,02,ABBAYE,02,CLOITRE,012,LILAS,005,GARE", kAntList, "GARE,HALLES,PORTE",
               kNb, kNone},
        Lookup{"NeighbourhoodPaddedByTab", "001 02",
               "type Txt_CodeQuartier 1\nkey Txt_CodeQuartier Tab", kTilleuls, kAntList, "PONT",
               kNb, kNone},
        Lookup{"NeighbourhoodByLabel", "001 02", "choose Cbo_LibQuartier 2", kTilleuls, kNbList,
               kNbs, kNb, kNone},
        Lookup{"NeighbourhoodUnknown", "001 02 01",
               "select Txt_CodeQuartier\ntype Txt_CodeQuartier 9\nkey Txt_CodeQuartier Enter",
               "001,NORD,02,ABBAYE,,TILLEULS,005,ARCHE,001,PONT", kNbList, kNbs, kNb,
               Warning(kUnknownNeighbourhood)},
        Lookup{"NeighbourhoodWithMissingCentre", "001 02", "choose Cbo_LibQuartier 0",
               "001,NORD,02,ABBAYE,03,BEFFROI,,,,", kNbList, kNbs, kNb, Warning(kUnknownCentre)},
        Lookup{"NeighbourhoodWithMissingAntenna", "004", "choose Cbo_LibQuartier 0",
               "004,OUEST,01,PORT,02,DIGUE,012,LILAS,,", kAntList, "GARE,HALLES,PORTE", kNb,
               Warning(kUnknownAntenna)},
        // Link fields. A centre chosen lists its antennas and the focus goes to
        // the antenna code; a single antenna is shown at once.
        Lookup{"CentreWithSeveralAntennas", "001 02 01", "choose Cbo_LibCentreMedQuartier 2",
               "001,NORD,02,ABBAYE,01,TILLEULS,012,LILAS,,", kAntList, "GARE,HALLES,PORTE",
               "Txt_CodeAntMedQuartier", kNone},
        Lookup{"CentreWithOneAntenna", "001 02 02",
               "clear Txt_CodeCentreMedQuartier\ntype Txt_CodeCentreMedQuartier 5\n"
               "key Txt_CodeCentreMedQuartier Tab",
               "001,NORD,02,ABBAYE,02,CLOITRE,005,ARCHE,001,PONT", kAntList, "PONT",
               "Txt_CodeAntMedQuartier", kNone},
        // An antenna code is read under the shown centre.
        Lookup{"CentreUnknown", "001 02 01",
               "clear Txt_CodeCentreMedQuartier\ntype Txt_CodeCentreMedQuartier 77\n"
               "key Txt_CodeCentreMedQuartier Tab",
               "001,NORD,02,ABBAYE,01,TILLEULS,,,,", "Cbo_LibCentreMedQuartier",
               "ARCHE,DUNES,LILAS", "Txt_CodeCentreMedQuartier", Warning(kUnknownCentre)},
        Lookup{"AntennaUnknownUnderTheShownCentre", "001 02 01",
               "clear Txt_CodeAntMedQuartier\ntype Txt_CodeAntMedQuartier 4\nkey "
               "Txt_CodeAntMedQuartier Tab",
               "001,NORD,02,ABBAYE,01,TILLEULS,005,ARCHE,,", kAntList, "PONT",
               "Txt_CodeAntMedQuartier", Warning(kUnknownAntenna)},
        Lookup{"AntennaLabelEmptied", "001 02 01",
               "clear Cbo_LibAntMedQuartier\nkey Cbo_LibAntMedQuartier Tab",
               "001,NORD,02,ABBAYE,01,TILLEULS,005,ARCHE,,", kAntList, "PONT",
               "Txt_CodeAntMedQuartier", Warning(kAntennaLabelNeeded)}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace levels_test
