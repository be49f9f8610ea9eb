// Query texts: the grammar (valid and malformed), the French order of PAR,
// ties by key, prefixes and suffixes.

#include "kelmor/query.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "test_database.h"
#include "test_support.h"

namespace kelmor {
namespace {

using Kind = KeySelection::Kind;
using Keys = std::vector<std::string>;

struct ValidCase {
    const char* text;
    ParsedQuery expected;
};

class ValidQuery : public testing::TestWithParam<ValidCase> {};

TEST_P(ValidQuery, Parses) {
    EXPECT_EQ(ParseQuery(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Grammar, ValidQuery,
    testing::Values(
        ValidCase{"SSELECT SECTEUR PAR 1", {true, "SECTEUR", {}, {1}}},
        ValidCase{"SSELECT SOUSSECTEUR = '00101]' PAR 1",
                  {true, "SOUSSECTEUR", {Kind::Prefix, "00101"}, {1}}},
        ValidCase{"SSELECT ASSOCIATION", {true, "ASSOCIATION", {}, {}}},
        ValidCase{"SELECT QUARTIER", {false, "QUARTIER", {}, {}}},
        ValidCase{"sselect F par 2 Par 1", {true, "F", {}, {2, 1}}},
        ValidCase{"SSELECT F PAR 1 = '[01'", {true, "F", {Kind::Suffix, "01"}, {1}}},
        ValidCase{"SSELECT F = \"A'B\"", {true, "F", {Kind::Exact, "A'B"}, {}}},
        ValidCase{"SSELECT F = 'L'HA]' PAR 1", {true, "F", {Kind::Prefix, "L'HA"}, {1}}},
        ValidCase{"SSELECT F='[B]'", {true, "F", {Kind::Contains, "B"}, {}}},
        ValidCase{"SSELECT F = 'É]' PAR 9999", {true, "F", {Kind::Prefix, "É"}, {9999}}},
        ValidCase{"  SSELECT \t F   PAR   3  ", {true, "F", {}, {3}}}));

struct BadCase {
    const char* text;
    const char* complaint;
};

class MalformedQuery : public testing::TestWithParam<BadCase> {};

TEST_P(MalformedQuery, IsABadQueryErrorNamingTheProblem) {
    test::ExpectError([] { (void)ParseQuery(GetParam().text); }, kBadQuery, GetParam().complaint);
}

INSTANTIATE_TEST_SUITE_P(
    Grammar, MalformedQuery,
    testing::Values(
        BadCase{"", "empty"},
        BadCase{"LIST SECTEUR", "must start with SSELECT or SELECT, not \"LIST\""},
        BadCase{"SSELECT", "a file name must follow"},
        BadCase{"SSELECT F PAR", "PAR at position 11 needs an attribute number"},
        BadCase{"SSELECT F PAR 0", "not \"0\""}, BadCase{"SSELECT F PAR 10000", "from 1 to 9999"},
        BadCase{"SSELECT F = 'abc", "opened at position 13 is not closed"},
        BadCase{"SSELECT F = abc", "must be followed by a quoted text"},
        BadCase{"SSELECT F 'abc'", "the quoted text 'abc' at position 11 must follow '='"},
        BadCase{"SSELECT F = 'a]' = 'b]'", "a second key selection"},
        BadCase{"SSELECT F BY 1", "unexpected \"BY\""},
        BadCase{"SSELECT F; DROP TABLE kelmor_records", "is not a file name"},
        BadCase{"SSELECT F\xFD", "value mark"}, BadCase{"SSELECT F = '\xC3'", "invalid UTF-8"}));

// Every prefix and one-byte change of a valid text parses or is a kBadQuery
// error: no other exception, no crash (the sanitizer build runs this too).
TEST(QueryRobustness, MutatedTextsParseOrFailCleanly) {
    const std::string seed = "SELECT F = \"[A'B]\" PAR 12 PAR 3", bytes(" '\"=[]P0-\xFD\xC3\0", 12);
    std::vector<std::string> texts;
    for (std::size_t i = 0; i <= seed.size(); ++i) texts.push_back(seed.substr(0, i));
    for (std::size_t i = 0; i < seed.size(); ++i)
        for (char b : bytes) texts.push_back(seed.substr(0, i) + b + seed.substr(i + 1));
    for (const std::string& text : texts) {
        try {
            (void)ParseQuery(text);
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), kBadQuery) << text;
        }
    }
}

Keys Column(const ResultList& list, int c) {
    Keys out;
    for (int r = 1; r <= list.DCount(); ++r) out.push_back(list.Get(r, c));
    return out;
}

class QueryTest : public testing::TestWithParam<test::BackendKind> {
protected:
    Keys Run(const std::string& query, const std::string& columns, int column = 1) {
        return Column(test::Select(*db_, query, "", columns), column);
    }
    test::TestDatabase base_{GetParam()};
    std::shared_ptr<Database> db_ = base_.Open();
};

TEST_P(QueryTest, ParSortsAccentsWithTheirBaseLetterThenByKey) {
    test::Fill(*db_, {"SECTEUR;001;1=ZOLA|SECTEUR;002;1=ÉTANG|SECTEUR;003;1=ETOILE",
                      "SECTEUR;004;1=ABBAYE|SECTEUR;005;1=ÉCOLE|SECTEUR;006;1=CÔTE",
                      "SECTEUR;007;1=COTE|SECTEUR;009;1=ÎLE|SECTEUR;008;1=ILOT",
                      "SECTEUR;011;1=NORD|SECTEUR;010;1=NORD"});
    const ResultList list = test::Select(*db_, "SSELECT SECTEUR PAR 1", "SECTEUR", "0 1");
    EXPECT_EQ(Column(list, 2), (Keys{"ABBAYE", "COTE", "CÔTE", "ÉCOLE", "ÉTANG", "ETOILE", "ÎLE",
                                     "ILOT", "NORD", "NORD", "ZOLA"}));
    EXPECT_EQ(Column(list, 1)[8], "010");
    EXPECT_EQ(list.Get(5), list.Get(5, 1) + kAttributeMark + list.Get(5, 2));  // whole row
    EXPECT_EQ(list.Get(1, 3), "");                                             // absent column
    EXPECT_EQ(list.Get(99, 1), "");                                            // absent row
}

TEST_P(QueryTest, SeveralParKeysThenTheKey) {
    test::Fill(*db_, {"QUARTIER;K1;1=B;2=2|QUARTIER;K2;1=A;2=2|QUARTIER;K3;1=B;2=1",
                      "QUARTIER;K4;1=A;2=1|QUARTIER;K0;1=A;2=2"});
    EXPECT_EQ(Run("SSELECT QUARTIER PAR 2 PAR 1", "0"), (Keys{"K4", "K3", "K0", "K2", "K1"}));
}

TEST_P(QueryTest, KeySelectionsPrefixSuffixExactContains) {
    test::Fill(*db_, {"SOUSSECTEUR;00102;1=B|SOUSSECTEUR;00101;1=A|SOUSSECTEUR;0010;1=SHORT",
                      "SOUSSECTEUR;00201;1=OTHER|SOUSSECTEUR;001;1=SECTOR|SOUSSECTEUR;00;1=BEFORE",
                      "SOUSSECTEUR;001é;1=ACCENT|SOUSSECTEUR;é1|SOUSSECTEUR;ê1|SOUSSECTEUR;ÿ9",
                      "SOUSSECTEUR;a1|SOUSSECTEUR;B1"});
    // clang-format off
    // Without PAR: byte order of the keys on every backend, whatever the
    // server's collation (which would put a1 before B1, or é1 beside e).
    EXPECT_EQ(Run("SSELECT SOUSSECTEUR", "0"),
              (Keys{"00", "001", "0010", "00101", "00102", "001é", "00201", "B1", "a1", "é1", "ê1",
                    "ÿ9"}));
    // clang-format on
    EXPECT_EQ(Run("SSELECT SOUSSECTEUR = '0010]'", "0"), (Keys{"0010", "00101", "00102"}));
    EXPECT_EQ(Run("SSELECT SOUSSECTEUR = '001]' PAR 1", "1"),
              (Keys{"A", "ACCENT", "B", "SECTOR", "SHORT"}));
    EXPECT_EQ(Run("SSELECT SOUSSECTEUR = 'é]'", "0"), (Keys{"é1"}));
    EXPECT_EQ(Run("SSELECT SOUSSECTEUR = 'ÿ]'", "0"), (Keys{"ÿ9"}));
    EXPECT_EQ(Run("SSELECT SOUSSECTEUR = '[01'", "0"), (Keys{"001", "00101", "00201"}));
    EXPECT_EQ(Run("SSELECT SOUSSECTEUR = '[02]'", "0"), (Keys{"00102", "00201"}));
    EXPECT_EQ(Run("SSELECT SOUSSECTEUR = '0010'", "0"), (Keys{"0010"}));
    EXPECT_EQ(Run("SSELECT SOUSSECTEUR = '0010'; DELETE FROM kelmor_records; --'", "0"), Keys{});
    EXPECT_EQ(Run("SSELECT SOUSSECTEUR", "0").size(), 12u);  // SQL in a key is only a key
}

INSTANTIATE_TEST_SUITE_P(Backends, QueryTest, test::AllBackends(), test::BackendParamName());

}  // namespace
}  // namespace kelmor
