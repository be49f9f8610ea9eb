// Files and records: the not-found number, missing files, writes that replace.

#include "kelmor/database.h"
#include "kelmor/backend.h"

#include <gtest/gtest.h>

#include "test_database.h"
#include "test_support.h"

namespace kelmor {
namespace {

class DatabaseTest : public testing::TestWithParam<test::BackendKind> {
protected:
    void SetUp() override { db_->CreateFile("SECTEUR"); }
    DbFile Secteur() const { return db_->OpenFile("SECTEUR"); }
    test::TestDatabase base_{GetParam()};
    std::shared_ptr<Database> db_ = base_.Open();
};

TEST_P(DatabaseTest, MissingKeyRaisesTheNotFoundNumberAndTheProbeReportsIt) {
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

TEST_P(DatabaseTest, OpeningOrQueryingAMissingFileNamesItAndCreatesNothing) {
    test::ExpectError([&] { (void)db_->OpenFile("QUARTIER"); }, kNoSuchFile, "QUARTIER");
    test::ExpectError([&] { (void)test::Select(*db_, "SSELECT QUARTIER", "", "0"); }, kNoSuchFile,
                      "QUARTIER");
    EXPECT_EQ(db_->FileNames(), std::vector<std::string>{"SECTEUR"});
}

TEST_P(DatabaseTest, NewRecordIsStoredOnlyByDBWriteAndPersists) {
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
    auto reopened = base_.Open(OpenMode::MustExist);
    const DbRecord read = reopened->OpenFile("SECTEUR").ReadRecord("002");
    EXPECT_EQ(read.Text(), "SUD");
}

TEST_P(DatabaseTest, ATransactionIsUnseenUntilCommittedAndARollbackLeavesNothing) {
    const auto other = base_.Open();  // another workstation
    const auto write = [&](const std::string& key) {
        test::Fill(*db_, {"SECTEUR;" + key + ";1=" + key});
    };
    {
        Transaction tx(*db_);
        write("010");
        db_->CreateFile("QUARTIER");
        EXPECT_TRUE(db_->HasFile("QUARTIER"));
        test::ExpectError([&] { db_->backend().Begin(); }, kStorageError, "already open");
        EXPECT_EQ(other->OpenFile("SECTEUR").TryReadRecord("010").error, kNotFound);
        EXPECT_FALSE(other->HasFile("QUARTIER"));
        tx.Commit();
    }
    EXPECT_EQ(other->OpenFile("SECTEUR").ReadRecord("010").Get(1), "010");
    EXPECT_TRUE(other->HasFile("QUARTIER"));
    {
        Transaction tx(*db_);
        write("011");
        db_->CreateFile("ANTENNE");
        (void)db_->OpenFile("ANTENNE");
    }  // rolled back: the file it created is forgotten too
    EXPECT_FALSE(db_->backend().InTransaction());
    EXPECT_FALSE(db_->HasFile("ANTENNE"));
    test::ExpectError([&] { (void)db_->OpenFile("ANTENNE"); }, kNoSuchFile, "ANTENNE");
    EXPECT_EQ(Secteur().TryReadRecord("011").error, kNotFound);
    EXPECT_EQ(other->FileNames(), (std::vector<std::string>{"QUARTIER", "SECTEUR"}));
}

INSTANTIATE_TEST_SUITE_P(Backends, DatabaseTest, test::AllBackends(), test::BackendParamName());

}  // namespace
}  // namespace kelmor
