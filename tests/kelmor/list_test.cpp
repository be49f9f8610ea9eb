// Lists of a whole file: read a page at a time in label or key order, counted
// without reading, on both backends; and the upgrade of an older SQLite file.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "kelmor/backend.h"
#include "test_database.h"
#include "test_support.h"

namespace kelmor {
namespace {

// Labels whose French order differs from their byte order: accents and case,
// ligatures, equal labels (ties by key), empty ones, several values and
// sub-values.
// clang-format off
const std::vector<std::string> kLabels = {
    "école", "ECOLE", "Ecole", "éclair", "Zèbre", "zebre", "Œuf", "oeuf", "",
    std::string("A") + kValueMark + "B", std::string("A") + kValueMark, "A",
    std::string("A") + kSubValueMark + "C" + kValueMark + "B",
    std::string("A") + kValueMark + "A", "côte", "cote", "coté", "côté"};
// clang-format on

std::string KeyOf(int i) {
    char key[16];
    std::snprintf(key, sizeof key, "K%05d", (i * 7919) % 100000);  // keys out of label order
    return key;
}

class WholeFileList : public testing::TestWithParam<test::BackendKind> {
protected:
    // `n` records, stored in one call.
    void Fill(int n) {
        db_->CreateFile("F");
        std::vector<std::string> keys, bodies;
        for (int i = 0; i < n; ++i) {
            keys.push_back(KeyOf(i));
            bodies.push_back(kLabels[static_cast<std::size_t>(i) % kLabels.size()] +
                             kAttributeMark + std::to_string(i));
        }
        std::vector<Backend::RecordView> views;
        for (int i = 0; i < n; ++i) {
            views.push_back(
                {"F", keys[static_cast<std::size_t>(i)], bodies[static_cast<std::size_t>(i)]});
        }
        db_->backend().WriteMany(views);
    }
    ResultList Select(const std::string& query, const std::string& columns = "0 1") {
        return test::Select(*db_, query, "", columns);
    }

