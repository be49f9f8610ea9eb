// Going down the hierarchy: a single child is chosen at once, several or none
// leave the choice to the operator; sub-sectors and neighbourhoods are found by
// code (short codes completed) or by label, and unknown codes are refused.

#include <gtest/gtest.h>

#include "session.h"

namespace levels_test {
namespace {

struct Step {
    const char* name;
    const char* input;  // operator commands
    Texts fields;       // the level's code and label afterwards
    Texts links;        // kLinkFields afterwards
    const char* focus;  // "" when the step does not fix it
};
void PrintTo(const Step& c, std::ostream* os) {
    *os << c.name;
}

const Texts kNoLinks = {"", "", "", ""};
const Texts kCloitreLinks = {"012", "LILAS", "005", "GARE"};
const Texts kTilleulsLinks = {"005", "ARCHE", "001", "PONT"};

// --- One, several, no children ---

class SingleChildren : public ::testing::TestWithParam<const char*> {};

// A sector with one sub-sector holding one neighbourhood shows all three
// levels and the medical links at once, ready for the neighbourhood code.
TEST_P(SingleChildren, AreShownAllTheWayDown) {
    Session s;
    s.Do(GetParam());
    EXPECT_EQ(s.TextsOf(kSectorFields), (Texts{"002", "CENTRE", "AG-2", "", "CR-2", "69"}));
    EXPECT_EQ(s.TextsOf(kSubSectorFields), (Texts{"01", "CENTRE VILLE"}));
    EXPECT_EQ(s.TextsOf(kNeighbourhoodFields), (Texts{"01", "MAIRIE"}));
    EXPECT_EQ(s.TextsOf(kLinkFields), (Texts{"005", "ARCHE", "001", "PONT"}));
    EXPECT_EQ(s.Items("Cbo_LibSousSecteur"), Texts{"CENTRE VILLE"});
    EXPECT_EQ(s.Items("Cbo_LibQuartier"), Texts{"MAIRIE"});
    EXPECT_EQ(s.Focus(), "Txt_CodeQuartier");
    EXPECT_TRUE(s.Enabled("Txt_CodeQuartier"));
    EXPECT_TRUE(s.Enabled("Txt_CodeAntMedQuartier"));
    EXPECT_TRUE(s.TakeMessages().empty());
    EXPECT_TRUE(s.TakeWrites().empty());
}

INSTANTIATE_TEST_SUITE_P(Ways, SingleChildren,
                         ::testing::Values("type Txt_CodeSecteur 002",
                                           "type Txt_CodeSecteur 2\nkey Txt_CodeSecteur Enter",
                                           "choose Cbo_LibSecteur 0"));

// With one sub-sector holding several neighbourhoods, the sub-sector is shown
// and the focus waits in the neighbourhood code.
TEST(SingleChildren, OneSubSectorWithSeveralNeighbourhoods) {
    Session s;
    s.Do("type Txt_CodeSecteur 4\nkey Txt_CodeSecteur Tab");
    EXPECT_EQ(s.TextsOf(kSubSectorFields), (Texts{"01", "PORT"}));
    EXPECT_EQ(s.Items("Cbo_LibQuartier"), (Texts{"DIGUE", "QUAI"}));
    EXPECT_EQ(s.TextsOf(kNeighbourhoodFields), (Texts{"", ""}));
    EXPECT_EQ(s.TextsOf(kLinkFields), kNoLinks);
    EXPECT_EQ(s.Focus(), "Txt_CodeQuartier");
    EXPECT_TRUE(s.Enabled("Txt_CodeQuartier"));
    EXPECT_TRUE(s.TakeMessages().empty());
    EXPECT_TRUE(s.TakeWrites().empty());
}

// Entering an empty sub-sector code closes the neighbourhood level that
// leaving the sector label opened.
TEST(SubSectorCode, EnteringItEmptyClosesTheNeighbourhoodLevel) {
    Session s;
    ASSERT_TRUE(s.Open("001"));
    s.Do("focus Cbo_LibSecteur\nkey Cbo_LibSecteur Tab");
    ASSERT_TRUE(s.Enabled("Txt_CodeQuartier"));
    s.Do("focus Txt_CodeSousSecteur");
    EXPECT_FALSE(s.Enabled("Txt_CodeQuartier"));
    EXPECT_FALSE(s.Enabled("Txt_CodeAntMedQuartier"));
    EXPECT_TRUE(s.Enabled("Cbo_LibSousSecteur"));
    EXPECT_TRUE(s.TakeWrites().empty());
}

struct Children {
    const char* name;
    const char* sector;
    Texts subSectors;
};
void PrintTo(const Children& c, std::ostream* os) {
    *os << c.name;
}

class SubSectorsOfASector : public ::testing::TestWithParam<Children> {};

TEST_P(SubSectorsOfASector, AreListedAndNoneIsChosen) {
    const Children& c = GetParam();
    Session s;
    s.Do(std::string("type Txt_CodeSecteur ") + c.sector);
    EXPECT_EQ(s.Items("Cbo_LibSousSecteur"), c.subSectors);
    EXPECT_EQ(s.TextsOf(kSubSectorFields), (Texts{"", ""}));
    EXPECT_EQ(s.Focus(), "Txt_CodeSousSecteur");
    EXPECT_FALSE(s.Enabled("Txt_CodeQuartier"));
    EXPECT_TRUE(s.Items("Cbo_LibQuartier").empty());
    EXPECT_TRUE(s.TakeMessages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Sectors, SubSectorsOfASector,
    ::testing::Values(Children{"Several", "001", {"ABBAYE", "MOULIN", "VERGERS"}},
                      Children{"None", "003", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Neighbourhoods, TheOnlyOneOfASubSectorIsShownWithItsLinks) {
    Session s;
    ASSERT_TRUE(s.Open("001"));
    s.Do("type Txt_CodeSousSecteur 01");
    EXPECT_EQ(s.TextsOf(kSubSectorFields), (Texts{"01", "VERGERS"}));
    EXPECT_EQ(s.TextsOf(kNeighbourhoodFields), (Texts{"01", "PLACE"}));
    EXPECT_EQ(s.TextsOf(kLinkFields), (Texts{"012", "LILAS", "004", "PORTE"}));
    EXPECT_EQ(s.Items("Cbo_LibAntMedQuartier"), (Texts{"GARE", "HALLES", "PORTE"}));
    EXPECT_EQ(s.Focus(), "Txt_CodeQuartier");
    EXPECT_TRUE(s.TakeMessages().empty());
    EXPECT_TRUE(s.TakeWrites().empty());
}

class NeighbourhoodsOfASubSector : public ::testing::TestWithParam<Children> {};

TEST_P(NeighbourhoodsOfASubSector, AreListedAndNoneIsChosen) {
    const Children& c = GetParam();
    Session s;
    ASSERT_TRUE(s.Open("001"));
    s.Do(std::string("type Txt_CodeSousSecteur ") + c.sector);
    EXPECT_EQ(s.Items("Cbo_LibQuartier"), c.subSectors);
    EXPECT_EQ(s.TextsOf(kNeighbourhoodFields), (Texts{"", ""}));
    EXPECT_EQ(s.TextsOf(kLinkFields), kNoLinks);
    EXPECT_TRUE(s.Enabled("Txt_CodeQuartier"));
    EXPECT_TRUE(s.Enabled("Cbo_LibQuartier"));
    EXPECT_EQ(s.Focus(), "Txt_CodeSousSecteur");
    EXPECT_TRUE(s.TakeMessages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    SubSectors, NeighbourhoodsOfASubSector,
    ::testing::Values(Children{"Several", "02", {"BEFFROI", "CLOITRE", "TILLEULS"}},
                      Children{"None", "03", {}}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Sub-sector by code and by label ---

class SubSectorLookup : public ::testing::TestWithParam<Step> {};

TEST_P(SubSectorLookup, FindsTheSubSectorOfTheShownSector) {
    const Step& c = GetParam();
    Session s;
    ASSERT_TRUE(s.Open("001"));
    s.Do(c.input);
    EXPECT_EQ(s.TextsOf(kSubSectorFields), c.fields);
    EXPECT_EQ(s.TextsOf(kLinkFields), c.links);
    if (*c.focus) {
        EXPECT_EQ(s.Focus(), c.focus);
    }
    EXPECT_TRUE(s.TakeMessages().empty());
    EXPECT_TRUE(s.TakeWrites().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, SubSectorLookup,
    ::testing::Values(
        Step{"TwoCharacters", "type Txt_CodeSousSecteur 02", {"02", "ABBAYE"}, kNoLinks, ""},
        Step{"OneDigitAndEnter",
             "type Txt_CodeSousSecteur 2\nkey Txt_CodeSousSecteur Enter",
             {"02", "ABBAYE"},
             kNoLinks,
             "Txt_CodeSousSecteur"},
        Step{"OneDigitAndTab",
             "type Txt_CodeSousSecteur 3\nkey Txt_CodeSousSecteur Tab",
             {"03", "MOULIN"},
             kNoLinks,
             ""},
        Step{"FirstEntry", "choose Cbo_LibSousSecteur 0", {"02", "ABBAYE"}, kNoLinks, ""},
        Step{"ThirdEntry",
             "choose Cbo_LibSousSecteur 2",
             {"01", "VERGERS"},
             {"012", "LILAS", "004", "PORTE"},
             "Txt_CodeQuartier"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SubSectorLookup, OneCharacterShowsNothing) {
    Session s;
    ASSERT_TRUE(s.Open("001"));
    s.Do("type Txt_CodeSousSecteur 2");
    EXPECT_EQ(s.TextsOf(kSubSectorFields), (Texts{"2", ""}));
    EXPECT_TRUE(s.Items("Cbo_LibQuartier").empty());
}

// A code is never cut to two characters: a third one empties the level, as
// deleting one does.
class ShownSubSectorCode : public ::testing::TestWithParam<const char*> {};

TEST_P(ShownSubSectorCode, ChangedByOneKeyEmptiesTheLevel) {
    Session s;
    ASSERT_TRUE(s.Open("001", "02", "02"));
    s.Do(GetParam());
    EXPECT_EQ(s.TextsOf(kSubSectorFields), (Texts{"", ""}));
    EXPECT_EQ(s.TextsOf(kNeighbourhoodFields), (Texts{"", ""}));
    EXPECT_EQ(s.TextsOf(kLinkFields), kNoLinks);
    EXPECT_TRUE(s.Items("Cbo_LibQuartier").empty());
    EXPECT_TRUE(s.TakeMessages().empty());
    EXPECT_TRUE(s.TakeWrites().empty());
}

INSTANTIATE_TEST_SUITE_P(Keys, ShownSubSectorCode,
                         ::testing::Values("type Txt_CodeSousSecteur 3",
                                           "key Txt_CodeSousSecteur Backspace"));

// Another sector chosen by label empties what was shown below the old one.
TEST(SectorSwitch, ChoosingAnotherSectorClearsTheLowerLevels) {
    Session s;
    ASSERT_TRUE(s.Open("001", "02", "02"));
    s.Do("choose Cbo_LibSecteur 1");
    EXPECT_EQ(s.TextsOf(kSectorFields), (Texts{"003", "EST", "", "", "", "2A"}));
    EXPECT_EQ(s.TextsOf(kSubSectorFields), (Texts{"", ""}));
    EXPECT_TRUE(s.Items("Cbo_LibSousSecteur").empty());
    EXPECT_EQ(s.TextsOf(kNeighbourhoodFields), (Texts{"", ""}));
    EXPECT_TRUE(s.Items("Cbo_LibQuartier").empty());
    EXPECT_EQ(s.TextsOf(kLinkFields), kNoLinks);
    EXPECT_EQ(s.Focus(), "Txt_CodeSousSecteur");
    EXPECT_FALSE(s.Enabled("Txt_CodeQuartier"));
    EXPECT_TRUE(s.TakeMessages().empty());
    EXPECT_TRUE(s.TakeWrites().empty());
}

// Leaving the links of one neighbourhood for another writes neither of them.
TEST(NeighbourhoodSwitch, ChoosingAnotherNeighbourhoodWritesNothing) {
    Session s;
    ASSERT_TRUE(s.Open("001", "02", "02"));
    s.Do("focus Txt_CodeAntMedQuartier\nchoose Cbo_LibQuartier 2");
    EXPECT_EQ(s.TextsOf(kNeighbourhoodFields), (Texts{"01", "TILLEULS"}));
    EXPECT_EQ(s.TextsOf(kLinkFields), kTilleulsLinks);
    s.Do("choose Cbo_LibQuartier 1\nfocus Txt_CodeAntMedQuartier\nfocus Txt_CodeQuartier");
    EXPECT_EQ(s.TextsOf(kLinkFields), kCloitreLinks);
    EXPECT_TRUE(s.TakeWrites().empty());
    EXPECT_TRUE(s.TakeMessages().empty());
    EXPECT_EQ(s.Stored("QUARTIER", "0010201", 2), "005001");
    EXPECT_EQ(s.Stored("QUARTIER", "0010202", 2), "012005");
}

class UnknownSubSector : public ::testing::TestWithParam<const char*> {};

TEST_P(UnknownSubSector, SaysSoAndClearsTheNeighbourhoodLevel) {
    Session s;
    ASSERT_TRUE(s.Open("001", "01"));
    s.Do("clear Txt_CodeSousSecteur");
    s.Do(GetParam());
    EXPECT_TRUE(OneBox(s.TakeMessages(), kUnknownSubSector, forms::vbExclamation));
    EXPECT_EQ(s.TextsOf(kSubSectorFields), (Texts{"", ""}));
    EXPECT_EQ(s.Focus(), "Txt_CodeSousSecteur");
    EXPECT_EQ(s.TextsOf(kNeighbourhoodFields), (Texts{"", ""}));
    EXPECT_EQ(s.TextsOf(kLinkFields), kNoLinks);
    EXPECT_EQ(s.Text("Cbo_LibSecteur"), "NORD");
    EXPECT_TRUE(s.TakeWrites().empty());
}

INSTANTIATE_TEST_SUITE_P(Codes, UnknownSubSector,
                         ::testing::Values("type Txt_CodeSousSecteur 9\n"
                                           "key Txt_CodeSousSecteur Enter",
                                           "type Txt_CodeSousSecteur ZZ",
                                           "type Txt_CodeSousSecteur 4\n"
                                           "key Txt_CodeSousSecteur Tab"));

// --- Neighbourhood by code and by label ---

class NeighbourhoodLookup : public ::testing::TestWithParam<Step> {};

// The neighbourhood comes with its medical centre and antenna.
TEST_P(NeighbourhoodLookup, FindsTheNeighbourhoodOfTheShownSubSector) {
    const Step& c = GetParam();
    Session s;
    ASSERT_TRUE(s.Open("001", "02"));
    s.Do(c.input);
    EXPECT_EQ(s.TextsOf(kNeighbourhoodFields), c.fields);
    EXPECT_EQ(s.TextsOf(kLinkFields), c.links);
    if (*c.focus) {
        EXPECT_EQ(s.Focus(), c.focus);
    }
    EXPECT_TRUE(s.TakeMessages().empty());
    EXPECT_TRUE(s.TakeWrites().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, NeighbourhoodLookup,
    ::testing::Values(Step{"TwoCharacters",
                           "type Txt_CodeQuartier 02",
                           {"02", "CLOITRE"},
                           kCloitreLinks,
                           "Txt_CodeQuartier"},
                      Step{"OneDigitAndEnter",
                           "type Txt_CodeQuartier 2\nkey Txt_CodeQuartier Enter",
                           {"02", "CLOITRE"},
                           kCloitreLinks,
                           "Txt_CodeQuartier"},
                      Step{"OneDigitAndTab",
                           "type Txt_CodeQuartier 1\nkey Txt_CodeQuartier Tab",
                           {"01", "TILLEULS"},
                           kTilleulsLinks,
                           ""},
                      Step{"SecondEntry",
                           "choose Cbo_LibQuartier 1",
                           {"02", "CLOITRE"},
                           kCloitreLinks,
                           "Txt_CodeQuartier"},
                      Step{"ThirdEntry",
                           "choose Cbo_LibQuartier 2",
                           {"01", "TILLEULS"},
                           kTilleulsLinks,
                           "Txt_CodeQuartier"}),
    [](const auto& info) { return std::string(info.param.name); });

// A three-character code is neither looked up nor cut, and the label stays.
TEST(NeighbourhoodLookup, AThirdCharacterLooksNothingUp) {
    Session s;
    ASSERT_TRUE(s.Open("001", "02", "01"));
    s.Do("type Txt_CodeQuartier 2\nkey Txt_CodeQuartier Enter");
    EXPECT_EQ(s.TextsOf(kNeighbourhoodFields), (Texts{"012", "TILLEULS"}));
    EXPECT_EQ(s.TextsOf(kLinkFields), kTilleulsLinks);
    EXPECT_TRUE(s.TakeMessages().empty());
    EXPECT_TRUE(s.TakeWrites().empty());
}

// Only the code is emptied: the label, the links and the focus stay as they were.
TEST(NeighbourhoodLookup, AnUnknownCodeIsRefused) {
    Session s;
    ASSERT_TRUE(s.Open("001", "02", "01"));
    s.Do("select Txt_CodeQuartier\ntype Txt_CodeQuartier 9");
    EXPECT_EQ(s.TextsOf(kNeighbourhoodFields), (Texts{"9", "TILLEULS"}));
    s.Do("key Txt_CodeQuartier Enter");
    EXPECT_TRUE(OneBox(s.TakeMessages(), kUnknownNeighbourhood, forms::vbExclamation));
    EXPECT_EQ(s.TextsOf(kNeighbourhoodFields), (Texts{"", "TILLEULS"}));
    EXPECT_EQ(s.TextsOf(kLinkFields), kTilleulsLinks);
    EXPECT_EQ(s.Focus(), "Txt_CodeQuartier");
    EXPECT_TRUE(s.TakeWrites().empty());
}

// The display stops at the missing centre: its message, the link fields
// emptied, the focus back on the neighbourhood code.
TEST(NeighbourhoodLookup, ALinkToAMissingCentreShowsTheLabelAndTheCentreMessage) {
    Session s;
    ASSERT_TRUE(s.Open("001", "02"));
    s.Do("choose Cbo_LibQuartier 0");
    EXPECT_TRUE(OneBox(s.TakeMessages(), kUnknownCentre, forms::vbExclamation));
    EXPECT_EQ(s.TextsOf(kNeighbourhoodFields), (Texts{"03", "BEFFROI"}));
    EXPECT_EQ(s.TextsOf(kLinkFields), kNoLinks);
    EXPECT_EQ(s.Focus(), "Txt_CodeQuartier");
    EXPECT_TRUE(s.TakeWrites().empty());
    EXPECT_EQ(s.Stored("QUARTIER", "0010203", 2), "099001");
}

// The centre is shown and its antennas listed; the missing antenna's message
// empties the antenna fields and the display stops there.
TEST(NeighbourhoodLookup, ALinkToAMissingAntennaKeepsTheCentre) {
    Session s;
    ASSERT_TRUE(s.Open("004"));
    s.Do("choose Cbo_LibQuartier 0");
    EXPECT_TRUE(OneBox(s.TakeMessages(), kUnknownAntenna, forms::vbExclamation));
    EXPECT_EQ(s.TextsOf(kNeighbourhoodFields), (Texts{"02", "DIGUE"}));
    EXPECT_EQ(s.TextsOf(kLinkFields), (Texts{"012", "LILAS", "", ""}));
    EXPECT_EQ(s.Items("Cbo_LibAntMedQuartier"), (Texts{"GARE", "HALLES", "PORTE"}));
    EXPECT_EQ(s.Focus(), "Txt_CodeQuartier");
    EXPECT_TRUE(s.TakeWrites().empty());
}

}  // namespace
}  // namespace levels_test
