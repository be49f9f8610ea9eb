// The write-noting backend: forwards everything, notes each stored write once.
#include <gtest/gtest.h>
#include <kelmor/database.h>

#include <QTemporaryDir>

#include "driver.h"
#include "recording_backend.h"

namespace {

using drive::WriteNote;

class RecordingBackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        plain_ = kelmor::Database::OpenSqlite(dir_.filePath("db.sqlite").toStdString());
        plain_->CreateFile("SECTEUR");
        recorded_ = drive::Record(plain_);
    }

    QTemporaryDir dir_;
    std::shared_ptr<kelmor::Database> plain_;
    drive::RecordedDatabase recorded_;
};

TEST_F(RecordingBackendTest, NotesEachWriteInOrderAndForwardsIt) {
    kelmor::DbFile file = recorded_.database->OpenFile("SECTEUR");
    kelmor::DbRecord nord = file.NewRecord("001");
    nord.Set(1, "NORD");
    nord.DBWrite();
    kelmor::DbRecord sud = file.NewRecord("002");
    sud.Set(1, "SUD");
    sud.DBWrite();
    nord.DBWrite();

    EXPECT_EQ(recorded_.recorder->TakeWrites(),
              (std::vector<WriteNote>{{"SECTEUR", "001"}, {"SECTEUR", "002"}, {"SECTEUR", "001"}}));
    EXPECT_TRUE(recorded_.recorder->TakeWrites().empty());
    // Stored through to the database underneath.
    EXPECT_EQ(plain_->OpenFile("SECTEUR").ReadRecord("002").Get(1), "SUD");
}

TEST_F(RecordingBackendTest, ReadsQueriesAndDeletesAreNotWrites) {
    kelmor::DbRecord record = plain_->OpenFile("SECTEUR").NewRecord("001");
    record.Set(1, "NORD");
    record.DBWrite();

    kelmor::DbFile file = recorded_.database->OpenFile("SECTEUR");
    EXPECT_EQ(file.ReadRecord("001").Get(1), "NORD");
    EXPECT_FALSE(file.TryReadRecord("404"));
    std::int32_t count = 0;
    kelmor::DynArray request;
    request.Set(1, "SSELECT SECTEUR PAR 1");
    request.Set(2, "SECTEUR");
    request.Set(3, "0 1");
    EXPECT_EQ(recorded_.database->Query(request.Text(), "", count).DCount(), 1);
    EXPECT_TRUE(file.DeleteRecord("001"));
    EXPECT_TRUE(recorded_.recorder->TakeWrites().empty());
}

TEST_F(RecordingBackendTest, AFailedWriteIsNotNoted) {
    EXPECT_THROW(recorded_.recorder->Write("NOFILE", "1", "x"), kelmor::Error);
    EXPECT_TRUE(recorded_.recorder->TakeWrites().empty());
}

TEST_F(RecordingBackendTest, TransactionsReachTheDatabaseUnderneath) {
    {
        kelmor::Transaction transaction(*recorded_.database);
        EXPECT_TRUE(recorded_.recorder->InTransaction());
        kelmor::DbRecord record = recorded_.database->OpenFile("SECTEUR").NewRecord("009");
        record.Set(1, "ABANDONNÉ");
        record.DBWrite();
    }  // rolled back
    EXPECT_FALSE(recorded_.recorder->InTransaction());
    EXPECT_FALSE(plain_->OpenFile("SECTEUR").TryReadRecord("009"));
}

}  // namespace
