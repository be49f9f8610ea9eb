// The JSON-lines reader and loader: every bad line is named with its reason,
// memory stays bounded whatever the input, and a load stores all or nothing.

#include "services/jsonl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "kelmor/database.h"
#include "kelmor/forwarding_backend.h"
#include "test_database.h"
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

// Lines on which JSON parsers are known to part ways. Each line reads as the
// same record, or fails with the same message, whichever parser takes it:
// the fast parser may decline any line, but a record it reads is the
// general parser's.
struct ParsedLine {
    std::string line;
    std::string whole;        // the record's text when the line is good
    const char* reason;       // a part of the message when it is bad
    bool mustBeFast = false;  // a plain record: the fast parser must take it
};

class BothParsers : public testing::TestWithParam<ParsedLine> {};

TEST_P(BothParsers, ReadTheSameRecordOrNameTheSameFault) {
    const ParsedLine& p = GetParam();
    jsonl::StoredRecord general, fast, read;
    std::string message;
    try {
        jsonl::FromLineGeneral(p.line, general);
    } catch (const jsonl::FormatError& e) {
        message = e.what();
    }
    try {
        jsonl::FromLine(p.line, read);
        EXPECT_EQ(read.whole, general.whole);
        EXPECT_EQ(read.key, general.key);
    } catch (const jsonl::FormatError& e) {
        EXPECT_EQ(e.what(), message);
    }
    std::string padded = p.line + std::string(jsonl::kLinePadding, '"');
    const bool took = jsonl::FromLineFast({padded.data(), p.line.size()}, fast);
    if (p.reason) {
        EXPECT_NE(message.find(p.reason), std::string::npos) << message;
        EXPECT_FALSE(took) << "the fast parser took a bad line";
        return;
    }
    ASSERT_EQ(message, "");
    EXPECT_EQ(general.whole, p.whole);
    EXPECT_EQ(general.file, "S");
    EXPECT_EQ(general.key, "1");
    EXPECT_TRUE(took || !p.mustBeFast) << "left to the general parser";
    if (took) {
        EXPECT_EQ(fast.whole, p.whole);
        EXPECT_EQ(fast.file, "S");
        EXPECT_EQ(fast.key, "1");
    }
}

