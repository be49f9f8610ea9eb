// Text never mixes with the marks: what an operator can type round-trips,
// and a mark or invalid UTF-8 inside a value is refused before anything is
// stored.

#include <gtest/gtest.h>

#include <string>

#include "kelmor/database.h"
#include "test_support.h"

namespace kelmor {
namespace {

class DelimiterSafety : public testing::Test {
protected:
    void SetUp() override {
        db_ = Database::OpenSqlite(dir_.File("d.db"));
        db_->CreateFile("SECTEUR");
        file_ = std::make_unique<DbFile>(db_->OpenFile("SECTEUR"));
    }
    ResultList Select(const std::string& query, const std::string& columns) {
        DynArray request;
        request.Set(1, query);
        request.Set(2, "SECTEUR");
        request.Set(3, columns);
        std::int32_t count = 0;
        return db_->Query(request.Text(), "", count);
    }

    test::TempDir dir_;
    std::shared_ptr<Database> db_;
    std::unique_ptr<DbFile> file_;
};

class TypedText : public DelimiterSafety, public testing::WithParamInterface<const char*> {};

TEST_P(TypedText, RoundTripsThroughWriteReadAndQuery) {
    const std::string text = GetParam();
    DbRecord record = file_->NewRecord("001");
    record.Set(1, text);
    record.Set(2, 2, 2, text);
    record.SetValues(3, {text, text});
    record.DBWrite();

    const DbRecord read = file_->ReadRecord("001");
    EXPECT_EQ(read.Get(1), text);
    EXPECT_EQ(read.Get(2, 2, 2), text);
    EXPECT_EQ(read.DCount(2), 2);
    EXPECT_EQ(read.Values(3), (std::vector<std::string>{text, text}));
    EXPECT_EQ(read.AttributeCount(), 3);

    const ResultList list = Select("SSELECT SECTEUR PAR 1", "0 1");
    ASSERT_EQ(list.DCount(), 1);
    EXPECT_EQ(list.Get(1, 1), "001");
    EXPECT_EQ(list.Get(1, 2), text);
}

TEST_P(TypedText, WorksAsAKeyAndAsAPrefix) {
    const std::string key = std::string(GetParam()) + "01";
    file_->NewRecord(key).DBWrite();
    file_->NewRecord("ZZZ").DBWrite();
    EXPECT_EQ(file_->ReadRecord(key).Key(), key);
    const ResultList list = Select("SSELECT SECTEUR = '" + std::string(GetParam()) + "]'", "0");
    ASSERT_EQ(list.DCount(), 1);
    EXPECT_EQ(list.Get(1, 1), key);
}

INSTANTIATE_TEST_SUITE_P(French, TypedText,
                         testing::Values("NOËL", "MÜLLER", "SAINT-ÉTIENNE", "ÿ", "þ", "ÿþýü",
                                         "L'HAŸ-LES-ROSES", "ŒUVRE", "À ÂÇÈÉÊËÎÏÔÙÛ", "5 €",
                                         "«QUARTIER»", "\xF0\x9F\x98\x80"));

struct BadText {
    const char* name;
    std::string text;
    const char* problem;  // expected in the message
};

class RejectedText : public DelimiterSafety, public testing::WithParamInterface<BadText> {};

TEST_P(RejectedText, IsRefusedAndNothingIsStored) {
    DbRecord record = file_->NewRecord("001");
    record.Set(1, "CENTRE");
    record.DBWrite();

    const std::string& bad = GetParam().text;
    const auto expectRefused = [&](auto&& call, const char* how) {
        try {
            call();
            ADD_FAILURE() << how << " accepted " << GetParam().name;
        } catch (const DelimiterError& e) {
            EXPECT_EQ(e.number(), kBadValue);
            EXPECT_NE(std::string(e.what()).find(GetParam().problem), std::string::npos)
                << e.what();
        }
    };
    expectRefused([&] { record.Set(1, bad); }, "Set");
    expectRefused([&] { record.Set(2, 1, "x" + bad); }, "Set of a value");
    expectRefused([&] { record.Set(2, 1, 2, bad + "x"); }, "Set of a sub-value");
    expectRefused([&] { record.SetValues(3, {"ok", bad}); }, "SetValues");
    expectRefused([&] { (void)file_->NewRecord(bad); }, "NewRecord");
    EXPECT_EQ(record.Text(), "CENTRE");

    record.DBWrite();
    EXPECT_EQ(file_->ReadRecord("001").Text(), "CENTRE");
    EXPECT_EQ(Select("SSELECT SECTEUR", "0").DCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Marks, RejectedText,
    testing::Values(BadText{"AttributeMark",
                            "A\xFE"
                            "B",
                            "attribute mark (byte 0xFE)"},
                    BadText{"ValueMark", "\xFD", "value mark (byte 0xFD)"},
                    BadText{"SubValueMark", "AB\xFC", "sub-value mark (byte 0xFC)"},
                    BadText{"Truncated", "NO\xC3", "invalid UTF-8"},
                    BadText{"BadContinuation", "\xC3(", "invalid UTF-8"},
                    BadText{"Surrogate", "\xED\xA0\x80", "invalid UTF-8"},
                    BadText{"Overlong", "\xC0\xAF", "invalid UTF-8"},
                    BadText{"BeyondUnicode", "\xF5\x80\x80\x80", "invalid UTF-8"},
                    BadText{"Latin1", "NO\xCBL", "invalid UTF-8"},
                    BadText{"Nul", std::string("A\0B", 3), "NUL"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DelimiterSafety, WholeTextsKeepTheirMarksButNotInvalidBytes) {
    DbRecord record = file_->NewRecord("001");
    record.SetText(test::Marks("NOËL]MÜLLER^þ\\ÿ"));
    EXPECT_EQ(record.DCount(1), 2);
    EXPECT_EQ(record.Get(2, 1, 2), "ÿ");
    EXPECT_THROW(record.SetText("NO\xCBL"), DelimiterError);
    EXPECT_EQ(record.Get(1, 1), "NOËL");
    EXPECT_THROW(DynArray(std::string("A\0B", 3)), DelimiterError);
}

TEST_F(DelimiterSafety, QueryColumnsKeepValueMarks) {
    DbRecord record = file_->NewRecord("001");
    record.SetValues(17, {"A1", "Ü2"});
    record.DBWrite();
    const ResultList list = Select("SSELECT SECTEUR", "0 17");
    ASSERT_EQ(list.DCount(), 1);
    EXPECT_EQ(DynArray(list.Get(1)).Get(2, 2), "Ü2");
    EXPECT_EQ(list.Get(1, 2), test::Marks("A1]Ü2"));
}

}  // namespace
}  // namespace kelmor
