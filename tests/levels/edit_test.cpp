// Edits written as a field is left: renames of each level, the sector's four
// attribute fields, relinks of a neighbourhood; and exactly the database calls
// each action makes. What the return from a dialog empties belongs to the
// control's tests.

#include <gtest/gtest.h>

#include <algorithm>

#include "kelmor/database.h"
#include "session.h"

namespace levels_test {
namespace {

struct Level {
    const char* name;
    const char* open;
    const char* label;
    std::string file, key, stored;
    const char* next;  // where Tab goes from the label
};

class Rename : public ::testing::TestWithParam<Level> {};

// Labels are kept in upper case and compared exactly: one stored in lower
// case is stored upper-cased when left, though nothing was typed.
TEST_P(Rename, WritesTheUpperCaseLabelOnceAndOnlyWhenItDiffers) {
    const Level& c = GetParam();
    Session s;
    const std::string lower = QString::fromStdString(c.stored).toLower().toStdString();
    s.OtherWorkstationSets(c.file, c.key, {{1, lower}});
    ASSERT_TRUE(s.Open(c.open));
    EXPECT_EQ(s.Text(c.label), lower);
    s.Do(std::string("focus ") + c.label + "\nkey " + c.label + " Tab");
    EXPECT_EQ(s.TakeWrites(), Texts{c.file + " " + c.key});
    EXPECT_EQ(s.Stored(c.file, c.key, 1), c.stored);
    s.Do(Enter(c.label, lower));
    EXPECT_EQ(s.TakeWrites(), Texts{}) << "the stored label typed in lower case";
    s.Do(Enter(c.label, "rue d'été"));
    EXPECT_EQ(s.TakeWrites(), Texts{c.file + " " + c.key});
    EXPECT_EQ(s.Stored(c.file, c.key, 1), "RUE D'ÉTÉ");
    EXPECT_EQ(s.Text(c.label), "RUE D'ÉTÉ");
    // Only the sector's list is filled again; the others list the labels as they were.
    const Texts items = s.Items(c.label);
    EXPECT_EQ(std::find(items.begin(), items.end(), "RUE D'ÉTÉ") != items.end(),
              c.file == "SECTEUR");
    EXPECT_EQ(s.Focus(), c.next);
    s.Do(std::string("focus ") + c.label + "\nkey " + c.label + " Tab");
    EXPECT_EQ(s.TakeWrites(), Texts{}) << "left again unchanged";
    EXPECT_EQ(s.TakeMessages(), Texts{});
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Levels, Rename, ::testing::Values(
    Level{"Sector", "001", "Cbo_LibSecteur", "SECTEUR", "001", "NORD", "Txt_NoAgrementSect"},
    Level{"SubSector", "001 02", "Cbo_LibSousSecteur", "SOUSSECTEUR", "00102", "ABBAYE",
          "Txt_CodeQuartier"},
    Level{"Neighbourhood", "001 02 02", "Cbo_LibQuartier", "QUARTIER", "0010202", "CLOITRE",
          "Txt_CodeCentreMedQuartier"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// --- The sector's attribute fields, on 002 (AG-2, no date, CR-2, "69") ---

struct Attribute {
    const char* name;
    const char* field;
    std::string typed, shown, stored;  // stored: the attribute afterwards
    bool written;
    const char* focus;
    std::string message;
};

const char *const kAgr = "Txt_NoAgrementSect", *const kDate = "Txt_DatAgrementSect";
const char *const kCram = "Txt_NumCRAM", *const kDep = "Txt_Dep";

class AttributeField : public ::testing::TestWithParam<Attribute> {};

TEST_P(AttributeField, IsCheckedAndWrittenOnLeaving) {
    const Attribute& c = GetParam();
    const int attr = c.field == kAgr ? 3 : c.field == kDate ? 4 : c.field == kCram ? 20 : 21;
    Session s;
    ASSERT_TRUE(s.Open("002"));
    s.Do(Enter(c.field, c.typed));
    EXPECT_EQ(s.TakeMessages(), c.message.empty() ? Texts{} : Texts{c.message});
    EXPECT_EQ(s.Text(c.field), c.shown);
    EXPECT_EQ(s.TakeWrites(), c.written ? Texts{"SECTEUR 002"} : Texts{});
    EXPECT_EQ(s.Focus(), c.focus);
    // The edited attribute as expected, the others written back as they were.
    for (const auto& [a, value] :
         {std::pair{1, "CENTRE"}, {3, "AG-2"}, {4, ""}, {12, "0"}, {20, "CR-2"}, {21, "69"}})
        EXPECT_EQ(s.Stored("SECTEUR", "002", a), a == attr ? c.stored : value) << "attribute " << a;
}

const std::string kDateBox = Box(kBadDate, forms::vbExclamation), kOk;
const std::string kDepBox = Box(kBadDepartement, forms::vbInformation);
const char* const kSub = "Txt_CodeSousSecteur";

// Stored dates count days from 31/12/1967: 12125 is 12/03/2001.
INSTANTIATE_TEST_SUITE_P(
    Fields, AttributeField,
    ::testing::Values(
        Attribute{"ApprovalUnchanged", kAgr, "AG-2", "AG-2", "AG-2", false, kDate, kOk},
        Attribute{"ApprovalCutAt25", kAgr, "abcdefghijklmnopqrstuvwxyz",
                  "abcdefghijklmnopqrstuvwxy", "abcdefghijklmnopqrstuvwxy", true, kDate, kOk},
        Attribute{"CramEmptied", kCram, "", "", "", true, kDep, kOk},
        Attribute{"CramCutAt20", kCram, "123456789012345678901", "12345678901234567890",
                  "12345678901234567890", true, kDep, kOk},
        Attribute{"DateFull", kDate, "12/03/2001", "12/03/2001", "12125", true, kCram, kOk},
        // Any key but a digit or Backspace types "/".
        Attribute{"DateKeyFilter", kDate, "1a3-01", "01/03/2001", "12114", true, kCram, kOk},
        Attribute{"DateImpossibleDay", kDate, "31/02/2001", "", "", false, kDate, kDateBox},
        Attribute{"DateTooManyGroups", kDate, "1/2/3/4", "", "", false, kDate, kOk},
        Attribute{"DateEmptied", kDate, "", "", "", false, kCram, kOk},
        Attribute{"DepOneDigit", kDep, "5", "05", "05", true, kSub, kOk},
        Attribute{"DepCorsica", kDep, "2a", "2A", "2A", true, kSub, kOk},
        Attribute{"DepUnchanged", kDep, "69", "69", "69", false, kSub, kOk},
        Attribute{"DepEmptied", kDep, "", "", "", true, kSub, kOk},
        Attribute{"DepNotCorsica", kDep, "2C", "", "69", false, kDep, kDepBox},
        Attribute{"DepZero", kDep, "00", "", "69", false, kDep, kDepBox},
        Attribute{"DepLetters", kDep, "ab", "", "69", false, kDep, kDepBox}),
    [](const auto& info) { return std::string(info.param.name); });

// The stored sector's fields as shown; with no sector shown nothing is written.
TEST(AttributeFields, ShowTheStoredValuesAndNeedAShownSector) {
    Session s;
    ASSERT_TRUE(s.Open("001"));
    for (const auto& [field, shown] :
         {std::pair{kAgr, "AG-1"}, {kDate, "12/03/2001"}, {kCram, "CR-1"}, {kDep, "05"}})
        EXPECT_EQ(s.Text(field), shown);
    s.Do("clear Txt_CodeSecteur\n" + Enter(kCram, "X") + "\n" + Enter(kDep, "12"));
    EXPECT_EQ(s.TakeWrites(), Texts{});
}

// A stored date that is not one (bad data) must not stop the display half-way
// with the previous sector's CRAM number and département still on screen,
// which tabbing through would then write into this sector.
TEST(AttributeFields, ABadStoredDateIsShownEmptyAndTheRestIsThisSectors) {
    Session s;
    {
        kelmor::DbRecord bad = s.Plain().OpenFile("SECTEUR").ReadRecord("002");
        bad.Set(4, "019274");
        bad.DBWrite();
    }
    ASSERT_TRUE(s.Open("001"));
    s.Do("clear Txt_CodeSecteur\ntype Txt_CodeSecteur 002");
    const std::string cram = s.Stored("SECTEUR", "002", 20), dep = s.Stored("SECTEUR", "002", 21);
    EXPECT_EQ(s.Text(kDate), "");
    EXPECT_EQ(s.Text(kCram), cram);
    EXPECT_EQ(s.Text(kDep), dep);
    s.Do("focus " + std::string(kAgr));
    for (int field = 0; field < 4; ++field) s.Do(std::string("key ") + s.Focus() + " Tab");
    EXPECT_EQ(s.TakeWrites(), Texts{});
    EXPECT_EQ(s.Stored("SECTEUR", "002", 4), "019274");
    EXPECT_EQ(s.TakeMessages(), Texts{});
}

// --- Relinking neighbourhood 0010201 TILLEULS (005001) ---

struct Relink {
    const char* name;
    const char* input;  // before the antenna code is left
    const char* links;  // Screen()'s link part afterwards
    std::string stored;
};

class Relinking : public ::testing::TestWithParam<Relink> {};

TEST_P(Relinking, WritesTheShownNeighbourhoodOnceWhenTheAntennaCodeIsLeftChanged) {
    const Relink& c = GetParam();
    Session s;
    ASSERT_TRUE(s.Open("001 02 01"));
    s.Do(c.input);
    EXPECT_EQ(s.TakeWrites(), Texts{}) << "before the antenna code is left";
    s.Do("focus Txt_CodeAntMedQuartier\nkey Txt_CodeAntMedQuartier Tab");
    EXPECT_EQ(s.Screen().substr(std::string("001,NORD,02,ABBAYE,").size()), c.links);
    EXPECT_EQ(s.TakeWrites(), c.stored == "005001" ? Texts{} : Texts{"QUARTIER 0010201"});
    EXPECT_EQ(s.Stored("QUARTIER", "0010201", 2), c.stored);
    EXPECT_EQ(s.Stored("QUARTIER", "0010201", 1), "TILLEULS");
    EXPECT_EQ(s.TakeMessages(), Texts{});
    s.Do("focus Txt_CodeAntMedQuartier\nkey Txt_CodeAntMedQuartier Tab");
    EXPECT_EQ(s.TakeWrites(), Texts{}) << "left again";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Links, Relinking, ::testing::Values(
    Relink{"CentreAndAntennaByLabel", "choose Cbo_LibCentreMedQuartier 2\n"
           "choose Cbo_LibAntMedQuartier 1", "01,TILLEULS,012,LILAS,001,HALLES", "012001"},
    Relink{"AntennaCodePaddedOnLeaving", "choose Cbo_LibCentreMedQuartier 2\n"
           "type Txt_CodeAntMedQuartier 5", "01,TILLEULS,012,LILAS,005,GARE", "012005"},
    Relink{"CentreWithoutAntenna", "choose Cbo_LibCentreMedQuartier 1",
           "01,TILLEULS,030,DUNES,,", "005001"},
    Relink{"AntennaLeftEmpty", "choose Cbo_LibCentreMedQuartier 2", "01,TILLEULS,012,LILAS,,",
           "005001"},
    Relink{"NoNeighbourhoodShown", "clear Cbo_LibQuartier\nchoose Cbo_LibCentreMedQuartier 2\n"
           "type Txt_CodeAntMedQuartier 004", ",,012,LILAS,004,PORTE", "005001"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// Each action's reads, list scans, counts, pages and writes, and nothing more:
// the legal entities are counted, not read; a whole-file list is counted and
// read a page at a time as its entries are shown or read (refilled, nothing is
// read); the list of a prefix is counted, then read in one page in key order
// from just below the prefix once a row is needed (here the single one's code).
TEST(DatabaseCalls, ALookupCascadeARenameAndARelink) {
    Session s;
    s.Do("type Txt_CodeSecteur 2\nkey Txt_CodeSecteur Enter");
    EXPECT_EQ(s.TakeCalls(),
              (Texts{"read SECTEUR 002", "count ASSOCIATION ", "count SOUSSECTEUR 002",
                     "page SOUSSECTEUR 001\xFF", "read SOUSSECTEUR 00201", "count QUARTIER 00201",
                     "page QUARTIER 00200\xFF", "read QUARTIER 0020101",
                     // the centre code's lookup with its antennas, then the labels shown
                     "read CENTREMEDICAL 005", "count ANTENNEMEDICALE 005",
                     "page ANTENNEMEDICALE 004\xFF", "read ANTENNEMEDICALE 005001",
                     "read CENTREMEDICAL 005", "read ANTENNEMEDICALE 005001"}));
    s.Do(Enter("Cbo_LibQuartier", "halle"));
    EXPECT_EQ(s.TakeCalls(), Texts{"write QUARTIER 0020101"});
    s.Do(Enter("Cbo_LibSecteur", "sud est"));
    EXPECT_EQ(s.TakeCalls(), (Texts{"write SECTEUR 002", "count SECTEUR "}));
    EXPECT_EQ(s.Items("Cbo_LibSecteur"),
              (Texts{"EST", "LETTRES", "NORD", "OUEST", "SUD", "SUD EST"}));
    s.Do("choose Cbo_LibCentreMedQuartier 2\ntype Txt_CodeAntMedQuartier 5");
    s.TakeCalls();
    s.Do("key Txt_CodeAntMedQuartier Tab");  // padded, read, then written
    EXPECT_EQ(s.TakeCalls(), (Texts{"read ANTENNEMEDICALE 012005", "write QUARTIER 0020101"}));
}

}  // namespace
}  // namespace levels_test