std::string Rec(const std::string& attributes) {
    return "{\"file\":\"S\",\"key\":\"1\",\"attributes\":" + attributes + "}";
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BothParsers,
    testing::Values(
        ParsedLine{Rec(R"(["a\"b\\c\/d\n\t\u00e9\u20AC"])"), "a\"b\\c/d\n\t\xC3\xA9\xE2\x82\xAC",
                   nullptr, true},
        ParsedLine{Rec(R"(["\ud83d\ude00"])"), "\xF0\x9F\x98\x80", nullptr, true},
        ParsedLine{Rec(R"(["\ud83d"])"), "", "not valid JSON"},
        ParsedLine{Rec(R"(["\ude00x"])"), "", "not valid JSON"},
        ParsedLine{Rec(R"(["\ud83d\u0041"])"), "", "not valid JSON"},
        ParsedLine{Rec(R"(["\ud83d\ud83d"])"), "", "not valid JSON"},
        ParsedLine{Rec(R"(["\x"])"), "", "not valid JSON"},
        ParsedLine{Rec(R"(["\u12"])"), "", "not valid JSON"},
        ParsedLine{Rec("[\"\xC3(\"]"), "", "not valid JSON"},
        ParsedLine{Rec("[\"\xC0\xAF\"]"), "", "not valid JSON"},
        ParsedLine{Rec("[\"\xED\xA0\x80\"]"), "", "not valid JSON"},
        ParsedLine{Rec("[\"\xF4\x90\x80\x80\"]"), "", "not valid JSON"},
        ParsedLine{Rec("[\"a\tb\"]"), "", "not valid JSON"},
        ParsedLine{Rec("[\"a\x1F\"]"), "", "not valid JSON"},
        ParsedLine{Rec("[\"a\x7F\"]"), "a\x7F", nullptr, true},
        ParsedLine{Rec(R"(["\u007f\u0001"])"), "\x7F\x01", nullptr, true},
        ParsedLine{"{\"file\":\"S\",\t\"key\":\"1\"}", "", nullptr},
        ParsedLine{" \t{ \"file\" : \"S\" ,\"key\"\r:\"1\" } ", "", nullptr},
        ParsedLine{"  { \"file\" : \"S\" ,\"key\":\"1\" , \"attributes\" : [ \"a\" ] } ", "a",
                   nullptr, true},
        ParsedLine{Rec("[1.5e3]"), "",
                   "attribute 1 must be a text or an array of values, not number"},
        ParsedLine{Rec("[[\"a\",-0]]"), "", "attribute 1, value 2 must be a text or an array"},
        ParsedLine{Rec("[1e999]"), "", "not valid JSON"},
        ParsedLine{Rec("[01]"), "", "attribute 1 must be a text or an array of values, not number"},
        ParsedLine{Rec("[true]"), "", "not boolean"},
        ParsedLine{Rec("null"), "", "\"attributes\" must be an array, not null"},
        ParsedLine{"{\"file\":\"S\",\"fil\\u0065\":\"T\",\"key\":\"1\"}", "",
                   "\"file\" is given twice"},
        ParsedLine{"{\"file\":\"S\",\"key\":\"1\",\"attributes\":[],\"attributes\":[]}", "",
                   "\"attributes\" is given twice"},
        ParsedLine{"{\"k\\u0065y\":\"1\",\"file\":\"S\"}", "", nullptr, true},
        ParsedLine{"{\"file\":\"S\",\"key\":\"1\",\"Key\":\"1\"}", "", "unknown member \"Key\""},
        ParsedLine{"{\"file\":\"S\",\"key\":\"1\"}x", "", "not valid JSON"},
        ParsedLine{"{\"file\":\"S\",\"key\":\"1\"}]", "", "not valid JSON"},
        ParsedLine{"{\"file\":\"S\",\"key\":\"1\"},", "", "not valid JSON"},
        ParsedLine{"{\"file\":\"S\",\"key\":\"1\",}", "", "not valid JSON"},
        ParsedLine{"{\"file\":\"S\" \"key\":\"1\"}", "", "not valid JSON"},
        ParsedLine{"{\"file\":\"S\",\"key\":\"1\"", "", "not valid JSON"},
        ParsedLine{"\xEF\xBB\xBF{\"file\":\"S\",\"key\":\"1\"}", "", nullptr},
        ParsedLine{Rec("[[],[[],\"x\"],[[]],[]]"), "\xFE\xFDx", nullptr, true},
        ParsedLine{Rec("[[],[\"\",[\"\",\"\"]],\"\"]"), "\xFE\xFD\xFC", nullptr, true},
        ParsedLine{Rec("[[[[\"a\"]]]]"), "",
                   "attribute 1, value 1, sub-value 1 must be a text, not array"},
        ParsedLine{Rec(std::string(5000, '[') + std::string(5000, ']')), "",
                   "attribute 1, value 1, sub-value 1 must be a text, not array"},
        ParsedLine{"{\"file\":\"S\",\"key\":\"\"}", "", "\"key\" is empty"},
        ParsedLine{"{\"file\":\"S\",\"key\":\"1\",\"attributes\":[\"\\u0000\"]}", "",
                   "the text contains a NUL"}));

TEST(Reader, ReadsEveryFormAsTheSameRecordAndCountsLines) {
    std::istringstream in(
        "\r\n{\"key\":\"1\",\"file\":\"S\",\"attributes\":[[\"A\"],\"\",[[]],[[\"b\",\"c\"],\"d\"],"
        "[]]}"
        "\r\n   "
        "\n{\"file\":\"S\",\"key\":\"2\",\"attributes\":[]}\n{\"file\":\"S\",\"key\":\"3\"}");
    jsonl::Reader reader(in, "in");
    jsonl::StoredRecord record;
    ASSERT_TRUE(reader.Next(record));
    EXPECT_EQ(record.whole, kelmor::test::Marks("A^^^b\\c]d"));
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
    kelmor::test::Fill(*db_, {"S;1;1=OLD;2=KEPT?"});

    std::istringstream bad("{\"file\":\"S\",\"key\":\"1\",\"attributes\":[\"NEW\"]}\n{oops\n");
    EXPECT_THROW(jsonl::StagedLoad(bad, "bad", dir_), jsonl::LinesError);
    EXPECT_EQ(db_->OpenFile("S").ReadRecord("1").Text(), kelmor::test::Marks("OLD^KEPT?"));

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
    kelmor::test::ExpectError([&] { load.Store(*readOnly); }, kelmor::kReadOnly, "");
    EXPECT_TRUE(db_->FileNames().empty());
    EXPECT_THROW(jsonl::StagedLoad(in, "in", dir_ + "/none"), kelmor::Error);
}

// Records of a few files: keys and labels in no particular order, accented
// and mixed-case labels whose label order is not their byte order, and keys
// that come again (the later line wins).
struct Line {
    std::string file, key, whole;
};

