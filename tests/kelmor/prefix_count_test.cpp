// Counted key prefixes on both backends: a declared prefix length answers
// Count from kept counts, which must always equal the records a scan finds,
// whatever writes, rollbacks and keys came before; and databases made before
// them read as they did and gain them when opened for writing.

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "kelmor/backend.h"
#include "test_database.h"
#include "test_support.h"

namespace kelmor {
namespace {

using Kind = KeySelection::Kind;

// Keys of every shape a prefix of 1 to 4 characters can cut: shorter than
// the length, exactly as long, multi-byte characters (2, 3 and 4 bytes)
// before and across the cut, and keys one byte apart.
const std::vector<std::string> kKeys = {
    "0",     "00", "007", "00701", "0070101", "0070102", "00702", "008",        "0080101",
    "é",     "éé", "ééé", "éé01",  "é0é0",    "e01",     "日本",  "日本語",     "日本語x",
    "日本x", "😀1", "😀😀😀", "😀😀😀1",  "Z",       "ZZZZ",    "ZZZZZ", "ZZZ\xc3\xa9"};

class CountedPrefixes : public testing::TestWithParam<test::BackendKind> {
protected:
    Backend& B() { return db_->backend(); }

    // Every prefix of 1 to 4 characters of the keys, and some no key has.
    std::set<std::string> Prefixes() const {
        std::set<std::string> prefixes = {"9", "99", "999", "9999", "é9", "日本語日"};
        for (const std::string& key : kKeys)
            for (std::size_t end = 1; end <= key.size(); ++end)  // cut between characters only
                if ((end == key.size() || (key[end] & 0xC0) != 0x80) &&
                    CharacterCount(key.substr(0, end)) <= 4)
                    prefixes.insert(key.substr(0, end));
        return prefixes;
    }

    // Count, by kept counts or not, against the records a prefix scan visits,
    // in both files.
    void ExpectExactCounts(const std::string& when) {
        SCOPED_TRACE(when);
        for (const char* file : {"Q", "R"}) {
            for (const std::string& prefix : Prefixes()) {
                std::int64_t scanned = 0;
                B().Scan(file, {Kind::Prefix, prefix},
                         [&](std::string_view, std::string_view) { ++scanned; });
                EXPECT_EQ(B().Count(file, {Kind::Prefix, prefix}), scanned)
                    << file << " prefix \"" << prefix << "\" of " << CharacterCount(prefix)
                    << " characters";
            }
        }
    }

