#pragma once
// A fresh, empty database of either backend for one test, so that the same
// tests run on both and tests run in parallel. The PostgreSQL server is the
// one named by ZONITRA_TEST_PG (tools/pg.sh starts one); each test gets its
// own schema on it (the connection string sets the search path), dropped at
// the end.

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "kelmor/database.h"

namespace kelmor::test {

enum class BackendKind { Sqlite, Postgres };

// Both backends, for INSTANTIATE_TEST_SUITE_P, and their names in test names.
inline auto AllBackends() {
    return testing::Values(BackendKind::Sqlite, BackendKind::Postgres);
}
std::string BackendName(BackendKind kind);
struct BackendParamName {
    std::string operator()(const testing::TestParamInfo<BackendKind>& info) const {
        return BackendName(info.param);
    }
};

// The maintenance connection string of the test server; fails the test (never
// skips it) when no server was started.
std::string ServerLocation();

class TestDatabase {
public:
    explicit TestDatabase(BackendKind kind);
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    BackendKind Kind() const { return kind_; }
    // A path, or a postgresql:// connection string.
    const std::string& Location() const { return location_; }
    // A new connection each time.
    std::shared_ptr<Database> Open(OpenMode mode = OpenMode::CreateIfMissing) const {
        return Database::Open(location_, mode);
    }
    // Ends every connection to this database, as a server restart does
    // (PostgreSQL only).
    void CutConnections() const;

private:
    BackendKind kind_;
    std::string dir_;   // SQLite: the folder of the file
    std::string name_;  // PostgreSQL: the schema's name
    std::string location_;
};

// The one way fixtures are built: stores records written
// "FILE;KEY;N=VALUE;...", several in one text joined by '|', creating their
// files as needed ("FILE" alone only creates it); ']' separates the values
// of an attribute.
void Fill(Database& db, std::initializer_list<std::string_view> records);

// Runs one fixed statement on a connection string (no result); fails the test
// with the server's message otherwise.
void RunSql(const std::string& location, const std::string& sql);

// Runs `sql` straight on the SQLite file at `path`, around the library, and
// returns the rows it gives, their columns joined by '|', one a line; an
// error fails the test.
std::string SqliteRows(const std::string& path, const std::string& sql, bool readOnly = false);

}  // namespace kelmor::test
