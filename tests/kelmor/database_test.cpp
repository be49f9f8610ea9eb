// Files and records: the not-found number, missing files, writes that replace.

#include "kelmor/database.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace kelmor {
namespace {

class DatabaseTest : public testing::Test {
protected:
    void SetUp() override { db_->CreateFile("SECTEUR"); }
    DbFile Secteur() const { return db_->OpenFile("SECTEUR"); }
    test::TempDir dir_;
    std::shared_ptr<Database> db_ = Database::OpenSqlite(dir_.File("db.sqlite"));
};

TEST_F(DatabaseTest, MissingKeyRaisesTheNotFoundNumberAndTheProbeReportsIt) {
    static_assert(kNotFound == -2147221493);
    test::ExpectError([&] { (void)Secteur().ReadRecord("404"); }, kNotFound, "\"404\"");
    const ReadResult missing = Secteur().TryReadRecord("404");
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.error, kNotFound);

    DbRecord record = Secteur().NewRecord("001");
    record.Set(1, "NORD");
    record.DBWrite();
    const ReadResult found = Secteur().TryReadRecord("001");
    ASSERT_TRUE(found);
    EXPECT_EQ(found.error, 0);
    EXPECT_EQ(found.record->Get(1), "NORD");
}

TEST_F(DatabaseTest, OpeningOrQueryingAMissingFileNamesItAndCreatesNothing) {
    test::ExpectError([&] { (void)db_->OpenFile("QUARTIER"); }, kNoSuchFile, "QUARTIER");
    test::ExpectError([&] { (void)test::Select(*db_, "SSELECT QUARTIER", "", "0"); }, kNoSuchFile,
                      "QUARTIER");
    EXPECT_EQ(db_->FileNames(), std::vector<std::string>{"SECTEUR"});
}

TEST_F(DatabaseTest, NewRecordIsStoredOnlyByDBWriteAndPersists) {
    DbRecord record = Secteur().NewRecord("002");
    EXPECT_TRUE(record.Empty());
    EXPECT_EQ(static_cast<const DynArray&>(record).Get(0), "002");  // the key is attribute 0
    record.Set(1, "SUD");
    record.Set(21, "2A");
    EXPECT_EQ(Secteur().TryReadRecord("002").error, kNotFound);
    record.DBWrite();
    EXPECT_EQ(Secteur().ReadRecord("002").Get(21), "2A");

    record.Set(21, "");  // a cleared attribute is stored cleared
    record.DBWrite();
    db_.reset();
    auto reopened = Database::OpenSqlite(dir_.File("db.sqlite"), OpenMode::MustExist);
    const DbRecord read = reopened->OpenFile("SECTEUR").ReadRecord("002");
    EXPECT_EQ(read.Text(), "SUD");
}

}  // namespace
}  // namespace kelmor
