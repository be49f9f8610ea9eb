// Query texts: the grammar (valid and malformed), the French order of PAR,
// ties by key, prefixes, suffixes and the column list.

#include "kelmor/query.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace kelmor {
namespace {

using Kind = KeySelection::Kind;

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
        ValidCase{"SSELECT F = ']'", {true, "F", {Kind::Prefix, ""}, {}}},
        ValidCase{"SSELECT F = '['", {true, "F", {Kind::Suffix, ""}, {}}},
        ValidCase{"SSELECT F = 'É]' PAR 9999", {true, "F", {Kind::Prefix, "É"}, {9999}}},
        ValidCase{"  SSELECT \t F   PAR   3  ", {true, "F", {}, {3}}}));

struct BadCase {
    const char* text;
    const char* complaint;  // expected in the message
};

class MalformedQuery : public testing::TestWithParam<BadCase> {};

TEST_P(MalformedQuery, IsABadQueryErrorNamingTheProblem) {
    try {
        (void)ParseQuery(GetParam().text);
        FAIL() << "accepted: " << GetParam().text;
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), kBadQuery);
        EXPECT_NE(std::string(e.what()).find(GetParam().complaint), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Grammar, MalformedQuery,
    testing::Values(
        BadCase{"", "empty"}, BadCase{"   ", "empty"},
        BadCase{"LIST SECTEUR", "must start with SSELECT or SELECT, not \"LIST\""},
        BadCase{"SSELECT", "a file name must follow"},
        BadCase{"SSELECT = 'x'", "a file name must follow"},
        BadCase{"SSELECT F PAR", "PAR at position 11 needs an attribute number"},
        BadCase{"SSELECT F PAR X", "not \"X\""}, BadCase{"SSELECT F PAR 0", "not \"0\""},
        BadCase{"SSELECT F PAR 10000", "from 1 to 9999"}, BadCase{"SSELECT F PAR -1", "not \"-1\""},
        BadCase{"SSELECT F PAR '1'", "not the quoted text '1'"},
        BadCase{"SSELECT F = 'abc", "opened at position 13 is not closed"},
        BadCase{"SSELECT F = abc", "must be followed by a quoted text"},
        BadCase{"SSELECT F =", "must be followed by a quoted text"},
        BadCase{"SSELECT F 'abc'", "the quoted text 'abc' at position 11 must follow '='"},
        BadCase{"SSELECT F = 'a]' = 'b]'", "a second key selection"},
        BadCase{"SSELECT F BY 1", "unexpected \"BY\""},
        BadCase{"SSELECT F PAR 1 WITH", "unexpected \"WITH\""},
        BadCase{"SSELECT F; DROP TABLE kelmor_records", "is not a file name"},
        BadCase{"SSELECT F\xFD", "value mark"}, BadCase{"SSELECT F = '\xC3'", "invalid UTF-8"}));

// Every prefix and every one-byte change of valid texts either parses or is a
// kBadQuery error: no other exception, no crash (run under the sanitizers).
TEST(QueryRobustness, MutatedTextsParseOrFailCleanly) {
    const std::vector<std::string> seeds = {"SSELECT SOUSSECTEUR = '00101]' PAR 1",
                                            "SELECT F = \"[A'B]\" PAR 12 PAR 3"};
    const std::string replacements = std::string(" '\"=[]P0-\xFD\xC3\0", 12);
    int parsed = 0, refused = 0;
    const auto attempt = [&](const std::string& text) {
        try {
            (void)ParseQuery(text);
            ++parsed;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), kBadQuery) << test::Shown(text);
            ++refused;
        }
    };
    for (const std::string& seed : seeds) {
        for (std::size_t n = 0; n <= seed.size(); ++n) attempt(seed.substr(0, n));
        for (std::size_t i = 0; i < seed.size(); ++i) {
            for (char r : replacements) {
                std::string text = seed;
                text[i] = r;
                attempt(text);
            }
        }
    }
    EXPECT_GT(parsed, 0);
    EXPECT_GT(refused, 0);
}

struct ColumnsCase {
    const char* text;
    std::vector<int> expected;  // empty: malformed
};

class ColumnList : public testing::TestWithParam<ColumnsCase> {};

