// The JSON-lines reader and loader: every bad line is named with its reason,
// memory stays bounded whatever the input, and a load stores all or nothing.

#include "services/jsonl.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "kelmor/database.h"
#include "test_support.h"

namespace {

namespace jsonl = services::jsonl;
using namespace std::string_literals;

struct BadLine {
    std::string line;
    const char* reason;
};

class BadLines : public testing::TestWithParam<BadLine> {};

TEST_P(BadLines, AreRefusedWithTheirReason) {
    std::istringstream in("{\"file\":\"S\",\"key\":\"0\"}\n" + GetParam().line + "\n");
    jsonl::Reader reader(in, "in");
    jsonl::StoredRecord record;
    ASSERT_TRUE(reader.Next(record));
    EXPECT_FALSE(reader.Next(record));
    try {
        reader.ThrowIfBadLines();
        FAIL() << "accepted: " << GetParam().line;
    } catch (const jsonl::LinesError& e) {
        ASSERT_EQ(e.lines().size(), 1U);
        EXPECT_EQ(e.lines()[0].rfind("in:2: ", 0), 0U) << e.lines()[0];
        EXPECT_NE(e.lines()[0].find(GetParam().reason), std::string::npos) << e.lines()[0];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Reader, BadLines,
    testing::Values(
        BadLine{"{\"file\":\"S\",\"key\":\"1\",\"attributes\":[1]}",
                "attribute 1 must be a text or an array of values, not number"},
        BadLine{"{\"file\":\"S\",\"key\":\"1\",\"attributes\":[\"a\",[\"b\",{}]]}",
                "attribute 2, value 2 must be a text or an array of sub-values, not object"},
        BadLine{"{\"file\":\"S\",\"key\":\"1\",\"attributes\":[[[\"a\",[]]]]}",
                "attribute 1, value 1, sub-value 2 must be a text, not array"},
        BadLine{"{\"file\":\"S\",\"key\":\"1\",\"attributes\":[[\"a\",\"\\u0000\"]]}",
                "attribute 1, value 2: the text contains a NUL"},
        BadLine{"{\"file\":\"S\",\"key\":\"1\",\"attributes\":\"a\"}",
                "\"attributes\" must be an array, not string"},
        BadLine{"{\"file\":\"S\",\"key\":\"1\",\"key\":\"2\"}", "\"key\" is given twice"},
        BadLine{"{\"file\":\"S\"}", "missing \"key\""},
        BadLine{"{\"file\":7,\"key\":\"1\"}", "\"file\" must be a text, not number"},
        BadLine{"{\"file\":\"\",\"key\":\"1\"}", "\"file\" is empty"},
        BadLine{"{\"file\":\"S T\",\"key\":\"1\"}", "file name \"S T\" is not allowed"},
        BadLine{"{\"file\":\"S\",\"key\":\"1\",\"note\":1}", "unknown member \"note\""},
        BadLine{"[{\"file\":\"S\",\"key\":\"1\"}]", "a record must be a JSON object, not array"},
        BadLine{"{\"file\":\"S\",\"key\":\"1\"} {}", "not valid JSON"},
        BadLine{"{\"file\":\"S\",\"key\":\"\xC3\"}", "not valid JSON"},
        BadLine{"{\"file\":\"S\",\"key\":\"1\"}\0{\"file\":\"S\",\"key\":\"2\"}"s,
                "a NUL byte at byte 23"}));

TEST(Reader, ReadsEveryFormAsTheSameRecordAndCountsLines) {
    std::istringstream in(
        "\r\n{\"key\":\"1\",\"file\":\"S\",\"attributes\":[[\"A\"],\"\",[[]],[[\"b\",\"c\"],\"d\"],"
        "[]]}"
        "\r\n   "
        "\n{\"file\":\"S\",\"key\":\"2\",\"attributes\":[]}\n{\"file\":\"S\",\"key\":\"3\"}");
    jsonl::Reader reader(in, "in");
    jsonl::StoredRecord record;
    ASSERT_TRUE(reader.Next(record));
    EXPECT_EQ(record.whole,
              "A\xFE\xFE\xFE"
              "b\xFC"
              "c\xFD"
              "d");
    ASSERT_TRUE(reader.Next(record));
    EXPECT_EQ(record.whole, "");
    ASSERT_TRUE(reader.Next(record));
    EXPECT_EQ(record.key, "3") << "a last line without its line feed";
    EXPECT_FALSE(reader.Next(record));
    EXPECT_NO_THROW(reader.ThrowIfBadLines());
}

TEST(Reader, KeepsMemoryBoundedByNamingAFewBadLinesAndSkippingHugeOnes) {
    std::string input(jsonl::kMaxLineBytes + 10, 'x');
    input += "\n{\"file\":\"S\",\"key\":\"after\"}\n";
    for (int i = 0; i < 150; ++i) input += "nope\n";
    std::istringstream in(input);
    jsonl::Reader reader(in, "in");
    jsonl::StoredRecord record;
    ASSERT_TRUE(reader.Next(record));
    EXPECT_EQ(record.key, "after");
    EXPECT_FALSE(reader.Next(record));
    try {
        reader.ThrowIfBadLines();
        FAIL();
    } catch (const jsonl::LinesError& e) {
        EXPECT_EQ(e.total(), 151U);
        ASSERT_EQ(e.lines().size(), jsonl::kMaxReportedLines);
        EXPECT_EQ(e.lines()[0], "in:1: the line is longer than 16 MiB");
        EXPECT_EQ(e.lines()[1].rfind("in:3: not valid JSON", 0), 0U);
        EXPECT_NE(std::string(e.what()).find("... and 51 more bad line(s)"), std::string::npos);
    }
}

class StagedLoad : public testing::Test {
protected:
    kelmor::test::TempDir temp_;
    std::string dir_ = temp_.Dir();
    std::shared_ptr<kelmor::Database> db_ = kelmor::Database::OpenSqlite(temp_.File("l.sqlite"));
};

TEST_F(StagedLoad, StoresInOrderReplacingWholeRecordsOrNothingAtAll) {
    db_->CreateFile("S");
    kelmor::DbRecord old = db_->OpenFile("S").NewRecord("1");
    old.SetText(
        "OLD\xFE"
        "KEPT?");
    old.DBWrite();

    std::istringstream bad("{\"file\":\"S\",\"key\":\"1\",\"attributes\":[\"NEW\"]}\n{oops\n");
    EXPECT_THROW(jsonl::StagedLoad(bad, "bad", dir_), jsonl::LinesError);
    EXPECT_EQ(db_->OpenFile("S").ReadRecord("1").Text(),
              "OLD\xFE"
              "KEPT?");

    std::istringstream good(
        "{\"file\":\"S\",\"key\":\"1\",\"attributes\":[\"FIRST\"]}\n"
        "{\"file\":\"T\",\"key\":\"9\",\"attributes\":[\"T\"]}\n"
        "{\"file\":\"S\",\"key\":\"1\",\"attributes\":[\"NEW\"]}\n");
    jsonl::StagedLoad load(good, "good", dir_);
    EXPECT_EQ(load.Records(), 3U);
    const jsonl::LoadResult result = load.Store(*db_);
    EXPECT_EQ(result.records, 3U);
    EXPECT_EQ(result.files, 2U);
    EXPECT_EQ(db_->OpenFile("S").ReadRecord("1").Text(), "NEW") << "the last line wins, whole";
    EXPECT_EQ(db_->OpenFile("T").ReadRecord("9").Text(), "T");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 3)
        << "only the database and its two WAL files: the staging file is gone";
}

TEST_F(StagedLoad, AFailedStoreStoresNothing) {
    std::istringstream in(
        "{\"file\":\"S\",\"key\":\"1\",\"attributes\":[\"A\"]}\n"
        "{\"file\":\"S\",\"key\":\"2\",\"attributes\":[\"B\"]}\n");
    jsonl::StagedLoad load(in, "in", dir_);
    auto readOnly = kelmor::Database::OpenSqlite(dir_ + "/l.sqlite", kelmor::OpenMode::ReadOnly);
    try {
        load.Store(*readOnly);
        FAIL();
    } catch (const kelmor::Error& e) {
        EXPECT_EQ(e.number(), kelmor::kReadOnly);
    }
    EXPECT_TRUE(db_->FileNames().empty());
    EXPECT_THROW(jsonl::StagedLoad(in, "in", dir_ + "/none"), kelmor::Error);
}

}  // namespace
