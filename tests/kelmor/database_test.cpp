// Files and records: the not-found number, missing files, creation, deletion,
// transactions and the life of handles.

#include "kelmor/database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "kelmor/backend.h"
#include "test_support.h"

namespace kelmor {
namespace {

class DatabaseTest : public testing::Test {
protected:
    void SetUp() override {
        db_ = Database::OpenSqlite(dir_.File("db.sqlite"));
        db_->CreateFile("SECTEUR");
    }
    DbFile Secteur() const { return db_->OpenFile("SECTEUR"); }
    void Store(const std::string& key, const std::string& label) const {
        DbRecord r = Secteur().NewRecord(key);
        r.Set(1, label);
        r.DBWrite();
    }

    test::TempDir dir_;
    std::shared_ptr<Database> db_;
};

TEST_F(DatabaseTest, MissingKeyRaisesTheNotFoundNumber) {
    static_assert(kNotFound == -2147221493);
    try {
        (void)Secteur().ReadRecord("404");
        FAIL() << "no error";
    } catch (const Error& e) {  // callers catch the base type and test the number
        EXPECT_EQ(e.number(), kNotFound);
        EXPECT_EQ(static_cast<std::uint32_t>(e.number()), 0x8004000BU);
        EXPECT_NE(std::string(e.what()).find("\"404\""), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("SECTEUR"), std::string::npos) << e.what();
        ASSERT_NE(dynamic_cast<const NotFoundError*>(&e), nullptr);
    }
}

TEST_F(DatabaseTest, ProbingReadReportsTheNumberWithoutThrowing) {
    Store("001", "NORD");
    const ReadResult missing = Secteur().TryReadRecord("404");
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.error, kNotFound);
    EXPECT_FALSE(missing.message.empty());

    const ReadResult found = Secteur().TryReadRecord("001");
    ASSERT_TRUE(found);
    EXPECT_EQ(found.error, 0);
    EXPECT_EQ(found.record->Get(1), "NORD");
}

TEST_F(DatabaseTest, OpeningAMissingFileNamesItAndCreatesNothing) {
    try {
        (void)db_->OpenFile("QUARTIER");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), kNoSuchFile);
        EXPECT_NE(std::string(e.what()).find("QUARTIER"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(db_->HasFile("QUARTIER"));
    EXPECT_EQ(db_->FileNames(), std::vector<std::string>{"SECTEUR"});

    std::int32_t count = -1;
    DynArray request;
    request.Set(1, "SSELECT QUARTIER");
    try {
        (void)db_->Query(request.Text(), "", count);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), kNoSuchFile);
    }
    EXPECT_FALSE(db_->HasFile("QUARTIER"));
}

TEST_F(DatabaseTest, FilesAreCreatedOnceAndListed) {
    db_->CreateFile("QUARTIER");
    Store("001", "NORD");
    db_->CreateFile("SECTEUR");  // exists: left as it is
    EXPECT_EQ(Secteur().ReadRecord("001").Get(1), "NORD");
    EXPECT_EQ(db_->FileNames(), (std::vector<std::string>{"QUARTIER", "SECTEUR"}));
}

class FileNames : public DatabaseTest, public testing::WithParamInterface<std::string> {};

TEST_P(FileNames, ThatCannotBeNamedInAQueryAreRefused) {
    try {
        db_->CreateFile(GetParam());
        FAIL() << "accepted";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), kBadValue);
        EXPECT_NE(std::string(e.what()).find("file name"), std::string::npos) << e.what();
    }
    EXPECT_EQ(db_->FileNames(), std::vector<std::string>{"SECTEUR"});
}

INSTANTIATE_TEST_SUITE_P(Invalid, FileNames,
                         testing::Values("", "MY FILE", "ÉTAT", "F'1", "F;DROP",
                                         std::string(65, 'A'), "A\xFE"));

TEST_F(DatabaseTest, NewRecordIsStoredOnlyByDBWriteWhichReplaces) {
    DbRecord record = Secteur().NewRecord("002");
    EXPECT_TRUE(record.Empty());
    EXPECT_EQ(record.Key(), "002");
    record.Set(1, "SUD");
    record.Set(21, "2A");
    EXPECT_EQ(Secteur().TryReadRecord("002").error, kNotFound);
    record.DBWrite();
    EXPECT_EQ(Secteur().ReadRecord("002").Get(21), "2A");

    DbRecord replacement = Secteur().NewRecord("002");
    replacement.Set(1, "OUEST");
    replacement.DBWrite();  // replaces the whole record: attribute 21 is gone
    const DbRecord read = Secteur().ReadRecord("002");
    EXPECT_EQ(read.Get(1), "OUEST");
    EXPECT_EQ(read.Get(21), "");

    EXPECT_THROW((void)Secteur().NewRecord(""), DelimiterError);
}

TEST_F(DatabaseTest, DeleteRecordSaysWhetherThereWasOne) {
    Store("003", "EST");
    EXPECT_TRUE(Secteur().DeleteRecord("003"));
    EXPECT_FALSE(Secteur().DeleteRecord("003"));
    EXPECT_EQ(Secteur().TryReadRecord("003").error, kNotFound);
}

TEST_F(DatabaseTest, HandlesOutliveTheDatabaseObject) {
    DbFile file = Secteur();
    DbRecord record = file.NewRecord("004");
    db_.reset();
    record.Set(1, "CENTRE");
    record.DBWrite();
    EXPECT_EQ(file.ReadRecord("004").Get(1), "CENTRE");
}

TEST_F(DatabaseTest, UnboundRecordCannotBeWritten) {
    DbRecord record;
    record.Set(1, "X");
    try {
        record.DBWrite();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), kStorageError);
    }
}

TEST_F(DatabaseTest, RecordsPersistAcrossConnections) {
    Store("005", "LITTORAL");
    db_.reset();
    auto reopened = Database::OpenSqlite(dir_.File("db.sqlite"), OpenMode::MustExist);
    EXPECT_EQ(reopened->OpenFile("SECTEUR").ReadRecord("005").Get(1), "LITTORAL");
}

TEST_F(DatabaseTest, TransactionCommitsAllOrRollsBackAll) {
    {
        Transaction tx(*db_);
        Store("010", "A");
        Store("011", "B");
        EXPECT_THROW(Transaction nested(*db_), Error);
        tx.Commit();
        EXPECT_THROW(tx.Commit(), Error);
    }
    {
        Transaction tx(*db_);
        Store("012", "C");
        db_->CreateFile("QUARTIER");
        Store("010", "CHANGED");
    }  // not committed
    EXPECT_EQ(Secteur().ReadRecord("010").Get(1), "A");
    EXPECT_EQ(Secteur().ReadRecord("011").Get(1), "B");
    EXPECT_EQ(Secteur().TryReadRecord("012").error, kNotFound);
    EXPECT_FALSE(db_->HasFile("QUARTIER"));
    EXPECT_THROW((void)db_->OpenFile("QUARTIER"), Error);
}

TEST(DatabaseOpen, MustExistDoesNotCreateTheDatabase) {
    test::TempDir dir;
    const std::string path = dir.File("absent.db");
    try {
        (void)Database::OpenSqlite(path, OpenMode::MustExist);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), kStorageError);
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(DatabaseOpen, RefusesAFileThatIsNotADatabase) {
    test::TempDir dir;
    const std::string path = dir.File("notes.txt");
    std::ofstream(path) << "Ceci n'est pas une base de données, mais un texte assez long pour "
                           "occuper plus que l'en-tête d'un fichier de base.\n";
    try {
        auto db = Database::OpenSqlite(path);
        (void)db->FileNames();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), kStorageError);
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace kelmor
