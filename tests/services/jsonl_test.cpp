#include "services/jsonl.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "kelmor/database.h"

namespace {

namespace jsonl = services::jsonl;

const std::string AM(1, kelmor::kAttributeMark);
const std::string VM(1, kelmor::kValueMark);
const std::string SM(1, kelmor::kSubValueMark);

struct LineCase {
    std::string whole;  // the record's whole text
    std::string line;   // the simplest JSON line for it
};

class JsonLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(JsonLineTest, WritesTheSimplestFormAndReadsItBack) {
    const LineCase& c = GetParam();
    const kelmor::DynArray data(c.whole);
    EXPECT_EQ(jsonl::ToLine("SECTEUR", "001", data), c.line);
    const jsonl::Record back = jsonl::FromLine(c.line);
    EXPECT_EQ(back.file, "SECTEUR");
    EXPECT_EQ(back.key, "001");
    EXPECT_EQ(back.data.Text(), data.Text());
}

const std::string kHead = R"({"file":"SECTEUR","key":"001","attributes":)";

INSTANTIATE_TEST_SUITE_P(
    Shapes, JsonLineTest,
    ::testing::Values(LineCase{"", kHead + "[]}"}, LineCase{"NORD", kHead + R"(["NORD"]})"},
                      LineCase{"NORD" + AM + AM + "A-12", kHead + R"(["NORD","","A-12"]})"},
                      LineCase{"NORD" + AM + "001" + VM + "004",
                               kHead + R"(["NORD",["001","004"]]})"},
                      LineCase{"a" + SM + "b", kHead + R"([[["a","b"]]]})"},
                      LineCase{"x" + VM + "a" + SM + "b" + VM, kHead + R"([["x",["a","b"],""]]})"},
                      LineCase{VM, kHead + R"([["",""]]})"},
                      // Accented and rare letters travel as UTF-8, unescaped.
                      LineCase{"NOËL" + AM + "þ" + VM + "ÿ", kHead + R"(["NOËL",["þ","ÿ"]]})"},
                      LineCase{"E:\\GED\\\"X\"", kHead + R"(["E:\\GED\\\"X\""]})"}));

struct EquivalentCase {
    std::string attributes;  // JSON
    std::string whole;
};

class EquivalentFormsTest : public ::testing::TestWithParam<EquivalentCase> {};

TEST_P(EquivalentFormsTest, ReadAsTheSameRecord) {
    const jsonl::Record record =
        jsonl::FromLine(R"({"key":"7","file":"F","attributes":)" + GetParam().attributes + "}");
    EXPECT_EQ(record.data.Text(), GetParam().whole);
}

INSTANTIATE_TEST_SUITE_P(Forms, EquivalentFormsTest,
                         ::testing::Values(EquivalentCase{R"([["A"]])", "A"},
                                           EquivalentCase{R"([[["A"]]])", "A"},
                                           EquivalentCase{R"([[]])", ""},
                                           EquivalentCase{R"([[[]]])", ""},
                                           EquivalentCase{R"(["A","",""])", "A"},
                                           EquivalentCase{R"(["",["B"]])", AM + "B"}));

TEST(JsonLineTest, AttributesMayBeLeftOut) {
    EXPECT_TRUE(jsonl::FromLine(R"({"file":"COMPTEUR","key":"999"})").data.Empty());
}

struct BadCase {
    std::string line;
    std::string reason;  // part of the message
};

class MalformedLineTest : public ::testing::TestWithParam<BadCase> {};

TEST_P(MalformedLineTest, IsRefusedSayingWhy) {
    try {
        jsonl::FromLine(GetParam().line);
        FAIL() << "accepted " << GetParam().line;
    } catch (const jsonl::FormatError& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().reason), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, MalformedLineTest,
    ::testing::Values(
        BadCase{R"({"file":"F","key":"1",)", "not valid JSON"}, BadCase{"", "not valid JSON"},
        BadCase{R"(["F","1"])", "must be a JSON object, not array"},
        BadCase{R"({"key":"1"})", "missing \"file\""},
        BadCase{R"({"file":"F"})", "missing \"key\""},
        BadCase{R"({"file":"F","key":"","attributes":[]})", "\"key\" is empty"},
        BadCase{R"({"file":"","key":"1"})", "\"file\" is empty"},
        BadCase{R"({"file":"F","key":1})", "\"key\" must be a text, not number"},
        BadCase{R"({"file":"F","key":"1","attribute":[]})", "unknown member \"attribute\""},
        BadCase{R"({"file":"F","key":"1","attributes":"A"})", "must be an array, not string"},
        BadCase{R"({"file":"F","key":"1","attributes":["A",3]})", "attribute 2 must be"},
        BadCase{R"({"file":"F","key":"1","attributes":[["A",null]]})",
                "attribute 1, value 2 must be"},
        BadCase{R"({"file":"F","key":"1","attributes":[["A",["b",["c"]]]]})",
                "attribute 1, value 2, sub-value 2 must be a text"},
        BadCase{"{\"file\":\"F\",\"key\":\"1\",\"attributes\":[\"\xFE\"]}", "not valid JSON"},
        BadCase{R"({"file":"F","key":"1","attributes":["a\u0000b"]})", "attribute 1"}));

TEST(JsonRowTest, ColumnsKeepTheirValues) {
    EXPECT_EQ(jsonl::RowToLine({"001", "NORD"}), R"(["001","NORD"])");
    EXPECT_EQ(jsonl::RowToLine({"001", "001" + VM + "004", ""}), R"(["001",["001","004"],""])");
    EXPECT_EQ(jsonl::RowToLine({}), "[]");
}

TEST(ReadRecordsTest, SkipsBlankLinesAndNamesEveryBadLine) {
    std::istringstream good(
        "{\"file\":\"A\",\"key\":\"1\"}\r\n\n  \n"
        "{\"file\":\"B\",\"key\":\"2\",\"attributes\":[\"x\"]}");
    const std::vector<jsonl::Record> records = jsonl::ReadRecords(good, "good.jsonl");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].file, "B");
    EXPECT_EQ(records[1].data.Get(1), "x");

    std::istringstream bad(
        "{\"file\":\"A\",\"key\":\"1\"}\n"
        "{\"file\":\"MON FICHIER\",\"key\":\"1\"}\n\n"
        "[1]\n"
        "{\"file\":\"A\",\"key\":\"1\"}\n");
    try {
        jsonl::ReadRecords(bad, "bad.jsonl");
        FAIL() << "bad lines accepted";
    } catch (const jsonl::LinesError& e) {
        ASSERT_EQ(e.lines().size(), 2u) << e.what();
        EXPECT_TRUE(e.lines()[0].starts_with("bad.jsonl:2: ")) << e.lines()[0];
        EXPECT_NE(e.lines()[0].find("MON FICHIER"), std::string::npos) << e.lines()[0];
        EXPECT_TRUE(e.lines()[1].starts_with("bad.jsonl:4: ")) << e.lines()[1];
    }
}

class StoreRecordsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("zonitra-jsonl-" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        db_ = kelmor::Database::OpenSqlite((dir_ / "store.sqlite").string());
    }
    void TearDown() override {
        db_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    static jsonl::Record Make(std::string file, std::string key, std::string whole) {
        return {std::move(file), std::move(key), kelmor::DynArray(whole)};
    }
    std::filesystem::path dir_;
    std::shared_ptr<kelmor::Database> db_;
};

TEST_F(StoreRecordsTest, CreatesFilesAndLaterRecordsReplaceEarlierOnes) {
    EXPECT_EQ(jsonl::StoreRecords(*db_, {Make("A", "1", "old"), Make("B", "1", "b"),
                                         Make("A", "1", "new" + AM + "x")}),
              2u);
    EXPECT_EQ(db_->OpenFile("A").ReadRecord("1").Text(), "new" + AM + "x");
    EXPECT_EQ(db_->OpenFile("B").ReadRecord("1").Get(1), "b");
}

TEST_F(StoreRecordsTest, StoresNothingWhenOneRecordFails) {
    db_->CreateFile("A");
    EXPECT_THROW(jsonl::StoreRecords(*db_, {Make("A", "1", "a"), Make("NEW", "1", "n"),
                                            Make("A B", "2", "bad file name")}),
                 kelmor::Error);
    EXPECT_FALSE(db_->OpenFile("A").TryReadRecord("1"));
    EXPECT_FALSE(db_->HasFile("NEW"));
}

}  // namespace