std::vector<Line> MakeLines(int count, unsigned seed, const std::vector<std::string>& files) {
    static const char* const kWords[] = {"ÉGLISE", "église", "Eglise", "ŒUVRE", "oeuvre", "zola",
                                         "Zola",   "forêt",  "FORET",  "à",     "Abbaye", "ABBAYE"};
    std::vector<Line> lines;
    unsigned state = seed;
    const auto next = [&state] {
        state = state * 1103515245U + 12345U;
        return (state >> 16) & 0x7FFF;
    };
    for (int i = 0; i < count; ++i) {
        const std::string& file = files[next() % files.size()];
        const std::string key = std::to_string(next() % (count / 2 + 1));
        std::string label = kWords[next() % std::size(kWords)];
        label += ' ';
        label += kWords[next() % std::size(kWords)];
        lines.push_back(
            {file, key, label + kelmor::kValueMark + key + kelmor::kAttributeMark + "x"});
    }
    return lines;
}

std::string JsonLines(const std::vector<Line>& lines) {
    std::string text;
    for (const Line& line : lines) {
        text += jsonl::ToLine(line.file, line.key, kelmor::DynArray(line.whole)) + "\n";
    }
    return text;
}

// Everything a reader can ask of the files: both orders with their sort
// keys, the counts of whole files and of counted prefixes.
std::string Contents(kelmor::Database& db) {
    std::ostringstream out;
    kelmor::Backend& backend = db.backend();
    for (const std::string& file : db.FileNames()) {
        out << file << " " << backend.Count(file, {}) << "\n";
        for (const auto order : {kelmor::Backend::Order::Label, kelmor::Backend::Order::Key}) {
            for (const auto& row : backend.Page(file, order, std::nullopt, 0, 1'000'000)) {
                out << row.key << "|" << row.sortKey << "|" << row.whole << "\n";
            }
        }
        for (const int length : backend.CountedKeyPrefixes(file)) {
            for (int prefix = 0; prefix < 100; ++prefix) {
                const std::string text = std::to_string(prefix).substr(0, length);
                out << length << ":" << text << "="
                    << backend.Count(file, {kelmor::KeySelection::Kind::Prefix, text}) << "\n";
            }
        }
    }
    return out.str();
}

// The schema and the integrity check of a closed SQLite database.
std::string SchemaAndIntegrity(const std::string& path) {
    return kelmor::test::SqliteRows(
        path, "SELECT type, name, sql FROM sqlite_schema ORDER BY name; PRAGMA integrity_check;",
        true);
}

struct LoadCase {
    const char* name;
    int stored;  // records written before the load
    int loaded;
};

// A load leaves the database that writing the same records one by one
// makes, whether it brings most of the records or a few beside many.
class LoadAsWrites : public testing::TestWithParam<LoadCase> {
protected:
    kelmor::test::TempDir temp_;

    // A database with the files, their counted prefixes and `stored` records.
    std::shared_ptr<kelmor::Database> Prepare(const std::string& name) {
        auto db = kelmor::Database::OpenSqlite(temp_.File(name));
        for (const char* file : {"S", "T", "OTHER"}) db->CreateFile(file);
        db->CountKeyPrefixes("S", 1);
        db->CountKeyPrefixes("T", 2);
        kelmor::Transaction transaction(*db);
        for (const Line& line : MakeLines(GetParam().stored, 7, {"S", "T", "OTHER"})) {
            db->backend().Write(line.file, line.key, line.whole);
        }
        transaction.Commit();
        return db;
    }
};

TEST_P(LoadAsWrites, LeavesTheSameRecordsOrdersCountsAndIndex) {
    const std::vector<Line> lines = MakeLines(GetParam().loaded, 11, {"S", "T", "NEW"});
    auto loaded = Prepare("loaded.sqlite");
    std::istringstream in(JsonLines(lines));
    jsonl::StagedLoad(in, "in", temp_.Dir()).Store(*loaded);

    auto written = Prepare("written.sqlite");
    for (const Line& line : lines) {
        written->CreateFile(line.file);
        written->backend().Write(line.file, line.key, line.whole);
    }
    const std::string contents = Contents(*written);
    EXPECT_NE(contents.find("NEW "), std::string::npos);
    EXPECT_EQ(Contents(*loaded), contents);
    loaded.reset();
    written.reset();
    const std::string schema = SchemaAndIntegrity(temp_.File("written.sqlite"));
    EXPECT_NE(schema.find("kelmor_records_label"), std::string::npos);
    EXPECT_EQ(SchemaAndIntegrity(temp_.File("loaded.sqlite")), schema);
}

INSTANTIATE_TEST_SUITE_P(Loads, LoadAsWrites,
                         testing::Values(LoadCase{"IntoAnEmptyDatabase", 0, 3000},
                                         LoadCase{"BesideFewerRecords", 800, 3000},
                                         LoadCase{"BesideMoreRecords", 4000, 600}),
                         [](const auto& info) { return std::string(info.param.name); });

// Fails the load's second batch of writes, after the first was stored.
class FailingBackend : public kelmor::ForwardingBackend {
public:
    using ForwardingBackend::ForwardingBackend;
    void WriteMany(std::span<const RecordView> records) override {
        if (++batches_ == 2) throw std::runtime_error("cut");
        inner().WriteMany(records);
    }

private:
    int batches_ = 0;
};

// Keeps a copy of every batch of writes it is given.
class RecordingBackend : public kelmor::ForwardingBackend {
public:
    using ForwardingBackend::ForwardingBackend;
    void WriteMany(std::span<const RecordView> records) override {
        std::size_t bytes = 0, longest = 0;
        for (const RecordView& r : records) {
            written.push_back({std::string(r.file), std::string(r.key), std::string(r.whole)});
            bytes += r.key.size() + r.whole.size();
            longest = std::max(longest, r.key.size() + r.whole.size());
        }
        batches.push_back({bytes, longest});
        inner().WriteMany(records);
    }
    std::vector<Line> written;
    std::vector<std::pair<std::size_t, std::size_t>> batches;  // bytes, longest record
};

TEST_F(StagedLoad, HandsOverEveryRecordWholeInBoundedBatches) {
    // Lengths that cut records at every read and batch boundary, and records
    // longer than a batch, first, among others and last.
    std::vector<Line> lines;
    unsigned state = 5;
    for (int i = 0; i < 200; ++i) {
        state = state * 1103515245U + 12345U;
        const std::size_t length =
            i % 150 == 0 ? (std::size_t{4} << 20) + i : (state >> 8) % 60'000;
        lines.push_back({i % 3 ? "S" : "T", std::to_string(i),
                         std::string(length, static_cast<char>('a' + i % 26))});
    }
    lines.push_back({"S", "last", std::string(std::size_t{5} << 20, 'q')});
    std::istringstream in(JsonLines(lines));
    jsonl::StagedLoad load(in, "in", dir_);
    auto recording =
        std::make_shared<RecordingBackend>(std::shared_ptr<kelmor::Backend>(db_, &db_->backend()));
    kelmor::Database db(recording);
    EXPECT_EQ(load.Store(db).records, lines.size());
    ASSERT_EQ(recording->written.size(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& got = recording->written[i];
        ASSERT_TRUE(got.file == lines[i].file && got.key == lines[i].key &&
                    got.whole == lines[i].whole)
            << "record " << i;
    }
    EXPECT_GE(recording->batches.size(), 4U);
    for (const auto& [bytes, longest] : recording->batches) {
        EXPECT_LT(bytes, (std::size_t{4} << 20) + longest) << "memory must stay flat";
    }
}

TEST_F(StagedLoad, ACutLoadLeavesTheLabelIndexAsItWas) {
    db_->CreateFile("S");
    db_->backend().Write("S", "1", "B");
    db_->backend().Write("S", "2", "a");
    const std::string before = Contents(*db_);
    // Over two batches of writes: a few long records.
    std::vector<Line> lines;
    for (int i = 0; i < 12; ++i)
        lines.push_back({"S", std::to_string(i), std::string(1 << 19, 'z')});
    std::istringstream in(JsonLines(lines));
    jsonl::StagedLoad load(in, "in", dir_);
    kelmor::Database failing(
        std::make_shared<FailingBackend>(std::shared_ptr<kelmor::Backend>(db_, &db_->backend())));
    EXPECT_THROW(load.Store(failing), std::runtime_error);
    EXPECT_EQ(Contents(*db_), before);
    db_->backend().Write("S", "3", "C");
    const auto rows = db_->backend().Page("S", kelmor::Backend::Order::Label, std::nullopt, 0, 9);
    ASSERT_EQ(rows.size(), 3U);
    EXPECT_EQ(rows[0].whole + rows[1].whole + rows[2].whole, "aBC");
    db_.reset();
    const std::string schema = SchemaAndIntegrity(temp_.File("l.sqlite"));
    EXPECT_NE(schema.find("index|kelmor_records_label"), std::string::npos) << schema;
    EXPECT_NE(schema.find("\nok\n"), std::string::npos) << schema;
}

}  // namespace
