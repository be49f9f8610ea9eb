// Renaming a shown sector, sub-sector or neighbourhood from its label field:
// written once as the field is left, in upper case, and only when it differs.

#include <gtest/gtest.h>

#include "session.h"

namespace levels_test {
namespace {

struct Level {
    const char* name;
    std::string sector, subSector, neighbourhood;  // what to show first
    const char* label;                             // the label field
    std::string stored;                            // its label as stored
    std::string file, key;
    const char* next;  // where Tab takes the focus from the label field
};
void PrintTo(const Level& c, std::ostream* os) {
    *os << c.name;
}

class Rename : public ::testing::TestWithParam<Level> {
protected:
    void SetUp() override {
        ASSERT_TRUE(s.Open(GetParam().sector, GetParam().subSector, GetParam().neighbourhood));
    }
    // Types `text` over the label and leaves the field with Tab.
    void RenameTo(const std::string& text) {
        const std::string label = GetParam().label;
        s.Do("select " + label + "\ntype " + label + " " + text + "\nkey " + label + " Tab");
    }
    std::string Stored() { return s.Stored(GetParam().file, GetParam().key, 1); }
    Session s;
};

TEST_P(Rename, WritesTheUpperCaseLabelOnceOnLeaving) {
    const Level& c = GetParam();
    RenameTo("rue d'été");
    EXPECT_EQ(s.TakeWrites(), Texts{c.file + " " + c.key});
    EXPECT_EQ(Stored(), "RUE D'ÉTÉ");
    EXPECT_EQ(s.Text(c.label), "RUE D'ÉTÉ");
    EXPECT_EQ(s.Focus(), c.next);
    EXPECT_TRUE(s.TakeMessages().empty());
    // Coming back and leaving again with the new label stored writes nothing more.
    s.Do(std::string("focus ") + c.label + "\nkey " + c.label + " Tab");
    EXPECT_TRUE(s.TakeWrites().empty());
}

TEST_P(Rename, LeavingWithTheStoredLabelWritesNothing) {
    const Level& c = GetParam();
    s.Do(std::string("focus ") + c.label + "\nkey " + c.label + " Tab");
    EXPECT_TRUE(s.TakeWrites().empty());
    EXPECT_EQ(s.Text(c.label), c.stored);
    EXPECT_EQ(s.Focus(), c.next);
}

// The text is upper-cased before it is compared with the stored label.
TEST_P(Rename, TypingTheStoredLabelInLowerCaseWritesNothing) {
    const Level& c = GetParam();
    QString lower = QString::fromStdString(c.stored).toLower();
    RenameTo(lower.toStdString());
    EXPECT_TRUE(s.TakeWrites().empty());
    EXPECT_EQ(s.Text(c.label), c.stored);
    EXPECT_EQ(Stored(), c.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, Rename,
    ::testing::Values(Level{"Sector", "001", "", "", "Cbo_LibSecteur", "NORD", "SECTEUR", "001",
                            "Txt_NoAgrementSect"},
                      Level{"SubSector", "001", "02", "", "Cbo_LibSousSecteur", "ABBAYE",
                            "SOUSSECTEUR", "00102", "Txt_CodeQuartier"},
                      Level{"Neighbourhood", "001", "02", "02", "Cbo_LibQuartier", "CLOITRE",
                            "QUARTIER", "0010202", "Txt_CodeCentreMedQuartier"}),
    [](const auto& info) { return std::string(info.param.name); });

// The sector list is read again, so the new label takes its place in label
// order, while the sector stays shown under its code.
TEST(SectorRename, RefillsTheListInLabelOrder) {
    Session s;
    ASSERT_TRUE(s.Open("001"));
    s.Do("select Cbo_LibSecteur\ntype Cbo_LibSecteur abbaye\nkey Cbo_LibSecteur Tab");
    EXPECT_EQ(s.Items("Cbo_LibSecteur"),
              (Texts{"ABBAYE", "CENTRE", "EST", "LETTRES", "OUEST", "SUD"}));
    EXPECT_EQ(s.TextsOf(kSectorFields),
              (Texts{"001", "ABBAYE", "AG-1", "12/03/2001", "CR-1", "05"}));
    EXPECT_EQ(s.Items("Cbo_LibSousSecteur"), (Texts{"ABBAYE", "MOULIN", "VERGERS"}));
    EXPECT_EQ(s.TakeWrites(), Texts{"SECTEUR 001"});
    // Leaving the label opens the lower levels.
    EXPECT_TRUE(s.Enabled("Txt_CodeSousSecteur"));
    EXPECT_TRUE(s.Enabled("Txt_CodeQuartier"));
    // The renamed entry finds the same sector again.
    s.Do("choose Cbo_LibSecteur 5\nchoose Cbo_LibSecteur 0");
    EXPECT_EQ(s.TextsOf({"Txt_CodeSecteur", "Cbo_LibSecteur"}), (Texts{"001", "ABBAYE"}));
    EXPECT_TRUE(s.TakeWrites().empty());
}

// Sub-sector and neighbourhood lists keep the old label until filled again.
TEST(LowerLevelRename, TheListKeepsTheOldLabel) {
    Session s;
    ASSERT_TRUE(s.Open("001", "02", "02"));
    s.Do("select Cbo_LibQuartier\ntype Cbo_LibQuartier cour\nkey Cbo_LibQuartier Tab");
    s.Do("select Cbo_LibSousSecteur\ntype Cbo_LibSousSecteur zénith\nkey Cbo_LibSousSecteur Tab");
    EXPECT_EQ(s.TakeWrites(), (Texts{"QUARTIER 0010202", "SOUSSECTEUR 00102"}));
    EXPECT_EQ(s.Items("Cbo_LibQuartier"), (Texts{"BEFFROI", "CLOITRE", "TILLEULS"}));
    EXPECT_EQ(s.Items("Cbo_LibSousSecteur"), (Texts{"ABBAYE", "MOULIN", "VERGERS"}));
    EXPECT_EQ(s.Stored("SOUSSECTEUR", "00102", 1), "ZÉNITH");
    EXPECT_EQ(s.Stored("QUARTIER", "0010202", 1), "COUR");
    EXPECT_EQ(s.Stored("QUARTIER", "0010202", 2), "012005");
}

// Typing a label does not search: it renames the shown sector.
TEST(SectorRename, TypingAnotherSectorsLabelRenamesTheShownOne) {
    Session s;
    ASSERT_TRUE(s.Open("003"));
    s.Do("select Cbo_LibSecteur\ntype Cbo_LibSecteur sud\nkey Cbo_LibSecteur Tab");
    EXPECT_EQ(s.Text("Txt_CodeSecteur"), "003");
    EXPECT_EQ(s.TakeWrites(), Texts{"SECTEUR 003"});
    EXPECT_EQ(s.Stored("SECTEUR", "003", 1), "SUD");
    EXPECT_EQ(s.Stored("SECTEUR", "007", 1), "SUD");
}

// Emptying a label empties its code; leaving the field then writes nothing.
struct Emptied {
    const char* name;
    std::string sector, subSector, neighbourhood;
    const char* label;
    const char* code;
};
void PrintTo(const Emptied& c, std::ostream* os) {
    *os << c.name;
}

class EmptiedLabel : public ::testing::TestWithParam<Emptied> {};

TEST_P(EmptiedLabel, EmptiesTheCodeAndWritesNothing) {
    const Emptied& c = GetParam();
    Session s;
    ASSERT_TRUE(s.Open(c.sector, c.subSector, c.neighbourhood));
    s.Do(std::string("clear ") + c.label);
    EXPECT_EQ(s.Text(c.code), "");
    s.Do(std::string("key ") + c.label + " Tab");
    EXPECT_TRUE(s.TakeWrites().empty());
    EXPECT_TRUE(s.TakeMessages().empty());
    EXPECT_EQ(s.Stored("SECTEUR", "001", 1), "NORD");
    EXPECT_EQ(s.Stored("SOUSSECTEUR", "00102", 1), "ABBAYE");
    EXPECT_EQ(s.Stored("QUARTIER", "0010201", 1), "TILLEULS");
}

INSTANTIATE_TEST_SUITE_P(Levels, EmptiedLabel,
                         ::testing::Values(Emptied{"Sector", "001", "", "", "Cbo_LibSecteur",
                                                   "Txt_CodeSecteur"},
                                           Emptied{"SubSector", "001", "02", "",
                                                   "Cbo_LibSousSecteur", "Txt_CodeSousSecteur"},
                                           Emptied{"Neighbourhood", "001", "02", "01",
                                                   "Cbo_LibQuartier", "Txt_CodeQuartier"}),
                         [](const auto& info) { return std::string(info.param.name); });

// With nothing shown at its level, leaving a label field upper-cases its text
// and writes nothing.
struct Unshown {
    const char* name;
    std::string sector, subSector;
    const char* label;
};
void PrintTo(const Unshown& c, std::ostream* os) {
    *os << c.name;
}

class LabelWithoutRecord : public ::testing::TestWithParam<Unshown> {};

TEST_P(LabelWithoutRecord, IsOnlyUpperCased) {
    const Unshown& c = GetParam();
    Session s;
    if (!c.sector.empty()) {
        ASSERT_TRUE(s.Open(c.sector, c.subSector));
    }
    s.Do(std::string("type ") + c.label + " été\nkey " + c.label + " Tab");
    EXPECT_EQ(s.Text(c.label), "ÉTÉ");
    EXPECT_TRUE(s.TakeWrites().empty());
    EXPECT_TRUE(s.TakeMessages().empty());
}

INSTANTIATE_TEST_SUITE_P(Levels, LabelWithoutRecord,
                         ::testing::Values(Unshown{"Sector", "", "", "Cbo_LibSecteur"},
                                           Unshown{"SubSector", "001", "", "Cbo_LibSousSecteur"},
                                           Unshown{"Neighbourhood", "001", "02",
                                                   "Cbo_LibQuartier"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Leaving the sub-sector label opens the neighbourhood level, even with no
// sub-sector chosen.
TEST(SubSectorLabel, LeavingItOpensTheNeighbourhoodLevel) {
    Session s;
    ASSERT_TRUE(s.Open("001"));
    ASSERT_FALSE(s.Enabled("Txt_CodeQuartier"));
    s.Do("focus Cbo_LibSousSecteur\nfocus Txt_NumCRAM");
    EXPECT_TRUE(s.Enabled("Txt_CodeQuartier"));
    EXPECT_TRUE(s.Enabled("Cbo_LibQuartier"));
    EXPECT_TRUE(s.TakeWrites().empty());
}

// The neighbourhood's links stay on screen when its label is emptied.
TEST(NeighbourhoodRename, EmptyingTheLabelKeepsTheLinks) {
    Session s;
    ASSERT_TRUE(s.Open("001", "02", "01"));
    s.Do("clear Cbo_LibQuartier");
    EXPECT_EQ(s.TextsOf(kLinkFields), (Texts{"005", "ARCHE", "001", "PONT"}));
}

// Renaming needs no right to create.
TEST(SectorRename, ALevelOneUserRenames) {
    Session s(Options{2, kLevel1User});
    ASSERT_TRUE(s.Open("002"));
    s.Do("select Cbo_LibSecteur\ntype Cbo_LibSecteur gare\nkey Cbo_LibSecteur Tab");
    EXPECT_EQ(s.TakeWrites(), Texts{"SECTEUR 002"});
    EXPECT_EQ(s.Stored("SECTEUR", "002", 1), "GARE");
}

}  // namespace
}  // namespace levels_test