    test::TestDatabase base_{GetParam()};
    std::shared_ptr<Database> db_ = base_.Open();
};

TEST_P(CountedPrefixes, AlwaysEqualTheRecordsAScanFinds) {
    // Records present before the declaration are counted by it; R has the
    // same keys and no declaration of 2, so neither file counts the other's.
    db_->CreateFile("Q");
    db_->CreateFile("R");
    for (std::size_t i = 0; i < kKeys.size(); i += 2) B().Write("Q", kKeys[i], "avant");
    for (const std::string& key : kKeys) B().Write("R", key, "autre");
    db_->CountKeyPrefixes("Q", 1);
    db_->CountKeyPrefixes("Q", 3);
    db_->CountKeyPrefixes("R", 3);
    ExpectExactCounts("after the declarations filled the counts");

    const std::vector<std::pair<std::string, std::function<void()>>> steps = {
        {"inserts, and inserts refused on a taken key",
         [&] {
             for (std::size_t i = 1; i < kKeys.size(); i += 2) {
                 EXPECT_TRUE(B().Insert("Q", kKeys[i], "inséré"));
             }
             EXPECT_FALSE(B().Insert("Q", kKeys[0], "refusé"));
             EXPECT_FALSE(db_->OpenFile("Q").NewRecord(kKeys[2]).DBInsert());
         }},
        {"replacements and identical writes",
         [&] {
             for (const std::string& key : kKeys) B().Write("Q", key, "remplacé");
             for (const std::string& key : kKeys) B().Write("Q", key, "remplacé");
             DbRecord record = db_->OpenFile("Q").ReadRecord("007");
             record.Set(2, "changé");
             record.DBWrite();
             db_->OpenFile("Q").ReadRecord("007").DBWrite();  // nothing changed
             B().Update("Q", "日本語", [](const auto& stored) { return *stored + "!"; });
         }},
        {"an update that creates its record",
         [&] { B().Update("Q", "0070103", [](const auto&) { return "créé"; }); }},
        {"many writes at once, a key twice, new and stored keys",
         [&] {
             const std::vector<Backend::RecordView> many = {{"Q", "0070104", "a"},
                                                            {"Q", "0070104", "b"},
                                                            {"Q", "007", "c"},
                                                            {"Q", "日本z", "d"},
                                                            {"R", "0070104", "e"}};
             B().WriteMany(many);
         }},
        {"deletes, and deletes of missing keys",
         [&] {
             EXPECT_TRUE(db_->OpenFile("Q").DeleteRecord("0070101"));
             EXPECT_TRUE(B().Delete("Q", "ééé"));
             EXPECT_TRUE(B().Delete("Q", "Z"));
             EXPECT_FALSE(B().Delete("Q", "0070101"));
             EXPECT_FALSE(B().Delete("Q", "absent"));
         }},
        {"a rolled-back transaction of inserts, replacements and deletes",
         [&] {
             Transaction transaction(*db_);
             B().Write("Q", "0079999", "perdu");
             B().Write("Q", "007", "perdu");
             EXPECT_TRUE(B().Delete("Q", "0070102"));
             EXPECT_TRUE(B().Delete("Q", "😀😀😀"));
             // Inside, the counts already follow the writes.
             EXPECT_EQ(B().Count("Q", {Kind::Prefix, "😀😀😀"}), 1);
         }},
        {"a committed transaction",
         [&] {
             Transaction transaction(*db_);
             B().Write("Q", "0079999", "gardé");
             EXPECT_TRUE(B().Delete("Q", "0070102"));
             transaction.Commit();
         }},
        {"every record of a prefix deleted, then one written again",
         [&] {
             std::vector<std::string> keys;
             B().Scan("Q", {Kind::Prefix, "日本"},
                      [&](std::string_view key, std::string_view) { keys.emplace_back(key); });
             ASSERT_FALSE(keys.empty());
             for (const std::string& key : keys) EXPECT_TRUE(B().Delete("Q", key));
             EXPECT_EQ(B().Count("Q", {Kind::Prefix, "日本語"}), 0);
             B().Write("Q", "日本語", "revenu");
         }},
        {"declared again, and a length declared on records present",
         [&] {
             db_->CountKeyPrefixes("Q", 3);
             db_->CountKeyPrefixes("Q", 2);
             db_->CountKeyPrefixes("R", 2);
         }},
        {"written after the new declaration",
         [&] {
             B().Write("Q", "éé02", "nouveau");
             EXPECT_TRUE(B().Delete("Q", "é0é0"));
             EXPECT_TRUE(B().Delete("R", "00"));
         }},
    };
    for (const auto& [what, step] : steps) {
        step();
        ExpectExactCounts("after " + what);
    }
    // A later connection reads the counts the earlier one kept.
    db_.reset();
    db_ = base_.Open(OpenMode::ReadOnly);
    EXPECT_EQ(B().CountedKeyPrefixes("Q"), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(B().CountedKeyPrefixes("R"), (std::vector<int>{2, 3}));
    ExpectExactCounts("read by another, read-only connection");
}

// A declaration inside the caller's transaction is part of it; bad ones are
// refused with what was wrong, and a read-only connection declares nothing.
TEST_P(CountedPrefixes, DeclarationsAreCheckedAndFollowTheirTransaction) {
    test::Fill(*db_, {"Q;0070101|Q;0070102|Q;0080101"});
    for (int length : {0, -3}) {
        test::ExpectError([&] { db_->CountKeyPrefixes("Q", length); }, kBadValue,
                          "at least 1 character");
    }
    test::ExpectError([&] { db_->CountKeyPrefixes("ABSENT", 3); }, kNoSuchFile, "ABSENT");
    EXPECT_TRUE(B().CountedKeyPrefixes("Q").empty());
    {
        Transaction transaction(*db_);
        db_->CountKeyPrefixes("Q", 3);
        B().Write("Q", "0070103", "");
        EXPECT_EQ(B().Count("Q", {Kind::Prefix, "007"}), 3);
    }  // rolled back: the declaration with the record
    EXPECT_TRUE(B().CountedKeyPrefixes("Q").empty());
    EXPECT_EQ(B().Count("Q", {Kind::Prefix, "007"}), 2);

    db_->CountKeyPrefixes("Q", 5);
    const auto readOnly = base_.Open(OpenMode::ReadOnly);
    test::ExpectError([&] { readOnly->CountKeyPrefixes("Q", 3); }, kReadOnly, "read-only");
    EXPECT_EQ(readOnly->backend().CountedKeyPrefixes("Q"), std::vector<int>{5});
    EXPECT_EQ(readOnly->backend().Count("Q", {Kind::Prefix, "00701"}), 2);
    // The editor's list of a sector counts the same way.
    EXPECT_EQ(test::Select(*readOnly, "SSELECT Q = '00701]' PAR 1", "", "0").DCount(), 2);
}

INSTANTIATE_TEST_SUITE_P(Backends, CountedPrefixes, test::AllBackends(), test::BackendParamName());

// A database made before counted prefixes: its tables, functions and
// triggers taken away, as an older version made it.
void MakeOlder(const test::TestDatabase& base) {
    if (base.Kind() == test::BackendKind::Postgres) {
        test::RunSql(base.Location(),
                     "DROP TRIGGER kelmor_count_prefixes ON kelmor_records;"
                     "DROP FUNCTION kelmor_count_prefixes(); DROP FUNCTION kelmor_key_prefix;"
                     "DROP TABLE kelmor_prefix_lengths, kelmor_prefix_counts");
        return;
    }
    test::SqliteRows(base.Location(),
                     "DROP TRIGGER kelmor_prefix_insert; DROP TRIGGER kelmor_prefix_delete;"
                     "DROP TABLE kelmor_prefix_lengths; DROP TABLE kelmor_prefix_counts;");
}

TEST_P(CountedPrefixes, AnOlderDatabaseReadsAsBeforeAndGainsThemWhenOpenedForWriting) {
    test::Fill(*db_, {"Q;0070101|Q;0070102|Q;0080101|Q;008"});
    db_.reset();
    MakeOlder(base_);

    const auto readOnly = base_.Open(OpenMode::ReadOnly);
    EXPECT_TRUE(readOnly->backend().CountedKeyPrefixes("Q").empty());
    EXPECT_EQ(readOnly->backend().Count("Q", {Kind::Prefix, "008"}), 2);
    test::ExpectError([&] { readOnly->CountKeyPrefixes("Q", 3); }, kReadOnly, "");

    db_ = base_.Open(OpenMode::MustExist);
    db_->CountKeyPrefixes("Q", 3);
    B().Write("Q", "0080102", "");
    EXPECT_EQ(B().Count("Q", {Kind::Prefix, "008"}), 3);
    EXPECT_EQ(B().Count("Q", {Kind::Prefix, "007"}), 2);
    // The read-only connection opened before still answers, from the range.
    EXPECT_EQ(readOnly->backend().Count("Q", {Kind::Prefix, "008"}), 3);
    EXPECT_EQ(base_.Open(OpenMode::ReadOnly)->backend().CountedKeyPrefixes("Q"),
              std::vector<int>{3});
}

}  // namespace
}  // namespace kelmor