TEST_P(ColumnList, ParsesOrNamesTheBadWord) {
    const ColumnsCase& c = GetParam();
    if (!c.expected.empty()) {
        EXPECT_EQ(ParseColumns(c.text), c.expected);
        return;
    }
    try {
        (void)ParseColumns(c.text);
        FAIL() << "accepted: " << c.text;
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), kBadQuery);
        EXPECT_NE(std::string(e.what()).find("not an attribute number"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(Grammar, ColumnList,
                         testing::Values(ColumnsCase{"0 1", {0, 1}}, ColumnsCase{"1 ", {1}},
                                         ColumnsCase{"", {0}}, ColumnsCase{" 3  0 ", {3, 0}},
                                         ColumnsCase{"a", {}}, ColumnsCase{"1,2", {}},
                                         ColumnsCase{"-1", {}}, ColumnsCase{"10000", {}},
                                         ColumnsCase{"0\xFD"
                                                     "1",
                                                     {}}));

struct BoundCase {
    std::string prefix;
    std::optional<std::string> bound;
};

class UpperBound : public testing::TestWithParam<BoundCase> {};

TEST_P(UpperBound, IsTheFirstStringAfterThePrefix) {
    EXPECT_EQ(PrefixUpperBound(GetParam().prefix), GetParam().bound);
}

INSTANTIATE_TEST_SUITE_P(Keys, UpperBound,
                         testing::Values(BoundCase{"001", "002"}, BoundCase{"00A", "00B"},
                                         BoundCase{"é", "\xC3\xAA"},  // é is C3 A9
                                         BoundCase{"ÿ", "\xC3\xC0"},  // ÿ is C3 BF
                                         BoundCase{"a\xFF\xFF", "b"}, BoundCase{"", std::nullopt},
                                         BoundCase{"\xFF", std::nullopt}));

// Records the selections the query engine hands to storage.
class RecordingBackend : public Backend {
public:
    explicit RecordingBackend(std::shared_ptr<Database> inner) : inner_(std::move(inner)) {}
    bool HasFile(std::string_view f) override { return b().HasFile(f); }
    void CreateFile(std::string_view f) override { b().CreateFile(f); }
    std::vector<std::string> FileNames() override { return b().FileNames(); }
    std::optional<std::string> Read(std::string_view f, std::string_view k) override {
        return b().Read(f, k);
    }
    void Write(std::string_view f, std::string_view k, std::string_view w) override {
        b().Write(f, k, w);
    }
    bool Delete(std::string_view f, std::string_view k) override { return b().Delete(f, k); }
    void Scan(std::string_view f, const KeySelection& s, const Visitor& v) override {
        scans.push_back(s);
        b().Scan(f, s, [&](std::string_view k, std::string_view w) {
            ++visited;
            v(k, w);
        });
    }
    void Begin() override { b().Begin(); }
    void Commit() override { b().Commit(); }
    void Rollback() noexcept override { b().Rollback(); }
    bool InTransaction() const noexcept override { return inner_->backend().InTransaction(); }

    std::vector<KeySelection> scans;
    int visited = 0;

private:
    Backend& b() { return inner_->backend(); }
    std::shared_ptr<Database> inner_;
};

class QueryTest : public testing::Test {
protected:
    void SetUp() override {
        backend_ = std::make_shared<RecordingBackend>(Database::OpenSqlite(dir_.File("q.db")));
        db_ = std::make_shared<Database>(backend_);
    }
    void Fill(const std::string& file,
              const std::vector<std::pair<std::string, std::string>>& keyLabels) {
        db_->CreateFile(file);
        const DbFile f = db_->OpenFile(file);
        for (const auto& [key, label] : keyLabels) {
            DbRecord r = f.NewRecord(key);
            r.Set(1, label);
            r.DBWrite();
        }
    }
    ResultList Run(const std::string& query, const std::string& file, const std::string& columns) {
        DynArray request;
        request.Set(1, query);
        request.Set(2, file);
        request.Set(3, columns);
        std::int32_t count = -1;
        ResultList list = db_->Query(request.Text(), "", count);
        EXPECT_EQ(count, list.DCount());
        return list;
    }
    static std::vector<std::string> Column(const ResultList& list, int c) {
        std::vector<std::string> out;
        for (int r = 1; r <= list.DCount(); ++r) out.push_back(list.Get(r, c));
        return out;
    }

    test::TempDir dir_;
    std::shared_ptr<RecordingBackend> backend_;
    std::shared_ptr<Database> db_;
};

TEST_F(QueryTest, ParSortsAccentsWithTheirBaseLetter) {
    Fill("SECTEUR", {{"001", "ZOLA"},
                     {"002", "ÉTANG"},
                     {"003", "ETOILE"},
                     {"004", "ABBAYE"},
                     {"005", "ÉCOLE"},
                     {"006", "CÔTE"},
                     {"007", "COTE"},
                     {"008", "ILOT"},
                     {"009", "ÎLE"}});
    const ResultList list = Run("SSELECT SECTEUR PAR 1", "SECTEUR", "0 1");
    EXPECT_EQ(Column(list, 2), (std::vector<std::string>{"ABBAYE", "COTE", "CÔTE", "ÉCOLE", "ÉTANG",
                                                         "ETOILE", "ÎLE", "ILOT", "ZOLA"}));
    EXPECT_EQ(list.Get(5, 1), "002");
    EXPECT_EQ(list.Get(5), list.Get(5, 1) + kAttributeMark + list.Get(5, 2));
}

TEST_F(QueryTest, EqualLabelsAreOrderedByKey) {
    Fill("SECTEUR",
         {{"009", "NORD"}, {"003", "NORD"}, {"100", "EST"}, {"007", "NORD"}, {"001", "SUD"}});
    const ResultList list = Run("SSELECT SECTEUR PAR 1", "SECTEUR", "0 1");
    EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"100", "003", "007", "009", "001"}));
}

