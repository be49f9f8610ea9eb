// kill -9 at any moment of a record write or of a `kelmor load` leaves a
// sound database in which each record (and each transaction) is all old or
// all new.

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>

#include "kelmor/backend.h"
#include "kelmor/database.h"
#include "test_database.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
constexpr int kKills = 30;
constexpr int kAttributes = 30;

std::string Generation(int g) {
    return "GÉNÉRATION " + std::to_string(g);
}

// The database passes SQLite's own check.
std::string IntegrityCheck(const std::string& path) {
    return kelmor::test::SqliteRows(path, "PRAGMA integrity_check", true);
}

// The generation every attribute of the record names; -1 when they differ.
int WholeGeneration(const kelmor::DynArray& r) {
    const std::string first = r.Get(1);
    for (int a = 2; a <= kAttributes; ++a)
        if (r.Get(a) != first) return -1;
    return r.AttributeCount() == kAttributes ? std::stoi(first.substr(first.find(' ') + 1)) : -1;
}

// Runs `child` in a new process and kills it after `delay` unless it ended
// before; returns its wait status.
template <class Child>
int KillAfter(std::chrono::milliseconds delay, Child child) {
    const pid_t pid = fork();
    if (pid == 0) {
        child();
        _exit(0);
    }
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + delay;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return status;
}

class KillTest : public testing::Test {
protected:
    kelmor::test::TempDir temp_;
    std::string dir_ = temp_.Dir();
    std::string path_ = temp_.File("k.sqlite");
};

TEST_F(KillTest, DuringRecordWritesEachRecordAndTransactionIsAllOldOrAllNew) {
    const std::vector<std::string> keys = {"001", "002", "003", "004", "005"};
    {
        auto db = kelmor::Database::OpenSqlite(path_);
        db->CreateFile("SECTEUR");
        for (const std::string& key : keys) {
            kelmor::DbRecord r = db->OpenFile("SECTEUR").NewRecord(key);
            for (int a = 1; a <= kAttributes; ++a) r.Set(a, Generation(0));
            r.DBWrite();
        }
    }  // no connection crosses fork()
    for (int kill = 0; kill < kKills; ++kill) {
        KillAfter(std::chrono::milliseconds(3 + kill * 7 % 40), [&] {
            try {
                auto db = kelmor::Database::OpenSqlite(path_, kelmor::OpenMode::MustExist);
                const kelmor::DbFile file = db->OpenFile("SECTEUR");
                std::vector<kelmor::DbRecord> records;
                for (const std::string& key : keys) records.push_back(file.ReadRecord(key));
                for (int g = 1;; ++g) {
                    // 001 and 002 alone, then the other three in one transaction.
                    for (int r = 0; r < 2; ++r) {
                        for (int a = 1; a <= kAttributes; ++a) records[r].Set(a, Generation(g));
                        records[r].DBWrite();
                    }
                    kelmor::Transaction together(*db);
                    for (std::size_t r = 2; r < records.size(); ++r) {
                        for (int a = 1; a <= kAttributes; ++a) records[r].Set(a, Generation(g));
                        records[r].DBWrite();
                    }
                    together.Commit();
                }
            } catch (...) {
                _exit(1);
            }
        });
        ASSERT_EQ(IntegrityCheck(path_), "ok\n") << "after kill " << kill;
        auto db = kelmor::Database::OpenSqlite(path_, kelmor::OpenMode::ReadOnly);
        std::set<int> together;
        for (const std::string& key : keys) {
            const int g = WholeGeneration(db->OpenFile("SECTEUR").ReadRecord(key));
            ASSERT_GE(g, 0) << "record " << key << " mixes two writes after kill " << kill;
            if (key >= "003") together.insert(g);
        }
        EXPECT_EQ(together.size(), 1U) << "a transaction was cut by kill " << kill;
    }
}

constexpr int kRecords = 2000;

