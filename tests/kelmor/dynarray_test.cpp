// The dynamic-array conventions, one table per operation.

#include "kelmor/dynarray.h"

#include <gtest/gtest.h>

#include "kelmor/database.h"
#include "test_support.h"

namespace kelmor {
namespace {

using test::Marks;
using test::Shown;

struct GetCase {
    const char* whole;  // shown with ^ ] \ marks
    int attr, value, sub;
    const char* expected;
};

class DynArrayGet : public testing::TestWithParam<GetCase> {};

TEST_P(DynArrayGet, ReadsThePosition) {
    const GetCase& c = GetParam();
    const DynArray array(Marks(c.whole));
    EXPECT_EQ(Shown(array.Get(c.attr, c.value, c.sub)), c.expected);
    EXPECT_EQ(array(c.attr, c.value, c.sub), array.Get(c.attr, c.value, c.sub));
}

INSTANTIATE_TEST_SUITE_P(
    Conventions, DynArrayGet,
    testing::Values(GetCase{"", 1, 0, 0, ""},            // new array: everything ""
                    GetCase{"a", 0, 0, 0, ""},           // a bare array has no key
                    GetCase{"a", 1, 1, 0, "a"},          // value 1 of a one-value attribute
                    GetCase{"a", 1, 3, 0, ""},           // value 3 of a one-value attribute
                    GetCase{"a", 1, 1, 1, "a"},          // sub-value 1 of a plain value
                    GetCase{"a", 1, 1, 2, ""},           // sub-value 2 of a plain value
                    GetCase{"a", 2, 0, 0, ""},           // beyond the last attribute
                    GetCase{"a^b", 2, 0, 0, "b"},        //
                    GetCase{"^^c", 3, 0, 0, "c"},        // empty attributes keep their place
                    GetCase{"a]b^c", 1, 0, 0, "a]b"},    // whole attribute, marks included
                    GetCase{"a]b", 1, 2, 0, "b"},        //
                    GetCase{"a\\x]b", 1, 1, 0, "a\\x"},  // whole value, sub-marks included
                    GetCase{"a\\x]b", 1, 1, 2, "x"},     //
                    GetCase{"a\\x]b", 1, 2, 1, "b"},     //
                    GetCase{"]]c", 1, 3, 0, "c"},        // empty values keep their place
                    GetCase{"a]b", 1, 0, 5, "a]b"}));    // value 0: the whole attribute

struct SetCase {
    const char* before;
    int attr, value, sub;
    const char* text;
    const char* after;
};

class DynArraySet : public testing::TestWithParam<SetCase> {};

TEST_P(DynArraySet, WritesThePosition) {
    const SetCase& c = GetParam();
    DynArray array(Marks(c.before));
    array.Set(c.attr, c.value, c.sub, c.text);
    EXPECT_EQ(Shown(array.Text()), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Conventions, DynArraySet,
    testing::Values(SetCase{"", 3, 0, 0, "x", "^^x"},           // extends with empty attributes
                    SetCase{"", 3, 2, 0, "x", "^^]x"},          // ... and empty values
                    SetCase{"", 1, 2, 3, "x", "]\\\\x"},        // ... and empty sub-values
                    SetCase{"a]b]c", 1, 0, 0, "", ""},          // "" clears every value
                    SetCase{"a]b^c", 1, 0, 0, "", "^c"},        //
                    SetCase{"a^b", 2, 0, 0, "", "a"},           // trailing empties dropped
                    SetCase{"a", 5, 0, 0, "", "a"},             // clearing beyond the end
                    SetCase{"a]b", 1, 1, 0, "", "]b"},          // "" to one value keeps its place
                    SetCase{"a]b", 1, -1, 0, "c", "a]b]c"},     // -1 appends a value
                    SetCase{"", 2, -1, 0, "c", "^c"},           // first value of an empty attribute
                    SetCase{"a", 1, 1, -1, "s", "a\\s"},        // -1 appends a sub-value
                    SetCase{"a]b", 1, 2, 2, "s", "a]b\\s"},     //
                    SetCase{"a\\x]b", 1, 1, 2, "y", "a\\y]b"},  //
                    SetCase{"a^b^c", 2, 0, 0, "z", "a^z^c"},    // neighbours untouched
                    SetCase{"a]b]c", 1, 2, 0, "Ü", "a]Ü]c"}));

struct CountCase {
    const char* whole;
    int attr;
    int expected;
};

class DynArrayDCount : public testing::TestWithParam<CountCase> {};

TEST_P(DynArrayDCount, CountsValues) {
    const CountCase& c = GetParam();
    const DynArray array(Marks(c.whole));
    EXPECT_EQ(array.DCount(c.attr), c.expected);
    EXPECT_EQ(static_cast<int>(array.Values(c.attr).size()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Conventions, DynArrayDCount,
                         testing::Values(CountCase{"", 1, 0}, CountCase{"a", 1, 1},
                                         CountCase{"a]b]c", 1, 3}, CountCase{"]", 1, 2},
                                         CountCase{"a^^c", 2, 0}, CountCase{"a", 5, 0},
                                         CountCase{"a\\b", 1, 1}, CountCase{"x^a]\\]b", 2, 3}));

TEST(DynArray, WholeTextRoundTripsAndIgnoresTrailingEmptyAttributes) {
    DynArray array;
    EXPECT_TRUE(array.Empty());
    EXPECT_EQ(array.Text(), "");
    array.SetText(Marks("a]b^^c\\d^^"));
    EXPECT_EQ(Shown(array.Text()), "a]b^^c\\d");
    EXPECT_EQ(array.AttributeCount(), 3);
    EXPECT_EQ(array, DynArray(Marks("a]b^^c\\d")));
    array.SetText("");
    EXPECT_TRUE(array.Empty());
    EXPECT_EQ(array.Get(1), "");
}

TEST(DynArray, ValuesAndSetValuesAreInverse) {
    DynArray array;
    array.SetValues(17, {"A01", "", "B02"});
    EXPECT_EQ(array.DCount(17), 3);
    EXPECT_EQ(array.Values(17), (std::vector<std::string>{"A01", "", "B02"}));
    EXPECT_EQ(array.Get(17, 3), "B02");
    EXPECT_EQ(array.AttributeCount(), 17);
    array.SetValues(17, {});
    EXPECT_EQ(array.DCount(17), 0);
    EXPECT_TRUE(array.Empty());
}

struct BadPosition {
    const char* name;
    void (*call)(DynArray&);
};

class DynArrayPositions : public testing::TestWithParam<BadPosition> {};

TEST_P(DynArrayPositions, AreRejectedWithoutChange) {
    DynArray array(Marks("a]b^c"));
    const DynArray before = array;
    try {
        GetParam().call(array);
        FAIL() << GetParam().name << " did not throw";
    } catch (const PositionError& e) {
        EXPECT_EQ(e.number(), kBadPosition);
        EXPECT_NE(std::string(e.what()).find("attribute"), std::string::npos) << e.what();
    }
    EXPECT_EQ(array, before);
}

INSTANTIATE_TEST_SUITE_P(
    Conventions, DynArrayPositions,
    testing::Values(BadPosition{"Get(-1)", [](DynArray& a) { (void)a.Get(-1); }},
                    BadPosition{"Get(1,-1)", [](DynArray& a) { (void)a.Get(1, -1); }},
                    BadPosition{"Set(0)", [](DynArray& a) { a.Set(0, "x"); }},
                    BadPosition{"Set(1,-2)", [](DynArray& a) { a.Set(1, -2, "x"); }},
                    BadPosition{"Set(1,0,1)", [](DynArray& a) { a.Set(1, 0, 1, "x"); }},
                    BadPosition{"SetValues(0)", [](DynArray& a) { a.SetValues(0, {"x"}); }},
                    BadPosition{"DCount(0)", [](DynArray& a) { (void)a.DCount(0); }}),
    [](const auto& info) {
        std::string n;
        for (char c : std::string(info.param.name)) n += std::isalnum(c) ? c : '_';
        return n;
    });

TEST(DbRecordKey, IsAttributeZeroEvenThroughTheBaseClass) {
    test::TempDir dir;
    auto db = Database::OpenSqlite(dir.File("k.db"));
    db->CreateFile("SECTEUR");
    DbRecord record = db->OpenFile("SECTEUR").NewRecord("007");
    record.Set(1, "NORD");
    const DynArray& asArray = record;
    EXPECT_EQ(record.Get(0), "007");
    EXPECT_EQ(record(0), "007");
    EXPECT_EQ(asArray.Get(0), "007");
    EXPECT_EQ(asArray.Get(1), "NORD");
    EXPECT_EQ(record.Key(), "007");
    EXPECT_EQ(record.FileName(), "SECTEUR");
    EXPECT_THROW(record.Set(0, "008"), PositionError);
}

}  // namespace
}  // namespace kelmor
