// The four attribute fields of a shown sector: approval number and CRAM number
// (free text), approval date (key filter, normalisation, two failure paths)
// and département (check, completion, message). Each is written as the field
// is left, and only when it differs from the record.

#include <gtest/gtest.h>

#include "session.h"

namespace levels_test {
namespace {

// Types `text` over the field (empties it for "") and leaves it with Tab.
std::string Enter(const std::string& field, const std::string& text) {
    if (text.empty()) return "clear " + field + "\nkey " + field + " Tab";
    return "select " + field + "\ntype " + field + " " + text + "\nkey " + field + " Tab";
}

// --- Approval number and CRAM number ---

struct FreeText {
    const char* name;
    const char* field;
    int attribute;
    std::string typed;
    std::string stored;  // afterwards
    bool written;
    const char* next;
};
void PrintTo(const FreeText& c, std::ostream* os) {
    *os << c.name;
}

class FreeTextField : public ::testing::TestWithParam<FreeText> {};

TEST_P(FreeTextField, IsWrittenOnLeavingOnlyWhenItDiffers) {
    const FreeText& c = GetParam();
    Session s;
    ASSERT_TRUE(s.Open("001"));
    s.Do(Enter(c.field, c.typed));
    EXPECT_EQ(s.TakeWrites(), c.written ? Texts{"SECTEUR 001"} : Texts{});
    EXPECT_EQ(s.Stored("SECTEUR", "001", c.attribute), c.stored);
    EXPECT_EQ(s.Text(c.field), c.stored);
    EXPECT_EQ(s.Focus(), c.next);
    EXPECT_TRUE(s.TakeMessages().empty());
    // Leaving it again changes nothing more.
    s.Do(std::string("focus ") + c.field + "\nkey " + c.field + " Tab");
    EXPECT_TRUE(s.TakeWrites().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, FreeTextField,
    ::testing::Values(
        FreeText{"ApprovalChanged", "Txt_NoAgrementSect", 3, "SAP/123", "SAP/123", true,
                 "Txt_DatAgrementSect"},
        FreeText{"ApprovalKeepsLowerCase", "Txt_NoAgrementSect", 3, "ag-1", "ag-1", true,
                 "Txt_DatAgrementSect"},
        FreeText{"ApprovalUnchanged", "Txt_NoAgrementSect", 3, "AG-1", "AG-1", false,
                 "Txt_DatAgrementSect"},
        FreeText{"ApprovalEmptied", "Txt_NoAgrementSect", 3, "", "", true, "Txt_DatAgrementSect"},
        FreeText{"ApprovalCutAt25", "Txt_NoAgrementSect", 3, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123",
                 "ABCDEFGHIJKLMNOPQRSTUVWXY", true, "Txt_DatAgrementSect"},
        FreeText{"CramChanged", "Txt_NumCRAM", 20, "0691184520", "0691184520", true, "Txt_Dep"},
        FreeText{"CramUnchanged", "Txt_NumCRAM", 20, "CR-1", "CR-1", false, "Txt_Dep"},
        FreeText{"CramEmptied", "Txt_NumCRAM", 20, "", "", true, "Txt_Dep"},
        FreeText{"CramCutAt20", "Txt_NumCRAM", 20, "123456789012345678901234",
                 "12345678901234567890", true, "Txt_Dep"}),
    [](const auto& info) { return std::string(info.param.name); });

// With no sector shown nothing is written whatever is typed.
TEST(AttributeFields, WithoutAShownSectorNothingIsWritten) {
    Session s;
    ASSERT_TRUE(s.Open("001"));
    s.Do("clear Txt_CodeSecteur");
    s.Do(Enter("Txt_NoAgrementSect", "X") + "\n" + Enter("Txt_NumCRAM", "Y") + "\n" +
         Enter("Txt_Dep", "12"));
    EXPECT_TRUE(s.TakeWrites().empty());
    EXPECT_EQ(s.Stored("SECTEUR", "001", 3), "AG-1");
}

// With no sector shown the date is still normalised and checked, while the
// département is not checked at all.
TEST(AttributeFields, WithoutAShownSectorOnlyTheDateIsChecked) {
    Session s;
    s.Do(Enter("Txt_DatAgrementSect", "1.3.01"));
    EXPECT_EQ(s.Text("Txt_DatAgrementSect"), "01/03/2001");
    EXPECT_TRUE(s.TakeMessages().empty());
    s.Do(Enter("Txt_DatAgrementSect", "31.2.01"));
    EXPECT_TRUE(OneBox(s.TakeMessages(), kBadDate, forms::vbExclamation));
    EXPECT_EQ(s.Text("Txt_DatAgrementSect"), "");
    EXPECT_EQ(s.Focus(), "Txt_DatAgrementSect");
    s.Do(Enter("Txt_Dep", "2C"));
    EXPECT_TRUE(s.TakeMessages().empty());
    EXPECT_EQ(s.Text("Txt_Dep"), "2C");
    EXPECT_TRUE(s.TakeWrites().empty());
}

// --- Approval date: typing ---

struct Keys {
    const char* name;
    const char* input;
    const char* shown;
};
void PrintTo(const Keys& c, std::ostream* os) {
    *os << c.name;
}

class DateKeys : public ::testing::TestWithParam<Keys> {};

// Digits and Backspace pass; every other key types "/".
TEST_P(DateKeys, TypeASlashForAnyOtherKey) {
    const Keys& c = GetParam();
    Session s;
    ASSERT_TRUE(s.Open("002"));
    s.Do(c.input);
    EXPECT_EQ(s.Text("Txt_DatAgrementSect"), c.shown);
    EXPECT_TRUE(s.TakeWrites().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, DateKeys,
    ::testing::Values(Keys{"Dots", "type Txt_DatAgrementSect 12.03.2001", "12/03/2001"},
                      Keys{"Spaces", "type Txt_DatAgrementSect 12 03 2001", "12/03/2001"},
                      Keys{"Dashes", "type Txt_DatAgrementSect 12-03-2001", "12/03/2001"},
                      Keys{"Letters", "type Txt_DatAgrementSect 1a2Z3", "1/2/3"},
                      Keys{"EnterAndBackspace",
                           "type Txt_DatAgrementSect 12\nkey Txt_DatAgrementSect Enter\n"
                           "type Txt_DatAgrementSect 034\nkey Txt_DatAgrementSect Backspace",
                           "12/03"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Approval date: leaving the field ---

struct DateCase {
    const char* name;
    const char* sector;
    std::string typed;
    std::string shown;   // afterwards
    std::string stored;  // attribute 4 afterwards
    bool written;
    bool message;  // the date-error box
    const char* focus;
};
void PrintTo(const DateCase& c, std::ostream* os) {
    *os << c.name;
}

class DateLeaving : public ::testing::TestWithParam<DateCase> {};

TEST_P(DateLeaving, NormalisesChecksAndWrites) {
    const DateCase& c = GetParam();
    Session s;
    ASSERT_TRUE(s.Open(c.sector));
    s.Do(Enter("Txt_DatAgrementSect", c.typed));
    const auto messages = s.TakeMessages();
    if (c.message)
        EXPECT_TRUE(OneBox(messages, kBadDate, forms::vbExclamation));
    else
        EXPECT_TRUE(messages.empty()) << messages.front().text.toStdString();
    EXPECT_EQ(s.Text("Txt_DatAgrementSect"), c.shown);
    EXPECT_EQ(s.Stored("SECTEUR", c.sector, 4), c.stored);
    EXPECT_EQ(s.TakeWrites(), c.written ? Texts{std::string("SECTEUR ") + c.sector} : Texts{});
    EXPECT_EQ(s.Focus(), c.focus);
}

// Stored dates count days from 31/12/1967: 12125 is 12/03/2001.
INSTANTIATE_TEST_SUITE_P(
    Dates, DateLeaving,
    ::testing::Values(
        DateCase{"Full", "002", "12/03/2001", "12/03/2001", "12125", true, false, "Txt_NumCRAM"},
        DateCase{"ShortYear", "002", "12.3.01", "12/03/2001", "12125", true, false, "Txt_NumCRAM"},
        DateCase{"OneDigitDay", "002", "1 3 2001", "01/03/2001", "12114", true, false,
                 "Txt_NumCRAM"},
        DateCase{"NoSeparators", "002", "01032001", "01/03/2001", "12114", true, false,
                 "Txt_NumCRAM"},
        DateCase{"Replaced", "001", "13/03/2001", "13/03/2001", "12126", true, false,
                 "Txt_NumCRAM"},
        DateCase{"SameAsStored", "001", "12.03.01", "12/03/2001", "12125", false, false,
                 "Txt_NumCRAM"},
        DateCase{"ImpossibleDay", "002", "31/02/2001", "", "", false, true, "Txt_DatAgrementSect"},
        DateCase{"ImpossibleMonth", "001", "12/13/2001", "", "12125", false, true,
                 "Txt_DatAgrementSect"},
        DateCase{"TooManyGroups", "001", "1/2/3/4", "", "12125", false, false,
                 "Txt_DatAgrementSect"},
        DateCase{"EmptyGroup", "002", "12//2001", "", "", false, false, "Txt_DatAgrementSect"},
        DateCase{"Emptied", "001", "", "", "12125", false, false, "Txt_NumCRAM"}),
    [](const auto& info) { return std::string(info.param.name); });

// After a refused date the field is empty; leaving it again changes nothing.
TEST(DateField, LeavingAgainAfterARefusalChangesNothing) {
    Session s;
    ASSERT_TRUE(s.Open("001"));
    s.Do(Enter("Txt_DatAgrementSect", "31/04/2001"));
    EXPECT_TRUE(OneBox(s.TakeMessages(), kBadDate, forms::vbExclamation));
    s.Do("key Txt_DatAgrementSect Tab");
    EXPECT_TRUE(s.TakeMessages().empty());
    EXPECT_TRUE(s.TakeWrites().empty());
    EXPECT_EQ(s.Focus(), "Txt_NumCRAM");
    EXPECT_EQ(s.Stored("SECTEUR", "001", 4), "12125");
    // The sector shown again displays its stored date.
    s.Do("clear Txt_CodeSecteur\ntype Txt_CodeSecteur 001");
    EXPECT_EQ(s.Text("Txt_DatAgrementSect"), "12/03/2001");
}

// --- Département ---

struct DepCase {
    const char* name;
    const char* sector;
    std::string typed;
    std::string stored;  // attribute 21 afterwards, also shown
    bool written;
};
void PrintTo(const DepCase& c, std::ostream* os) {
    *os << c.name;
}

class DepartementAccepted : public ::testing::TestWithParam<DepCase> {};

TEST_P(DepartementAccepted, IsCompletedAndWritten) {
    const DepCase& c = GetParam();
    Session s;
    ASSERT_TRUE(s.Open(c.sector));
    s.Do(Enter("Txt_Dep", c.typed));
    EXPECT_TRUE(s.TakeMessages().empty());
    EXPECT_EQ(s.Text("Txt_Dep"), c.stored);
    EXPECT_EQ(s.Stored("SECTEUR", c.sector, 21), c.stored);
    EXPECT_EQ(s.TakeWrites(), c.written ? Texts{std::string("SECTEUR ") + c.sector} : Texts{});
    EXPECT_EQ(s.Focus(), "Txt_CodeSousSecteur");
}

// 002 holds "69", 001 holds "05".
INSTANTIATE_TEST_SUITE_P(
    Values, DepartementAccepted,
    ::testing::Values(DepCase{"OneDigit", "002", "5", "05", true},
                      DepCase{"TwoDigits", "002", "38", "38", true},
                      DepCase{"First", "002", "01", "01", true},
                      DepCase{"Last", "002", "99", "99", true},
                      DepCase{"CorsicaLowerCase", "002", "2a", "2A", true},
                      DepCase{"CorsicaB", "002", "2B", "2B", true},
                      DepCase{"Unchanged", "002", "69", "69", false},
                      // the completed value is the stored one: the record is written again
                      DepCase{"OneDigitOfTheStoredValue", "001", "5", "05", true},
                      DepCase{"Emptied", "002", "", "", true}),
    [](const auto& info) { return std::string(info.param.name); });

class DepartementRefused : public ::testing::TestWithParam<const char*> {};

// The information box; the field is emptied and keeps the focus; the stored
// value stays.
TEST_P(DepartementRefused, SaysTheRuleAndKeepsTheStoredValue) {
    Session s;
    ASSERT_TRUE(s.Open("002"));
    s.Do(Enter("Txt_Dep", GetParam()));
    EXPECT_TRUE(OneBox(s.TakeMessages(), kBadDepartement, forms::vbInformation));
    EXPECT_EQ(s.Text("Txt_Dep"), "");
    EXPECT_EQ(s.Focus(), "Txt_Dep");
    EXPECT_TRUE(s.TakeWrites().empty());
    EXPECT_EQ(s.Stored("SECTEUR", "002", 21), "69");
}

INSTANTIATE_TEST_SUITE_P(Values, DepartementRefused,
                         ::testing::Values("2C", "2c", "A2", "0", "00", "5 ", "-1", "ab"));

// Left empty after a refusal, the field then stores "".
TEST(DepartementField, LeavingItEmptyAfterARefusalStoresNothingAsTheValue) {
    Session s;
    ASSERT_TRUE(s.Open("002"));
    s.Do(Enter("Txt_Dep", "2C"));
    ASSERT_TRUE(OneBox(s.TakeMessages(), kBadDepartement, forms::vbInformation));
    s.Do("key Txt_Dep Tab");
    EXPECT_TRUE(s.TakeMessages().empty());
    EXPECT_EQ(s.TakeWrites(), Texts{"SECTEUR 002"});
    EXPECT_EQ(s.Stored("SECTEUR", "002", 21), "");
    EXPECT_EQ(s.Focus(), "Txt_CodeSousSecteur");
}

// Only the edited attribute changes: the rest of the record is kept as it was.
TEST(AttributeFields, AWriteKeepsTheOtherAttributes) {
    Session s;
    ASSERT_TRUE(s.Open("001"));
    s.Do(Enter("Txt_NumCRAM", "CR-9") + "\n" + Enter("Txt_Dep", "2b"));
    EXPECT_EQ(s.TakeWrites(), (Texts{"SECTEUR 001", "SECTEUR 001"}));
    const std::pair<int, const char*> expected[] = {{1, "NORD"}, {3, "AG-1"},  {4, "12125"},
                                                    {12, "0"},   {20, "CR-9"}, {21, "2B"}};
    for (const auto& [attr, value] : expected)
        EXPECT_EQ(s.Stored("SECTEUR", "001", attr), value) << "attribute " << attr;
}

// Each write goes to the sector shown now, and carries the edits made before
// it (the label renamed a moment ago is not written back).
TEST(AttributeFields, WritesGoToTheShownSectorAsLastEdited) {
    Session s;
    ASSERT_TRUE(s.Open("001"));
    s.Do("clear Txt_CodeSecteur\ntype Txt_CodeSecteur 002");
    s.TakeMessages();
    s.Do("select Cbo_LibSecteur\ntype Cbo_LibSecteur gare\nkey Cbo_LibSecteur Tab");
    s.Do(Enter("Txt_NoAgrementSect", "AG-7") + "\n" + Enter("Txt_DatAgrementSect", "1.3.01"));
    EXPECT_EQ(s.TakeWrites(), (Texts{"SECTEUR 002", "SECTEUR 002", "SECTEUR 002"}));
    const std::pair<int, const char*> expected[] = {
        {1, "GARE"}, {3, "AG-7"}, {4, "12114"}, {20, "CR-2"}, {21, "69"}};
    for (const auto& [attr, value] : expected)
        EXPECT_EQ(s.Stored("SECTEUR", "002", attr), value) << "attribute " << attr;
    EXPECT_EQ(s.Stored("SECTEUR", "001", 1), "NORD");
    EXPECT_EQ(s.Stored("SECTEUR", "001", 3), "AG-1");
}

}  // namespace
}  // namespace levels_test
