// Query texts: the grammar (valid and malformed), the French order of PAR,
// ties by key, prefixes and suffixes.

#include "kelmor/query.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <string_view>

#include "test_database.h"
#include "test_support.h"

namespace kelmor {
namespace {

using Kind = KeySelection::Kind;
using Keys = std::vector<std::string>;

// A test name from a table row's query text: its row number, then its letters
// and digits with "_" for every run of anything else ("3_SSELECT_F_PAR_2").
template <class Info>
std::string QueryName(const Info& info) {
    std::string name = std::to_string(info.index) + "_";
    for (const unsigned char c : std::string_view(info.param.text)) {
        const bool plain = c < 0x80 && std::isalnum(c);
        if (plain)
            name += static_cast<char>(c);
        else if (name.back() != '_')
            name += '_';
    }
    if (name.back() != '_') return name;
    return name.size() > 2 ? name.substr(0, name.size() - 1) : name + "Empty";
}

struct ValidCase {
    const char* text;
    ParsedQuery expected;
};

class ValidQuery : public testing::TestWithParam<ValidCase> {};

TEST_P(ValidQuery, Parses) {
    EXPECT_EQ(ParseQuery(GetParam().text), GetParam().expected);
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
        ValidCase{"  SSELECT \t F   PAR   3  ", {true, "F", {}, {3}}}),
    [](const auto& info) { return QueryName(info); });

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
        BadCase{"SSELECT F\xFD", "value mark"}, BadCase{"SSELECT F = '\xC3'", "invalid UTF-8"}),
    [](const auto& info) { return QueryName(info); });

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
    void Fill(const std::string& file, const std::vector<std::vector<std::string>>& rows) {
        db_->CreateFile(file);
        for (const auto& row : rows) {
            DbRecord r = db_->OpenFile(file).NewRecord(row[0]);
            for (std::size_t a = 1; a < row.size(); ++a) r.Set(static_cast<int>(a), row[a]);
            r.DBWrite();
        }
    }
    Keys Run(const std::string& query, const std::string& columns, int column = 1) {
        return Column(test::Select(*db_, query, "", columns), column);
    }
    test::TestDatabase base_{GetParam()};
    std::shared_ptr<Database> db_ = base_.Open();
};

TEST_P(QueryTest, ParSortsAccentsWithTheirBaseLetterThenByKey) {
    // clang-format off
    Fill("SECTEUR", {{"001", "ZOLA"}, {"002", "ÉTANG"}, {"003", "ETOILE"}, {"004", "ABBAYE"},
                     {"005", "ÉCOLE"}, {"006", "CÔTE"}, {"007", "COTE"}, {"009", "ÎLE"},
                     {"008", "ILOT"}, {"011", "NORD"}, {"010", "NORD"}});
    // clang-format on
    const ResultList list = test::Select(*db_, "SSELECT SECTEUR PAR 1", "SECTEUR", "0 1");
    EXPECT_EQ(Column(list, 2), (Keys{"ABBAYE", "COTE", "CÔTE", "ÉCOLE", "ÉTANG", "ETOILE", "ÎLE",
                                     "ILOT", "NORD", "NORD", "ZOLA"}));
    EXPECT_EQ(Column(list, 1)[8], "010");
    EXPECT_EQ(list.Get(5), list.Get(5, 1) + kAttributeMark + list.Get(5, 2));  // whole row
    EXPECT_EQ(list.Get(1, 3), "");                                             // absent column
    EXPECT_EQ(list.Get(99, 1), "");                                            // absent row
}

TEST_P(QueryTest, SeveralParKeysThenTheKey) {
    // clang-format off
    Fill("QUARTIER", {{"K1", "B", "2"}, {"K2", "A", "2"}, {"K3", "B", "1"}, {"K4", "A", "1"},
                      {"K0", "A", "2"}});
    // clang-format on
    EXPECT_EQ(Run("SSELECT QUARTIER PAR 2 PAR 1", "0"), (Keys{"K4", "K3", "K0", "K2", "K1"}));
}

TEST_P(QueryTest, KeySelectionsPrefixSuffixExactContains) {
    // clang-format off
    Fill("SOUSSECTEUR", {{"00102", "B"}, {"00101", "A"}, {"0010", "SHORT"}, {"00201", "OTHER"},
                         {"001", "SECTOR"}, {"00", "BEFORE"}, {"001é", "ACCENT"}, {"é1"},
                         {"ê1"}, {"ÿ9"}, {"a1"}, {"B1"}});
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
