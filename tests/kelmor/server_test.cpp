// What only a database server has: connections that are cut (as a restart
// cuts them), tables that must be created before use, many workstations
// creating them at once, and connection strings that may hold a password.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "kelmor/backend.h"
#include "kelmor/database.h"
#include "test_database.h"
#include "test_support.h"

namespace kelmor {
namespace {

class ServerConnection : public testing::Test {
protected:
    void SetUp() override { Store("001", "NORD"); }
    void Store(const char* key, const char* label) {
        test::Fill(*db_, {std::string("SECTEUR;") + key + ";1=" + label});
    }
    test::TestDatabase base_{test::BackendKind::Postgres};
    std::shared_ptr<Database> db_ = base_.Open();
};

TEST_F(ServerConnection, ACutConnectionFailsOneCallWithItsNumberThenEveryCallReconnects) {
    // Each kind of call, on a connection cut just before it.
    const std::vector<std::pair<const char*, std::function<void()>>> calls = {
        {"reading", [&] { (void)db_->OpenFile("SECTEUR").ReadRecord("001"); }},
        {"writing", [&] { Store("002", "SUD"); }},
        {"scanning", [&] { (void)test::Select(*db_, "SSELECT SECTEUR PAR 1", "", "0 1"); }},
        {"inserting", [&] { (void)db_->backend().Insert("SECTEUR", "003", "EST"); }},
        {"updating",
         [&] { (void)db_->backend().Update("SECTEUR", "001", [](auto&) { return "NORD 2"; }); }},
        {"starting a transaction", [&] { Transaction(*db_).Commit(); }},
    };
    for (const auto& [what, call] : calls) {
        SCOPED_TRACE(what);
        base_.CutConnections();
        test::ExpectError([&] { call(); }, kConnectionLost,
                          "connection to the PostgreSQL database");
        EXPECT_FALSE(db_->backend().InTransaction());
        call();  // connects again, its statements prepared anew
    }
    const ResultList rows = test::Select(*db_, "SSELECT SECTEUR", "", "0 1");
    ASSERT_EQ(rows.DCount(), 3);
    EXPECT_EQ(rows.Get(1, 2), "NORD 2");
    EXPECT_EQ(rows.Get(2, 2), "SUD");
    EXPECT_EQ(rows.Get(3, 2), "EST");
}

TEST_F(ServerConnection, ACutInsideATransactionLosesItWholeAndRefusesCallsUntilRolledBack) {
    {
        Transaction tx(*db_);
        Store("010", "PERDU");
        base_.CutConnections();
        test::ExpectError([&] { Store("011", "PERDU AUSSI"); }, kConnectionLost,
                          "the open transaction is lost");
        // Never silently outside the transaction its caller believes in.
        test::ExpectError([&] { Store("012", "HORS TRANSACTION"); }, kConnectionLost,
                          "roll it back");
        test::ExpectError([&] { tx.Commit(); }, kConnectionLost, "roll it back");
        EXPECT_TRUE(db_->backend().InTransaction());
    }
    EXPECT_FALSE(db_->backend().InTransaction());
    const DbFile file = db_->OpenFile("SECTEUR");
    for (const char* key : {"010", "011", "012"})
        EXPECT_EQ(file.TryReadRecord(key).error, kNotFound);

    // A commit whose answer is lost may have been stored: the message says so.
    Transaction tx(*db_);
    Store("020", "INCERTAIN");
    base_.CutConnections();
    test::ExpectError([&] { tx.Commit(); }, kConnectionLost, "unknown");
    EXPECT_EQ(file.ReadRecord("001").Get(1), "NORD");
}

TEST(ServerSchema, OnlyCreationMakesTheTablesAndForeignTablesAreRefused) {
    const test::TestDatabase base(test::BackendKind::Postgres);
    test::ExpectError([&] { (void)base.Open(OpenMode::MustExist); }, kStorageError,
                      "holds no Kelmor database");
    // Workstations creating the tables at once take turns.
    std::atomic<int> opened{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) threads.emplace_back([&] { opened += base.Open() != nullptr; });
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(opened, 4);
    EXPECT_TRUE(base.Open(OpenMode::MustExist)->FileNames().empty());

    // Incomplete tables of ours, or another program's tables: refused in
    // every mode, and nothing is added to them.
    const test::TestDatabase foreign(test::BackendKind::Postgres);
    test::RunSql(foreign.Location(), "CREATE TABLE kelmor_files(id integer)");
    const test::TestDatabase other(test::BackendKind::Postgres);
    test::RunSql(other.Location(), "CREATE TABLE invoices(id integer)");
    for (const test::TestDatabase* refused : {&foreign, &other}) {
        for (OpenMode mode : {OpenMode::MustExist, OpenMode::CreateIfMissing, OpenMode::ReadOnly}) {
            test::ExpectError([&] { (void)refused->Open(mode); }, kNotADatabase,
                              "is not a Kelmor database");
        }
    }
    test::RunSql(other.Location(), "DROP TABLE invoices");
    test::ExpectError([&] { (void)other.Open(OpenMode::MustExist); }, kStorageError,
                      "holds no Kelmor database");
}

TEST(ServerSchema, MessagesNameTheDatabaseButNeverThePassword) {
    const std::string location = "postgresql://someone:s3cret@/kelmor_absent?host=/nonexistent";
    try {
        (void)Database::Open(location);
        ADD_FAILURE() << "opened";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), kStorageError);
        const std::string message = e.what();
        EXPECT_NE(message.find("kelmor_absent"), std::string::npos) << message;
        EXPECT_EQ(message.find("s3cret"), std::string::npos) << message;
    }
}

}  // namespace
}  // namespace kelmor
