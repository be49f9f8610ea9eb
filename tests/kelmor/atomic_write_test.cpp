// DBWrite is all or nothing: another connection never sees a record mixing two
// writes, a refused or failed write keeps the old record, and a process that
// dies in the middle of its writes leaves nothing of them.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "kelmor/backend.h"
#include "kelmor/database.h"
#include "test_support.h"

namespace kelmor {
namespace {

constexpr int kAttributes = 40;

DbRecord Generation(const DbFile& file, int generation) {
    DbRecord r = file.NewRecord("001");
    const std::string text = "GÉNÉRATION " + std::to_string(generation);
    for (int a = 1; a <= kAttributes; ++a) r.SetValues(a, {text, text + " þ"});
    return r;
}

// Every attribute of a record written by Generation() names the same write.
bool IsWhole(const DbRecord& r) {
    if (r.AttributeCount() != kAttributes) return false;
    const std::string first = r.Get(1, 1);
    for (int a = 1; a <= kAttributes; ++a) {
        if (r.Get(a, 1) != first || r.Get(a, 2) != first + " þ") return false;
    }
    return true;
}

class AtomicWrite : public testing::Test {
protected:
    void SetUp() override {
        auto db = Database::OpenSqlite(path_);
        db->CreateFile("SECTEUR");
        Generation(db->OpenFile("SECTEUR"), 0).DBWrite();
    }
    test::TempDir dir_;
    std::string path_ = dir_.File("atomic.db");
};

TEST_F(AtomicWrite, AnotherConnectionNeverSeesAMixedRecord) {
    std::atomic<bool> done{false};
    std::thread writer([&] {
        auto db = Database::OpenSqlite(path_);  // its own connection, its own thread
        const DbFile file = db->OpenFile("SECTEUR");
        for (int g = 1; g <= 300; ++g) Generation(file, g).DBWrite();
        done = true;
    });
    auto db = Database::OpenSqlite(path_);
    const DbFile file = db->OpenFile("SECTEUR");
    int reads = 0, mixed = 0;
    while (!done || reads == 0) {
        const DbRecord r = file.ReadRecord("001");
        ++reads;
        mixed += !IsWhole(r);
    }
    writer.join();
    EXPECT_EQ(mixed, 0) << "out of " << reads << " reads";
    EXPECT_EQ(file.ReadRecord("001").Get(1, 1), "GÉNÉRATION 300");
}

TEST_F(AtomicWrite, ARefusedValueLeavesTheStoredRecord) {
    auto db = Database::OpenSqlite(path_);
    const DbFile file = db->OpenFile("SECTEUR");
    DbRecord r = file.ReadRecord("001");
    EXPECT_THROW(r.Set(3, "MIXED\xFDVALUE"), DelimiterError);
    EXPECT_THROW(db->backend().Write("SECTEUR", "001", "A\xFE\xC3"), DelimiterError);
    EXPECT_THROW(db->backend().Write("QUARTIER", "001", "A"), Error);
    const DbRecord stored = file.ReadRecord("001");
    EXPECT_TRUE(IsWhole(stored));
    EXPECT_EQ(stored.Get(1, 1), "GÉNÉRATION 0");
}

TEST_F(AtomicWrite, AWriteBlockedByAnotherWriterFailsAndKeepsTheOldRecord) {
    auto holder = Database::OpenSqlite(path_);
    Transaction tx(*holder);  // takes the write lock and keeps it
    Generation(holder->OpenFile("SECTEUR"), 7).DBWrite();

    auto other = Database::OpenSqlite(path_);
    const DbFile file = other->OpenFile("SECTEUR");
    EXPECT_EQ(file.ReadRecord("001").Get(1, 1), "GÉNÉRATION 0");  // not yet committed
    // (The busy timeout makes this wait a few seconds before failing.)
    try {
        Generation(file, 8).DBWrite();
        FAIL() << "the write went through a held lock";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), kStorageError);
        EXPECT_NE(std::string(e.what()).find("writing a record"), std::string::npos) << e.what();
    }
    EXPECT_EQ(file.ReadRecord("001").Get(1, 1), "GÉNÉRATION 0");
    tx.Commit();
    EXPECT_EQ(file.ReadRecord("001").Get(1, 1), "GÉNÉRATION 7");
}

TEST_F(AtomicWrite, AProcessDyingMidTransactionLeavesNothingOfIt) {
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        // No gtest assertions here: this process only writes, then dies.
        auto db = Database::OpenSqlite(path_);
        const DbFile file = db->OpenFile("SECTEUR");
        db->backend().Begin();
        Generation(file, 99).DBWrite();
        file.NewRecord("002").DBWrite();
        _exit(0);  // no commit, no destructor: as if the process crashed
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));

    auto db = Database::OpenSqlite(path_);
    const DbFile file = db->OpenFile("SECTEUR");
    const DbRecord r = file.ReadRecord("001");
    EXPECT_TRUE(IsWhole(r));
    EXPECT_EQ(r.Get(1, 1), "GÉNÉRATION 0");
    EXPECT_EQ(file.TryReadRecord("002").error, kNotFound);
}

}  // namespace
}  // namespace kelmor
