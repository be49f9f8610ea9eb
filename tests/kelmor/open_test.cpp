// Opening never turns a file into a database of ours: directories, other files
// and other programs' SQLite databases are refused and left byte for byte as
// they were; read-only opening never writes.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "kelmor/backend.h"
#include "kelmor/database.h"
#include "test_database.h"
#include "test_support.h"

namespace kelmor {
namespace {

namespace fs = std::filesystem;

struct Foreign {
    const char* name;
    std::function<void(const std::string& path)> make;
    const char* says;
};

class ForeignFile : public testing::TestWithParam<Foreign> {};

TEST_P(ForeignFile, IsRefusedInEveryModeAndLeftUntouched) {
    test::TempDir dir;
    const std::string path = dir.File("f.db");
    GetParam().make(path);
    const bool directory = fs::is_directory(path);
    const std::string before = directory ? "" : test::ReadFile(path);
    for (const OpenMode mode :
         {OpenMode::CreateIfMissing, OpenMode::MustExist, OpenMode::ReadOnly}) {
        test::ExpectError([&] { Database::OpenSqlite(path, mode); }, kNotADatabase,
                          GetParam().says);
        if (!directory) {
            EXPECT_EQ(test::ReadFile(path), before);
        }
        EXPECT_FALSE(fs::exists(path + "-wal"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ForeignFile,
    testing::Values(
        Foreign{"Directory", [](const std::string& p) { fs::create_directory(p); },
                "is a directory"},
        Foreign{"TextFile",
                [](const std::string& p) { std::ofstream(p) << "file,key\nSECTEUR,001\n"; },
                "not a database"},
        Foreign{"OtherProgramsTables",
                [](const std::string& p) {
                    test::SqliteRows(p,
                                     "CREATE TABLE invoices(id); INSERT INTO invoices VALUES (1);");
                },
                "another program"},
        Foreign{"OtherProgramsMark",
                [](const std::string& p) { test::SqliteRows(p, "PRAGMA application_id = 42;"); },
                "application id 0x0000002A"},
        Foreign{"OtherProgramsWal",
                [](const std::string& p) {
                    test::SqliteRows(p,
                                     "PRAGMA journal_mode = WAL; CREATE TABLE kelmor_records(x);");
                },
                "another program"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Open, OnlyCreateIfMissingMakesADatabaseOfAMissingOrEmptyFile) {
    test::TempDir dir;
    for (const OpenMode mode : {OpenMode::MustExist, OpenMode::ReadOnly}) {
        test::ExpectError([&] { Database::OpenSqlite(dir.File("none.db"), mode); }, kStorageError,
                          "does not exist");
        EXPECT_FALSE(fs::exists(dir.File("none.db")));
        std::ofstream(dir.File("empty.db")).flush();
        test::ExpectError([&] { Database::OpenSqlite(dir.File("empty.db"), mode); }, kNotADatabase,
                          "empty file");
        EXPECT_EQ(fs::file_size(dir.File("empty.db")), 0U);
    }
    for (const char* name : {"none.db", "empty.db"}) {
        Database::OpenSqlite(dir.File(name))->CreateFile("SECTEUR");
        EXPECT_EQ(Database::OpenSqlite(dir.File(name), OpenMode::ReadOnly)->FileNames(),
                  std::vector<std::string>{"SECTEUR"});
    }
}

// What a read-only session refuses is checked on both backends with the
// writes; here, that opening and reading leave the file byte for byte.
TEST(Open, ReadOnlyReadsEverythingAndWritesNothing) {
    test::TempDir dir;
    const std::string path = dir.File("ours.db");
    test::Fill(*Database::OpenSqlite(path), {"SECTEUR;001;1=NORD"});
    const std::string before = test::ReadFile(path);
    auto db = Database::OpenSqlite(path, OpenMode::ReadOnly);
    EXPECT_EQ(test::Select(*db, "SSELECT SECTEUR PAR 1", "", "0 1").Get(1, 2), "NORD");
    test::ExpectError([&] { Transaction t(*db); }, kReadOnly, "opened read-only");
    test::ExpectError([&] { db->OpenFile("SECTEUR").DeleteRecord("001"); }, kReadOnly, "ours.db");
    db.reset();
    EXPECT_EQ(test::ReadFile(path), before);
}

// A creation reuses the codes it walked while the stamp holds: any write, of
// this connection or another, must move it, and two databases never share one.
TEST(Open, TheChangeStampMovesWithEveryWriteOfAnyConnection) {
    test::TempDir dir;
    auto db = Database::OpenSqlite(dir.File("a.db"));
    auto other = Database::OpenSqlite(dir.File("a.db"));
    auto elsewhere = Database::OpenSqlite(dir.File("b.db"));
    test::Fill(*db, {"SECTEUR;001;1=NORD"});
    const auto stamp = [](Database& d) { return d.backend().Stamp(); };
    const auto before = stamp(*db);
    ASSERT_TRUE(before);
    EXPECT_EQ(db->OpenFile("SECTEUR").ReadRecord("001").Get(1), "NORD");
    EXPECT_EQ(stamp(*db), before) << "a read moved it";
    db->OpenFile("SECTEUR").DeleteRecord("001");
    const auto own = stamp(*db);
    EXPECT_NE(own, before) << "this connection's write";
    test::Fill(*other, {"SECTEUR;002;1=SUD"});
    EXPECT_NE(stamp(*db), own) << "another connection's commit";
    EXPECT_NE(stamp(*elsewhere), stamp(*Database::OpenSqlite(dir.File("b.db"))));
}

// One commit of two 900-byte records of QUARTIER, spread over the keys by `i`.
void CommitTwo(Database& db, int i) {
    const std::string body(900, 'x');
    const std::string key = std::to_string(1000000 + (i * 7919) % 1000000);
    Transaction t(db);
    db.backend().Write("QUARTIER", key + "a", body);
    db.backend().Write("QUARTIER", key + "b", body);
    t.Commit();
}

// Checkpoints run beside the writes, never stall them: the log must still be
// copied back, stay bounded while writes go on, and leave with the last
// connection, every commit in the database.
TEST(Open, ManyCommitsKeepTheLogBoundedAndAllEndInTheDatabase) {
    test::TempDir dir;
    const std::string path = dir.File("busy.db");
    auto db = Database::OpenSqlite(path);
    db->CreateFile("QUARTIER");
    constexpr int kCommits = 3000;
    std::uintmax_t largestLog = 0;
    for (int i = 0; i < kCommits; ++i) {
        CommitTwo(*db, i);
        largestLog = std::max(largestLog, fs::file_size(path + "-wal"));
    }
    // About 12,000 pages were logged; copied back, the log is reused from its
    // start and never holds more than a few thousand.
    EXPECT_LT(largestLog, 6000U * 4096U);
    db.reset();
    EXPECT_FALSE(fs::exists(path + "-wal"));
    EXPECT_EQ(test::SqliteRows(path, "SELECT count(*) FROM kelmor_records", true),
              std::to_string(2 * kCommits) + "\n");
}

// The log is copied back while the writer goes on, not only when a commit
// finds it four times past the threshold and copies it itself.
TEST(Open, ALogPastTheThresholdIsCopiedBackBesideTheWriter) {
    test::TempDir dir;
    const std::string path = dir.File("beside.db");
    auto db = Database::OpenSqlite(path);
    db->CreateFile("QUARTIER");
    for (int i = 0; fs::file_size(path + "-wal") < 1100U * 4096U; ++i) CommitTwo(*db, i);
    const std::uintmax_t logged = fs::file_size(path);
    bool copied = false;
    for (int wait = 0; wait < 200 && !copied; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        copied = fs::file_size(path) > logged;
    }
    EXPECT_TRUE(copied) << "the database file did not grow within 10 s";
}

}  // namespace
}  // namespace kelmor