// Two inputs replacing the same records, each whole at one generation.
void WriteGenerations(const std::string& dir) {
    for (int g : {1, 2}) {
        std::ofstream out(dir + "/g" + std::to_string(g) + ".jsonl");
        for (int i = 0; i < kRecords; ++i) {
            out << "{\"file\":\"QUARTIER\",\"key\":\"" << 1000000 + i << "\",\"attributes\":[";
            for (int a = 1; a <= kAttributes; ++a)
                out << (a > 1 ? "," : "") << '"' << Generation(g) << '"';
            out << "]}\n";
        }
    }
}

TEST_F(KillTest, DuringALoadTheDatabaseHoldsTheOldRecordsOrAllTheNewOnes) {
    WriteGenerations(dir_);
    const auto load = [&](int g) {
        execl(KELMOR_PROGRAM, KELMOR_PROGRAM, path_.c_str(), "load",
              (dir_ + "/g" + std::to_string(g) + ".jsonl").c_str(), static_cast<char*>(nullptr));
    };
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(KillAfter(std::chrono::seconds(60), [&] { load(1); }), 0) << "a whole first load";
    // Kills spread over a load's whole length (and a little past it), so that
    // they fall in the reading phase, in the storing phase and after the end.
    const auto length = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    int stored = 1;
    int completed = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        const int next = stored == 1 ? 2 : 1;
        const int status = KillAfter(
            std::chrono::milliseconds(2) + length * (kill * 11 % kKills) / (kKills - 5), [&] {
                freopen("/dev/null", "w", stdout);
                load(next);
            });
        ASSERT_EQ(IntegrityCheck(path_), "ok\n") << "after kill " << kill;
        auto db = kelmor::Database::OpenSqlite(path_, kelmor::OpenMode::ReadOnly);
        std::set<int> seen;
        db->backend().Scan("QUARTIER", {}, [&](std::string_view, std::string_view whole) {
            seen.insert(WholeGeneration(kelmor::DynArray(whole)));
        });
        ASSERT_EQ(seen.size(), 1U) << "a load was cut by kill " << kill;
        const int now = *seen.begin();
        ASSERT_TRUE(now == stored || now == next) << now;
        if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
            EXPECT_EQ(now, next) << "a load that finished stored everything";
            ++completed;
        }
        stored = now;
    }
    EXPECT_LT(completed, kKills) << "no load was cut";
    RecordProperty("completed_loads", completed);
}

// A load into a new database writes it under another name without a journal:
// a kill at any moment leaves no database at all or the whole load, and the
// next load starts afresh.
TEST_F(KillTest, DuringALoadIntoANewDatabaseThereIsNoneOrAllOfIt) {
    WriteGenerations(dir_);
    const auto load = [&] {
        freopen("/dev/null", "w", stdout);
        execl(KELMOR_PROGRAM, KELMOR_PROGRAM, path_.c_str(), "load", (dir_ + "/g1.jsonl").c_str(),
              static_cast<char*>(nullptr));
    };
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(KillAfter(std::chrono::seconds(60), load), 0) << "a whole load";
    const auto length = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    int completed = 0, none = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        fs::remove(path_);
        const int status = KillAfter(
            std::chrono::milliseconds(2) + length * (kill * 11 % kKills) / (kKills - 5), load);
        if (!fs::exists(path_)) {
            EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
                << "a load that finished left no database";
            ++none;
            continue;
        }
        ++completed;
        ASSERT_EQ(IntegrityCheck(path_), "ok\n") << "after kill " << kill;
        auto db = kelmor::Database::OpenSqlite(path_, kelmor::OpenMode::MustExist);
        int records = 0;
        db->backend().Scan("QUARTIER", {}, [&](std::string_view, std::string_view whole) {
            records += WholeGeneration(kelmor::DynArray(whole)) == 1;
        });
        ASSERT_EQ(records, kRecords) << "a cut load left a database, kill " << kill;
        EXPECT_EQ(db->backend().Count("QUARTIER", {}), kRecords) << "the counts made at the commit";
    }
    EXPECT_GT(none, 0) << "no load was cut";
    EXPECT_GT(completed, 0) << "no load finished";
    fs::remove(path_);
    EXPECT_EQ(KillAfter(std::chrono::seconds(60), load), 0) << "what a cut load left is in the way";
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 3) << "the inputs and the database";
}

}  // namespace