TEST_F(QueryTest, SeveralParKeysThenTheKey) {
    db_->CreateFile("QUARTIER");
    const DbFile f = db_->OpenFile("QUARTIER");
    const std::vector<std::tuple<std::string, std::string, std::string>> rows = {
        {"K1", "B", "2"}, {"K2", "A", "2"}, {"K3", "B", "1"}, {"K4", "A", "1"}, {"K0", "A", "2"}};
    for (const auto& [key, a1, a2] : rows) {
        DbRecord r = f.NewRecord(key);
        r.Set(1, a1);
        r.Set(2, a2);
        r.DBWrite();
    }
    EXPECT_EQ(Column(Run("SSELECT QUARTIER PAR 2 PAR 1", "", "0"), 1),
              (std::vector<std::string>{"K4", "K3", "K0", "K2", "K1"}));
}

TEST_F(QueryTest, MultiValuedSortAttributeComparesValueByValue) {
    db_->CreateFile("F");
    const DbFile f = db_->OpenFile("F");
    const std::vector<std::pair<std::string, std::vector<std::string>>> rows = {
        {"A", {"X", "B"}}, {"B", {"X"}}, {"C", {}}, {"D", {"X", "A"}}, {"E", {"W", "Z"}}};
    for (const auto& [key, values] : rows) {
        DbRecord r = f.NewRecord(key);
        r.SetValues(1, values);
        r.Set(2, "x");
        r.DBWrite();
    }
    EXPECT_EQ(Column(Run("SSELECT F PAR 1", "F", "0"), 1),
              (std::vector<std::string>{"C", "E", "B", "D", "A"}));
}

TEST_F(QueryTest, PrefixSelectsAKeyRangeOnly) {
    Fill("SOUSSECTEUR", {{"00102", "B"},
                         {"00101", "A"},
                         {"0010", "SHORT"},
                         {"00201", "OTHER"},
                         {"001", "SECTOR"},
                         {"00", "BEFORE"},
                         {"001é", "ACCENT"}});
    const ResultList list = Run("SSELECT SOUSSECTEUR = '0010]'", "SOUSSECTEUR", "0");
    EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"0010", "00101", "00102"}));
    ASSERT_EQ(backend_->scans.size(), 1U);
    EXPECT_EQ(backend_->scans[0], (KeySelection{Kind::Prefix, "0010"}));
    EXPECT_EQ(backend_->visited, 3);  // the other keys are never read

    EXPECT_EQ(Column(Run("SSELECT SOUSSECTEUR = '001]' PAR 1", "SOUSSECTEUR", "1"), 1),
              (std::vector<std::string>{"A", "ACCENT", "B", "SECTOR", "SHORT"}));
}

