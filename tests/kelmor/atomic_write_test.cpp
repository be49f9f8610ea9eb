// Writes are all or nothing: another connection never sees a record mixing two
// writes, inserts of one key and updates of one record from many connections
// lose nothing.

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "kelmor/backend.h"
#include "kelmor/database.h"
#include "test_database.h"
#include "test_support.h"

namespace kelmor {
namespace {

constexpr int kAttributes = 40;

void WriteGeneration(DbRecord& r, int generation) {
    const std::string text = "GÉNÉRATION " + std::to_string(generation);
    for (int a = 1; a <= kAttributes; ++a) r.SetValues(a, {text, text + " þ"});
    r.DBWrite();
}

// Every attribute of the record names the same write.
bool IsWhole(const DbRecord& r) {
    bool whole = r.AttributeCount() == kAttributes;
    for (int a = 1; a <= kAttributes; ++a)
        whole = whole && r.Get(a, 1) == r.Get(1, 1) && r.Get(a, 2) == r.Get(1, 1) + " þ";
    return whole;
}

class AtomicWrite : public testing::TestWithParam<test::BackendKind> {
protected:
    void SetUp() override {
        auto db = base_.Open();
        db->CreateFile("SECTEUR");
        DbRecord r = db->OpenFile("SECTEUR").NewRecord("001");
        WriteGeneration(r, 0);
    }
    // Each call is a new connection.
    std::shared_ptr<Database> Connect() const { return base_.Open(); }
    test::TestDatabase base_{GetParam()};
};

TEST_P(AtomicWrite, AnotherConnectionNeverSeesAMixedRecord) {
    std::atomic<bool> done{false};
    std::thread writer([&] {
        auto db = Connect();  // its own connection, its own thread
        DbRecord r = db->OpenFile("SECTEUR").ReadRecord("001");
        for (int g = 1; g <= 300; ++g) WriteGeneration(r, g);
        done = true;
    });
    auto db = Connect();
    const DbFile file = db->OpenFile("SECTEUR");
    int reads = 0, mixed = 0;
    for (; !done || reads == 0; ++reads) mixed += !IsWhole(file.ReadRecord("001"));
    writer.join();
    EXPECT_EQ(mixed, 0) << "out of " << reads << " reads";
    EXPECT_EQ(file.ReadRecord("001").Get(1, 1), "GÉNÉRATION 300");
}

// Several connections, each on its own thread, racing on one key.
template <class Body>
void OnThreads(int count, Body body) {
    std::vector<std::thread> threads;
    for (int t = 0; t < count; ++t) threads.emplace_back(body, t);
    for (auto& thread : threads) thread.join();
}

TEST_P(AtomicWrite, OfConnectionsInsertingOneKeyExactlyOneSucceeds) {
    std::atomic<int> stored{0};
    OnThreads(4, [&](int t) {
        auto db = Connect();
        DbRecord r = db->OpenFile("SECTEUR").NewRecord("002");
        r.Set(1, "WRITER " + std::to_string(t));
        stored += r.DBInsert();
    });
    EXPECT_EQ(stored, 1);
    auto db = Connect();
    DbRecord existing = db->OpenFile("SECTEUR").NewRecord("001");
    existing.Set(1, "NEVER STORED");
    EXPECT_FALSE(existing.DBInsert());
    EXPECT_EQ(db->OpenFile("SECTEUR").ReadRecord("001").Get(1, 1), "GÉNÉRATION 0");
}

TEST_P(AtomicWrite, UpdatesOfOneRecordFromManyConnectionsLoseNothing) {
    constexpr int kThreads = 4, kEach = 50;
    OnThreads(kThreads, [&](int) {
        auto db = Connect();
        for (int i = 0; i < kEach; ++i) {
            db->backend().Update("SECTEUR", "COUNT", [](const std::optional<std::string>& now) {
                return std::to_string(now ? std::stoi(*now) + 1 : 1);
            });
        }
    });
    auto db = Connect();
    EXPECT_EQ(db->OpenFile("SECTEUR").ReadRecord("COUNT").Get(1), std::to_string(kThreads * kEach));
}

TEST_P(AtomicWrite, AnUpdateThatThrowsStoresNothing) {
    auto db = Connect();
    EXPECT_THROW(db->backend().Update("SECTEUR", "001",
                                      [](const std::optional<std::string>&) -> std::string {
                                          throw std::runtime_error("refused");
                                      }),
                 std::runtime_error);
    EXPECT_FALSE(db->backend().InTransaction());
    EXPECT_EQ(db->OpenFile("SECTEUR").ReadRecord("001").Get(1, 1), "GÉNÉRATION 0");

    // Inside a transaction, of a key with no record: not even an empty record
    // stays behind, and the transaction goes on.
    Transaction tx(*db);
    EXPECT_THROW(db->backend().Update("SECTEUR", "NEW",
                                      [](const std::optional<std::string>& now) -> std::string {
                                          EXPECT_FALSE(now.has_value());
                                          throw std::runtime_error("refused");
                                      }),
                 std::runtime_error);
    EXPECT_EQ(db->backend().Read("SECTEUR", "NEW"), std::nullopt);
    DbRecord r = db->OpenFile("SECTEUR").ReadRecord("001");
    WriteGeneration(r, 1);
    tx.Commit();
    EXPECT_EQ(Connect()->OpenFile("SECTEUR").TryReadRecord("NEW").error, kNotFound);
    EXPECT_EQ(Connect()->OpenFile("SECTEUR").ReadRecord("001").Get(1, 1), "GÉNÉRATION 1");
}

INSTANTIATE_TEST_SUITE_P(Backends, AtomicWrite, test::AllBackends(), test::BackendParamName());

}  // namespace
}  // namespace kelmor
