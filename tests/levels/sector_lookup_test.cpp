// Finding a sector by its code or its label: completion of short codes, codes
// of letters, what is shown, unknown codes, and the buttons a lookup enables.

#include <gtest/gtest.h>

#include "session.h"

namespace levels_test {
namespace {

struct Lookup {
    const char* name;
    const char* input;  // operator commands
    Texts sector;       // kSectorFields afterwards
    const char* focus;
};
void PrintTo(const Lookup& c, std::ostream* os) {
    *os << c.name;
}

class SectorByCode : public ::testing::TestWithParam<Lookup> {};

// A found sector opens the sub-sector level and leaves the neighbourhood level
// closed; a sector without a single sub-sector sends the operator to the
// sub-sector code.
TEST_P(SectorByCode, FindsAndShowsTheSector) {
    const Lookup& c = GetParam();
    Session s;
    s.Do(c.input);
    EXPECT_EQ(s.TextsOf(kSectorFields), c.sector);
    EXPECT_EQ(s.Focus(), c.focus);
    EXPECT_TRUE(s.Enabled("Txt_CodeSousSecteur"));
    EXPECT_TRUE(s.Enabled("Cbo_LibSousSecteur"));
    EXPECT_FALSE(s.Enabled("Txt_CodeQuartier"));
    EXPECT_TRUE(s.TakeMessages().empty());
    EXPECT_TRUE(s.TakeWrites().empty());
}

const Texts kNord = {"001", "NORD", "AG-1", "12/03/2001", "CR-1", "05"};
const Texts kSud = {"007", "SUD", "", "", "", "2B"};
const Texts kLettres = {"0AB", "LETTRES", "", "", "", "01"};

INSTANTIATE_TEST_SUITE_P(
    Codes, SectorByCode,
    ::testing::Values(
        Lookup{"ThreeCharacters", "type Txt_CodeSecteur 001", kNord, "Txt_CodeSousSecteur"},
        Lookup{"OneDigitAndEnter", "type Txt_CodeSecteur 1\nkey Txt_CodeSecteur Enter", kNord,
               "Txt_CodeSousSecteur"},
        Lookup{"OneDigitAndTab", "type Txt_CodeSecteur 1\nkey Txt_CodeSecteur Tab", kNord,
               "Txt_CodeSousSecteur"},
        Lookup{"TwoDigitsAndEnter", "type Txt_CodeSecteur 07\nkey Txt_CodeSecteur Enter", kSud,
               "Txt_CodeSousSecteur"},
        Lookup{"OneDigitAndClickElsewhere", "type Txt_CodeSecteur 7\nfocus Txt_NumCRAM", kSud,
               "Txt_CodeSousSecteur"},
        Lookup{"LettersAndTab", "type Txt_CodeSecteur AB\nkey Txt_CodeSecteur Tab", kLettres,
               "Txt_CodeSousSecteur"},
        Lookup{"LettersAndEnter", "type Txt_CodeSecteur AB\nkey Txt_CodeSecteur Enter", kLettres,
               "Txt_CodeSousSecteur"},
        Lookup{"LettersInFull", "type Txt_CodeSecteur 0AB", kLettres, "Txt_CodeSousSecteur"}),
    [](const auto& info) { return std::string(info.param.name); });

class SectorByLabel : public ::testing::TestWithParam<Lookup> {};

// Entry k of the list is row k + 1 of the sector list, in label order.
TEST_P(SectorByLabel, ChoosingAnEntryShowsItsSector) {
    const Lookup& c = GetParam();
    Session s;
    ASSERT_EQ(s.Items("Cbo_LibSecteur"),
              (Texts{"CENTRE", "EST", "LETTRES", "NORD", "OUEST", "SUD"}));
    s.Do(c.input);
    EXPECT_EQ(s.TextsOf(kSectorFields), c.sector);
    EXPECT_EQ(s.Focus(), c.focus);
    EXPECT_TRUE(s.TakeMessages().empty());
    EXPECT_TRUE(s.TakeWrites().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Entries, SectorByLabel,
    ::testing::Values(Lookup{"First",
                             "choose Cbo_LibSecteur 0",
                             {"002", "CENTRE", "AG-2", "", "CR-2", "69"},
                             "Txt_CodeQuartier"},
                      Lookup{"Third", "choose Cbo_LibSecteur 2", kLettres, "Txt_CodeSousSecteur"},
                      Lookup{"Fourth", "choose Cbo_LibSecteur 3", kNord, "Txt_CodeSousSecteur"},
                      Lookup{"Last", "choose Cbo_LibSecteur 5", kSud, "Txt_CodeSousSecteur"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SectorLookup, ShowsEachAttributeAndNoDateWhenNoneIsStored) {
    Session s;
    ASSERT_TRUE(s.Open("002"));
    EXPECT_EQ(s.TextsOf(kSectorFields), (Texts{"002", "CENTRE", "AG-2", "", "CR-2", "69"}));
    s.Do("clear Txt_CodeSecteur\ntype Txt_CodeSecteur 003");
    EXPECT_EQ(s.TextsOf(kSectorFields), (Texts{"003", "EST", "", "", "", "2A"}));
    EXPECT_TRUE(s.TakeWrites().empty());
}

// Until the code has three characters nothing is looked up and the level stays empty.
TEST(SectorLookup, AShortCodeShowsNothing) {
    Session s;
    s.Do("type Txt_CodeSecteur 00");
    EXPECT_EQ(s.TextsOf(kSectorFields), (Texts{"00", "", "", "", "", ""}));
    EXPECT_EQ(s.Focus(), "Txt_CodeSecteur");
    EXPECT_FALSE(s.Enabled("Txt_CodeSousSecteur"));
    EXPECT_TRUE(s.TakeMessages().empty());
}

// The first key typed over a shown code empties it through the label; the
// keys after it remain, and Enter then finds the sector they name.
TEST(SectorLookup, TypingOverAShownCodeLosesTheFirstKey) {
    Session s;
    ASSERT_TRUE(s.Open("001"));
    s.Do("select Txt_CodeSecteur\ntype Txt_CodeSecteur 002");
    EXPECT_EQ(s.TextsOf(kSectorFields), (Texts{"02", "", "", "", "", ""}));
    EXPECT_TRUE(s.Items("Cbo_LibSousSecteur").empty());
    s.Do("key Txt_CodeSecteur Enter");
    EXPECT_EQ(s.TextsOf(kSectorFields), (Texts{"002", "CENTRE", "AG-2", "", "CR-2", "69"}));
    EXPECT_TRUE(s.TakeWrites().empty());
}

TEST(SectorLookup, DeletingOneCharacterEmptiesTheWholeHierarchy) {
    Session s;
    ASSERT_TRUE(s.Open("001", "01"));
    s.Do("key Txt_CodeSecteur Backspace");
    EXPECT_EQ(s.TextsOf(kSectorFields), (Texts{"", "", "", "", "", ""}));
    EXPECT_EQ(s.TextsOf(kSubSectorFields), (Texts{"", ""}));
    EXPECT_EQ(s.TextsOf(kNeighbourhoodFields), (Texts{"", ""}));
    EXPECT_EQ(s.TextsOf(kLinkFields), (Texts{"", "", "", ""}));
    EXPECT_TRUE(s.Items("Cbo_LibSousSecteur").empty());
    EXPECT_TRUE(s.TakeWrites().empty());
}

class UnknownSector : public ::testing::TestWithParam<Lookup> {};

// After the message the code field is empty and has the focus, and nothing of
// the sector shown before is left on screen.
TEST_P(UnknownSector, SaysSoAndEmptiesTheLevels) {
    const Lookup& c = GetParam();
    Session s;
    ASSERT_TRUE(s.Open("001", "01"));
    ASSERT_TRUE(s.Enabled("Cmd_GestionDocumentaire"));
    s.Do("clear Txt_CodeSecteur");
    s.TakeMessages();
    s.Do(c.input);
    EXPECT_TRUE(OneBox(s.TakeMessages(), kUnknownSector, forms::vbExclamation));
    EXPECT_EQ(s.TextsOf(kSectorFields), c.sector);
    EXPECT_EQ(s.Focus(), "Txt_CodeSecteur");
    EXPECT_EQ(s.TextsOf(kSubSectorFields), (Texts{"", ""}));
    EXPECT_TRUE(s.Items("Cbo_LibSousSecteur").empty());
    EXPECT_EQ(s.TextsOf(kNeighbourhoodFields), (Texts{"", ""}));
    EXPECT_FALSE(s.Enabled("Cmd_GestionDocumentaire"));
    EXPECT_TRUE(s.TakeWrites().empty());
}

const Texts kEmptySector = {"", "", "", "", "", ""};

INSTANTIATE_TEST_SUITE_P(
    Codes, UnknownSector,
    ::testing::Values(Lookup{"Digits", "type Txt_CodeSecteur 999", kEmptySector, ""},
                      Lookup{"PaddedByEnter", "type Txt_CodeSecteur 9\nkey Txt_CodeSecteur Enter",
                             kEmptySector, ""},
                      Lookup{"PaddedByTab", "type Txt_CodeSecteur 42\nkey Txt_CodeSecteur Tab",
                             kEmptySector, ""},
                      Lookup{"LowerCaseLetters", "type Txt_CodeSecteur 0ab", kEmptySector, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// The approvals button is usable only when more than one legal entity exists;
// document management follows the shown code.
class ApprovalButton : public ::testing::TestWithParam<int> {};

TEST_P(ApprovalButton, FollowsTheNumberOfLegalEntities) {
    const int entities = GetParam();
    Session s(Options{entities, kUser});
    EXPECT_FALSE(s.Enabled("Cmd_Agrement"));
    ASSERT_TRUE(s.Open("003"));
    EXPECT_EQ(s.Enabled("Cmd_Agrement"), entities > 1);
    EXPECT_TRUE(s.Enabled("Cmd_GestionDocumentaire"));
}

INSTANTIATE_TEST_SUITE_P(Entities, ApprovalButton, ::testing::Values(1, 2));

}  // namespace
}  // namespace levels_test