TEST_F(QueryTest, MultiByteAndLastCharacterPrefixes) {
    Fill("F", {{"é1", "1"}, {"é2", "2"}, {"ê1", "3"}, {"e1", "4"}, {"ÿ9", "5"}, {"ĀZ", "6"}});
    EXPECT_EQ(Column(Run("SSELECT F = 'é]'", "F", "0"), 1), (std::vector<std::string>{"é1", "é2"}));
    EXPECT_EQ(Column(Run("SSELECT F = 'ÿ]'", "F", "0"), 1), (std::vector<std::string>{"ÿ9"}));
}

TEST_F(QueryTest, ExactSuffixAndContainsSelections) {
    Fill("QUARTIER", {{"0010101", "A"}, {"0010102", "B"}, {"0020101", "C"}, {"0020201", "D"}});
    EXPECT_EQ(Column(Run("SSELECT QUARTIER = '0010102'", "", "0"), 1),
              (std::vector<std::string>{"0010102"}));
    EXPECT_EQ(Run("SSELECT QUARTIER = '001010'", "", "0").DCount(), 0);
    EXPECT_EQ(Column(Run("SSELECT QUARTIER = '[01'", "", "0"), 1),
              (std::vector<std::string>{"0010101", "0020101", "0020201"}));
    EXPECT_EQ(Column(Run("SSELECT QUARTIER = '[202]'", "", "0"), 1),
              (std::vector<std::string>{"0020201"}));
    EXPECT_EQ(Column(Run("SELECT QUARTIER", "", "1 0"), 1),
              (std::vector<std::string>{"A", "B", "C", "D"}));
}

TEST_F(QueryTest, EmptyFileAndCountOnlyQueries) {
    Fill("ASSOCIATION", {});
    EXPECT_EQ(Run("SSELECT ASSOCIATION", "ASSOCIATION", "1 ").DCount(), 0);
    Fill("SECTEUR", {{"001", "NORD"}});
    const ResultList list = Run("SSELECT SECTEUR", "SECTEUR", "1 ");
    EXPECT_EQ(list.DCount(), 1);
    EXPECT_EQ(list.Get(1, 1), "NORD");
    EXPECT_EQ(list.Get(1, 2), "");  // absent column
    EXPECT_EQ(list.Get(2, 1), "");  // absent row
    EXPECT_EQ(list.Get(0), "");
}

TEST_F(QueryTest, BadRequestsAreBadQueryErrorsAndLeaveTheDataAlone) {
    Fill("SECTEUR", {{"001", "NORD"}});
    std::int32_t count = 0;
    const auto expectBad = [&](const std::string& request, const std::string& selectList,
                               const char* complaint) {
        try {
            (void)db_->Query(request, selectList, count);
            ADD_FAILURE() << "accepted: " << test::Shown(request);
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), kBadQuery);
            EXPECT_NE(std::string(e.what()).find(complaint), std::string::npos) << e.what();
        }
    };
    expectBad(test::Marks("SSELECT SECTEUR^QUARTIER^0 1"), "", "request names the file QUARTIER");
    expectBad(test::Marks("SSELECT SECTEUR^SECTEUR^0 1"), "X", "empty select list");
    expectBad(test::Marks("SSELECT SECTEUR^SECTEUR^0 X"), "", "\"X\" is not an attribute number");
    expectBad("SSELECT SECTEUR\xC3", "", "not valid UTF-8");
    expectBad(test::Marks("^SECTEUR^0 1"), "", "empty");
    // SQL in a selection is only a key that no record has.
    EXPECT_EQ(Run("SSELECT SECTEUR = ''; DELETE FROM kelmor_records; --'", "", "0").DCount(), 0);
    EXPECT_EQ(Run("SSELECT SECTEUR", "", "0 1").DCount(), 1);
}

}  // namespace
}  // namespace kelmor