    test::TestDatabase base_{GetParam()};
    std::shared_ptr<Database> db_ = base_.Open();
};

// More rows than the pages a list keeps, so that rows are read again after
// being dropped, forwards, backwards and by jumps.
TEST_P(WholeFileList, IsLazyAndReadsTheSortedOrderInAnyOrder) {
    const int n = ResultList::kPageRows * ResultList::kPagesKept + 301;
    Fill(n);
    // Two sort attributes are sorted in memory by the collator: the reference.
    const ResultList sorted = Select("SSELECT F PAR 1 PAR 1");
    ASSERT_FALSE(sorted.Lazy());
    ASSERT_EQ(sorted.DCount(), n);

    for (const char* query : {"SSELECT F PAR 1", "SSELECT F = ']' PAR 1"}) {
        SCOPED_TRACE(query);
        const ResultList lazy = Select(query);
        EXPECT_TRUE(lazy.Lazy());
        ASSERT_EQ(lazy.DCount(), n);
        std::vector<int> rows(static_cast<std::size_t>(n));
        for (int r = 0; r < n; ++r) rows[static_cast<std::size_t>(r)] = r + 1;
        for (int r = 1; r <= n; ++r) ASSERT_EQ(lazy.Get(r), sorted.Get(r)) << "row " << r;
        for (int r = n; r >= 1; --r) ASSERT_EQ(lazy.Get(r, 1), sorted.Get(r, 1)) << "row " << r;
        std::shuffle(rows.begin(), rows.end(), std::mt19937(7));
        const ResultList fresh = Select(query);  // jumps from nothing read yet
        for (int r : rows) ASSERT_EQ(fresh.Get(r, 2), sorted.Get(r, 2)) << "row " << r;
        EXPECT_EQ(lazy.Get(0), "");
        EXPECT_EQ(lazy.Get(n + 1), "");
        EXPECT_EQ(lazy.Columns(1), sorted.Columns(1));
    }

    // Key order: the keys sorted byte by byte.
    const ResultList byKey = Select("SELECT F", "0");
    EXPECT_TRUE(byKey.Lazy());
    std::vector<std::string> keys;
    for (int i = 0; i < n; ++i) keys.push_back(KeyOf(i));
    std::sort(keys.begin(), keys.end());
    ASSERT_EQ(byKey.DCount(), n);
    for (int r = n; r >= 1; r -= 37) EXPECT_EQ(byKey.Get(r), keys[static_cast<std::size_t>(r - 1)]);
}

// The count of a whole file is kept as records come and go; a rolled-back
// transaction, a refused insert and a replacement leave it as it was.
TEST_P(WholeFileList, CountFollowsInsertsReplacementsAndDeletes) {
    Fill(40);
    const auto count = [&] {
        const int listed = Select("SSELECT F PAR 1").DCount();
        EXPECT_EQ(listed, db_->backend().Count("F", {}));
        return listed;
    };
    EXPECT_EQ(count(), 40);
    DbFile file = db_->OpenFile("F");
    DbRecord fresh = file.NewRecord("NEW");
    fresh.Set(1, "zz");
    EXPECT_TRUE(fresh.DBInsert());
    EXPECT_FALSE(file.NewRecord("NEW").DBInsert());
    EXPECT_EQ(count(), 41);
    EXPECT_EQ(Select("SSELECT F PAR 1").Get(41, 1), "NEW");  // "zz" last
    DbRecord again = file.ReadRecord("NEW");
    again.Set(1, "aa");
    again.DBWrite();  // a replacement: no new record, a new place in the order
    EXPECT_EQ(count(), 41);
    // The stored order follows the new label: the collator's sort in memory
    // (two sort attributes) is the reference.
    const ResultList lazy = Select("SSELECT F PAR 1");
    const ResultList sorted = Select("SSELECT F PAR 1 PAR 1");
    ASSERT_TRUE(lazy.Lazy());
    ASSERT_EQ(sorted.DCount(), 41);
    for (int r = 1; r <= 41; ++r) EXPECT_EQ(lazy.Get(r), sorted.Get(r)) << "row " << r;
    EXPECT_NE(lazy.Get(41, 1), "NEW");
    {
        Transaction t(*db_);
        file.NewRecord("GONE").DBWrite();
        EXPECT_TRUE(file.DeleteRecord(KeyOf(3)));
        EXPECT_TRUE(file.DeleteRecord(KeyOf(4)));
    }  // rolled back
    EXPECT_EQ(count(), 41);
    EXPECT_TRUE(file.DeleteRecord(KeyOf(3)));
    EXPECT_FALSE(file.DeleteRecord(KeyOf(3)));
    EXPECT_EQ(count(), 40);

    // Another file's records are not counted; a prefix counts its key range.
    db_->CreateFile("G");
    db_->OpenFile("G").NewRecord("X").DBWrite();
    EXPECT_EQ(count(), 40);
    EXPECT_EQ(db_->backend().Count("F", {KeySelection::Kind::Prefix, "K0"}),
              Select("SSELECT F = 'K0]'").DCount());
    EXPECT_EQ(Select("SSELECT G").DCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(Backends, WholeFileList, test::AllBackends(), test::BackendParamName());

// An SQLite database made before records carried their label sort key: it
// is upgraded when first opened for writing, and refused read-only before.
TEST(OlderDatabase, IsUpgradedWhenOpenedForWritingAndRefusedReadOnlyBefore) {
    test::TempDir dir;
    const std::string path = dir.File("old.db");
    test::SqliteRows(path,
                     "PRAGMA application_id = 1263291730;"
                     "CREATE TABLE kelmor_files(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE);"
                     "CREATE TABLE kelmor_records(file INTEGER NOT NULL, key TEXT NOT NULL,"
                     "  body BLOB NOT NULL, PRIMARY KEY (file, key)) WITHOUT ROWID;"
                     "INSERT INTO kelmor_files(id, name) VALUES (1, 'F'), (2, 'G');"
                     "INSERT INTO kelmor_records VALUES (1, '1', 'zèbre'), (1, '2', 'Zebre'),"
                     "  (1, '3', 'école'), (1, '4', 'ECOLE'), (2, 'x', 'a');");
    test::ExpectError([&] { Database::OpenSqlite(path, OpenMode::ReadOnly); }, kReadOnly,
                      "upgrade");
    auto db = Database::OpenSqlite(path, OpenMode::MustExist);
    const ResultList list = test::Select(*db, "SSELECT F PAR 1", "", "0");
    EXPECT_TRUE(list.Lazy());
    ASSERT_EQ(list.DCount(), 4);
    const std::vector<std::string> order = {list.Get(1), list.Get(2), list.Get(3), list.Get(4)};
    EXPECT_EQ(order, (std::vector<std::string>{"4", "3", "2", "1"}));
    EXPECT_EQ(test::Select(*db, "SSELECT G", "", "0").DCount(), 1);
    db->OpenFile("F").NewRecord("5").DBWrite();
    EXPECT_EQ(test::Select(*db, "SSELECT F", "", "0").DCount(), 5);
    EXPECT_EQ(
        test::Select(*Database::OpenSqlite(path, OpenMode::ReadOnly), "SSELECT F PAR 1", "", "0")
            .Get(1),
        "5");  // an empty label first
}

}  // namespace
}  // namespace kelmor
