// The dynamic-array conventions, one table per operation; marks shown as ^ ] \.

#include "kelmor/dynarray.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace kelmor {
namespace {

using test::Marks;

struct GetCase {
    const char* whole;
    int attr, value, sub;
    const char* expected;
};

class DynArrayGet : public testing::TestWithParam<GetCase> {};

TEST_P(DynArrayGet, ReadsThePosition) {
    const GetCase& c = GetParam();
    const DynArray array(Marks(c.whole));
    EXPECT_EQ(array.Get(c.attr, c.value, c.sub), Marks(c.expected)) << c.whole;
    EXPECT_EQ(array(c.attr, c.value, c.sub), array.Get(c.attr, c.value, c.sub));
}

// Absent positions read "", a plain value is its own value 1 and sub-value 1,
// value 0 is the whole attribute, empty positions keep their place.
INSTANTIATE_TEST_SUITE_P(
    Conventions, DynArrayGet,
    testing::Values(GetCase{"", 1, 0, 0, ""}, GetCase{"a", 0, 0, 0, ""}, GetCase{"a", 1, 1, 0, "a"},
                    GetCase{"a", 1, 3, 0, ""}, GetCase{"a", 1, 1, 1, "a"},
                    GetCase{"a", 1, 1, 2, ""}, GetCase{"a", 2, 0, 0, ""},
                    GetCase{"^^c", 3, 0, 0, "c"}, GetCase{"a]b^c", 1, 0, 0, "a]b"},
                    GetCase{"a]b", 1, 2, 0, "b"}, GetCase{"a\\x]b", 1, 1, 0, "a\\x"},
                    GetCase{"a\\x]b", 1, 1, 2, "x"}, GetCase{"]]c", 1, 3, 0, "c"},
                    GetCase{"a]b", 1, 0, 5, "a]b"}));

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
    EXPECT_EQ(array.Text(), Marks(c.after)) << c.before << " with " << c.text;
}

// Writing beyond the end extends with empties; "" to an attribute clears all
// its values; -1 appends; neighbours are untouched.
INSTANTIATE_TEST_SUITE_P(
    Conventions, DynArraySet,
    testing::Values(SetCase{"", 3, 0, 0, "x", "^^x"}, SetCase{"", 3, 2, 0, "x", "^^]x"},
                    SetCase{"", 1, 2, 3, "x", "]\\\\x"}, SetCase{"a]b]c", 1, 0, 0, "", ""},
                    SetCase{"a]b^c", 1, 0, 0, "", "^c"}, SetCase{"a^b", 2, 0, 0, "", "a"},
                    SetCase{"a]b", 1, 1, 0, "", "]b"}, SetCase{"a]b", 1, -1, 0, "c", "a]b]c"},
                    SetCase{"", 2, -1, 0, "c", "^c"}, SetCase{"a", 1, 1, -1, "s", "a\\s"},
                    SetCase{"a\\x]b", 1, 1, 2, "y", "a\\y]b"},
                    SetCase{"a^b^c", 2, 0, 0, "z", "a^z^c"}));

TEST(DynArray, DCountCountsValuesAndZeroForAnEmptyAttribute) {
    const std::vector<std::tuple<const char*, int, int>> cases = {
        {"", 1, 0}, {"a", 1, 1}, {"a]b]c", 1, 3}, {"]", 1, 2}, {"a^^c", 2, 0}, {"a\\b", 1, 1}};
    for (const auto& [whole, attr, expected] : cases) {
        const DynArray array(Marks(whole));
        EXPECT_EQ(array.DCount(attr), expected) << whole;
        EXPECT_EQ(static_cast<int>(array.Values(attr).size()), expected) << whole;
    }
}

TEST(DynArray, WholeTextSetsAndEmptiesEverything) {
    DynArray array;
    array.SetText(Marks("a]b^^c\\d^^"));
    EXPECT_EQ(array.Text(), Marks("a]b^^c\\d"));  // trailing empty attributes dropped
    EXPECT_EQ(array.AttributeCount(), 3);
    array.SetText("");
    EXPECT_TRUE(array.Empty());
    EXPECT_EQ(array.Get(1), "");
}

TEST(DynArray, BadPositionsAreRefusedWithoutChange) {
    DynArray array(Marks("a]b^c"));
    const DynArray before = array;
    test::ExpectError([&] { (void)array.Get(-1); }, kBadPosition, "attribute");
    test::ExpectError([&] { array.Set(0, "x"); }, kBadPosition, "attribute");
    test::ExpectError([&] { array.Set(1, -2, "x"); }, kBadPosition, "attribute");
    test::ExpectError([&] { array.Set(1, 0, 1, "x"); }, kBadPosition, "attribute");
    EXPECT_EQ(array, before);
}

}  // namespace
}  // namespace kelmor
