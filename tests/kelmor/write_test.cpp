// DBWrite stores only what its record changed, never erases another
// connection's change unseen, and after any failure leaves the record equal to
// what is stored, so that setting the value again writes it.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "fault_vfs.h"
#include "kelmor/database.h"
#include "kelmor/forwarding_backend.h"
#include "test_database.h"
#include "test_support.h"

namespace kelmor {
namespace {

using test::Marks;

class TwoConnections : public testing::TestWithParam<test::BackendKind> {
protected:
    void SetUp() override { test::Fill(*a_, {"SECTEUR;001;1=NORD;3=AG-1;4=19000"}); }
    DbRecord ReadA() const { return a_->OpenFile("SECTEUR").ReadRecord("001"); }
    DbRecord ReadB() const { return b_->OpenFile("SECTEUR").ReadRecord("001"); }
    std::string Stored() const { return b_->OpenFile("SECTEUR").ReadRecord("001").Text(); }

    test::TestDatabase base_{GetParam()};
    std::shared_ptr<Database> a_ = base_.Open();
    std::shared_ptr<Database> b_ = base_.Open();
};

TEST_P(TwoConnections, ChangesToDifferentAttributesAreBothKept) {
    DbRecord mine = ReadA(), theirs = ReadB();
    theirs.Set(3, "AG-2");
    theirs.DBWrite();
    mine.Set(1, "NORD-EST");
    mine.DBWrite();
    EXPECT_EQ(Stored(), Marks("NORD-EST^^AG-2^19000"));
    EXPECT_EQ(mine.Get(3), "AG-1") << "a write does not copy the other's change in";

    // Later writes of the same record send only later changes.
    theirs.Set(4, "19500");
    theirs.DBWrite();
    mine.Set(1, "NORD-OUEST");
    mine.DBWrite();
    EXPECT_EQ(Stored(), Marks("NORD-OUEST^^AG-2^19500"));
    // The same value on both sides is no conflict.
    theirs.Set(1, "NORD-OUEST");
    theirs.DBWrite();
}

TEST_P(TwoConnections, ChangingWhatAnotherChangedIsAConflictThatReadsTheStoredValues) {
    DbRecord mine = ReadA(), theirs = ReadB();
    theirs.Set(1, "THEIRS");
    theirs.Set(4, "19500");
    theirs.DBWrite();
    mine.Set(1, "MINE");
    mine.Set(3, "AG-9");
    try {
        mine.DBWrite();
        FAIL() << "no conflict";
    } catch (const ConflictError& e) {
        EXPECT_EQ(e.number(), kConflict);
        EXPECT_EQ(e.attributes(), std::vector<int>{1});
        EXPECT_NE(std::string(e.what()).find("attribute(s) 1 of the record \"001\" of SECTEUR"),
                  std::string::npos)
            << e.what();
    }
    EXPECT_EQ(Stored(), Marks("THEIRS^^AG-1^19500")) << "nothing of mine was stored";
    EXPECT_EQ(mine.Text(), Stored()) << "the record holds the stored values";
    mine.Set(1, "MINE");  // the operator's retry now writes
    mine.DBWrite();
    EXPECT_EQ(Stored(), Marks("MINE^^AG-1^19500"));
}

TEST_P(TwoConnections, ARecordDeletedMeanwhileIsAConflictAndANewRecordIsCreatedOrMerged) {
    DbRecord mine = ReadA();
    ASSERT_TRUE(b_->OpenFile("SECTEUR").DeleteRecord("001"));
    mine.Set(1, "MINE");
    EXPECT_THROW(mine.DBWrite(), ConflictError);
    EXPECT_TRUE(mine.Empty());
    mine.Set(1, "MINE");
    mine.DBWrite();
    EXPECT_EQ(Stored(), "MINE");

    // A new record on a free key is created whole.
    DbRecord fresh = a_->OpenFile("SECTEUR").NewRecord("002");
    fresh.Set(2, "B");
    fresh.DBWrite();
    EXPECT_EQ(b_->OpenFile("SECTEUR").ReadRecord("002").Text(), Marks("^B"));
    // A new record whose key another connection took meanwhile merges into
    // it, or conflicts where both hold different values.
    DbRecord late = b_->OpenFile("SECTEUR").NewRecord("002");
    late.Set(3, "C");
    late.DBWrite();
    EXPECT_EQ(a_->OpenFile("SECTEUR").ReadRecord("002").Text(), Marks("^B^C"));
    DbRecord clash = b_->OpenFile("SECTEUR").NewRecord("002");
    clash.Set(2, "X");
    EXPECT_THROW(clash.DBWrite(), ConflictError);
    EXPECT_EQ(clash.Text(), Marks("^B^C"));
}

// Counts the writes that reach the storage.
class CountingBackend : public ForwardingBackend {
public:
    using ForwardingBackend::ForwardingBackend;
    int updates = 0;
    std::string Update(std::string_view f, std::string_view k, const Updater& u) override {
        ++updates;
        return inner().Update(f, k, u);
    }
};

// A write of an unchanged record still reaches the storage, and keeps what
// another connection stored meanwhile.
TEST_P(TwoConnections, AnUnchangedRecordIsWrittenAgainAsStored) {
    auto counter = std::make_shared<CountingBackend>(std::shared_ptr<Backend>(a_, &a_->backend()));
    Database counted(counter);
    DbRecord record = counted.OpenFile("SECTEUR").ReadRecord("001");
    DbRecord theirs = ReadB();
    theirs.Set(4, "20000");
    theirs.DBWrite();
    record.Set(1, "NORD");  // its stored value
    record.DBWrite();
    EXPECT_EQ(counter->updates, 1);
    EXPECT_EQ(ReadB().Get(4), "20000");
    record.Set(1, "SUD");
    record.DBWrite();
    EXPECT_EQ(counter->updates, 2);
    EXPECT_EQ(ReadB().Get(1), "SUD");
    EXPECT_EQ(ReadB().Get(4), "20000");
}

// Another connection holding the write lock past the wait, and a read-only
// session: the write fails with its number, nothing is stored, the record is
// back to the stored text, and a retry writes once the cause is gone.
TEST_P(TwoConnections, ABusyOrReadOnlyWriteStoresNothingAndARetryWrites) {
    auto waiting = Database::Open(base_.Location(), OpenMode::MustExist, {.lockWaitMs = 200});
    DbRecord record = waiting->OpenFile("SECTEUR").ReadRecord("001");
    {
        Transaction holder(*b_);
        DbRecord held = ReadB();
        held.Set(4, "20000");
        held.DBWrite();  // its lock lasts until the transaction ends
        record.Set(1, "SUD");
        test::ExpectError([&] { record.DBWrite(); }, kBusy, "locked");
        EXPECT_EQ(record.Text(), Marks("NORD^^AG-1^19000"));
        EXPECT_FALSE(waiting->backend().InTransaction());
    }  // rolled back
    record.Set(1, "SUD");
    record.DBWrite();
    EXPECT_EQ(Stored(), Marks("SUD^^AG-1^19000"));

    auto reader = Database::Open(base_.Location(), OpenMode::ReadOnly);
    DbRecord seen = reader->OpenFile("SECTEUR").ReadRecord("001");
    EXPECT_EQ(test::Select(*reader, "SSELECT SECTEUR PAR 1", "", "0 1").Get(1, 2), "SUD");
    seen.Set(1, "OUEST");
    test::ExpectError([&] { seen.DBWrite(); }, kReadOnly, "read-only");
    EXPECT_EQ(seen.Get(1), "SUD");
    test::ExpectError([&] { reader->CreateFile("QUARTIER"); }, kReadOnly, "read-only");
    test::ExpectError([&] { reader->OpenFile("SECTEUR").DeleteRecord("001"); }, kReadOnly,
                      "read-only");
    EXPECT_EQ(Stored(), Marks("SUD^^AG-1^19000"));
    EXPECT_FALSE(a_->HasFile("QUARTIER"));
}

INSTANTIATE_TEST_SUITE_P(Backends, TwoConnections, test::AllBackends(), test::BackendParamName());

// SQLite only: the faults come from a failing file layer under SQLite; a
// server's disk cannot be filled or broken from a test.
// Each way a write can fail: its own number, a message naming the database,
// nothing stored, the record back to the stored text, and a retry that writes.
struct Failure {
    const char* name;
    std::int32_t number;
    const char* says;
    int sqliteCode;  // what the failing file layer returns
};

class FailedWrite : public testing::TestWithParam<Failure> {};

TEST_P(FailedWrite, LeavesTheRecordAsStoredAndARetryWrites) {
    test::TempDir dir;
    const std::string path = dir.File("f.db");
    test::FaultVfs vfs;
    test::Fill(*Database::OpenSqlite(path), {"SECTEUR;001;1=NORD;3=AG-1"});
    auto db = Database::OpenSqlite(path, OpenMode::MustExist, {.lockWaitMs = 200});
    vfs.FailWrites(GetParam().sqliteCode);
    DbRecord record = db->OpenFile("SECTEUR").ReadRecord("001");
    record.Set(1, "SUD");
    record.Set(5, "NEW");
    try {
        record.DBWrite();
        ADD_FAILURE() << "the write did not fail";
    } catch (const Error& e) {
        const std::string message = e.what();
        EXPECT_EQ(e.number(), GetParam().number) << message;
        EXPECT_NE(message.find(GetParam().says), std::string::npos) << message;
        EXPECT_NE(message.find(path), std::string::npos) << message;
    }
    EXPECT_EQ(record.Text(), Marks("NORD^^AG-1"));
    record.DBWrite();  // nothing changed since: nothing to write, no error
    EXPECT_FALSE(db->backend().InTransaction());

    vfs.FailWrites(0);
    EXPECT_EQ(db->OpenFile("SECTEUR").ReadRecord("001").Text(), Marks("NORD^^AG-1"));
    record.Set(1, "SUD");  // as the operator types it again
    record.DBWrite();
    EXPECT_EQ(Database::OpenSqlite(path, OpenMode::ReadOnly)
                  ->OpenFile("SECTEUR")
                  .ReadRecord("001")
                  .Text(),
              Marks("SUD^^AG-1"));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FailedWrite,
    testing::Values(Failure{"DiskFull", kDiskFull, "disk is full", SQLITE_FULL},
                    Failure{"IoError", kIoError, "input/output error", SQLITE_IOERR_WRITE}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelmor
