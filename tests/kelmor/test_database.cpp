#include "test_database.h"

#include <libpq-fe.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

namespace kelmor::test {

namespace {

// `text` cut at each `by`.
std::vector<std::string> Split(std::string_view text, char by) {
    std::vector<std::string> parts;
    for (std::size_t end; (end = text.find(by)) != std::string_view::npos;
         text.remove_prefix(end + 1))
        parts.emplace_back(text.substr(0, end));
    parts.emplace_back(text);
    return parts;
}

}  // namespace

void Fill(Database& db, std::initializer_list<std::string_view> records) {
    for (std::string_view text : records)
        for (const std::string& one : Split(text, '|')) {
            const std::vector<std::string> fields = Split(one, ';');
            if (!db.HasFile(fields[0])) db.CreateFile(fields[0]);
            if (fields.size() < 2) continue;
            DbRecord record = db.OpenFile(fields[0]).NewRecord(fields[1]);
            for (std::size_t f = 2; f < fields.size(); ++f) {
                const std::size_t equals = fields[f].find('=');
                record.SetValues(std::stoi(fields[f].substr(0, equals)),
                                 Split(std::string_view(fields[f]).substr(equals + 1), ']'));
            }
            record.DBWrite();
        }
}

std::string BackendName(BackendKind kind) {
    return kind == BackendKind::Sqlite ? "Sqlite" : "Postgres";
}

std::string ServerLocation() {
    const char* location = getenv("ZONITRA_TEST_PG");
    if (location == nullptr || *location == '\0') {
        ADD_FAILURE() << "ZONITRA_TEST_PG is not set: run the tests with tools/test.sh, or "
                         "under tools/pg.sh (e.g. tools/pg.sh ctest --test-dir build)";
        return {};
    }
    return location;
}

void RunSql(const std::string& location, const std::string& sql) {
    PGconn* conn = PQconnectdb(location.c_str());
    if (PQstatus(conn) != CONNECTION_OK) {
        ADD_FAILURE() << "cannot connect to the test server: " << PQerrorMessage(conn);
    } else {
        PQsetNoticeProcessor(
            conn, [](void*, const char*) {}, nullptr);
        PGresult* result = PQexec(conn, sql.c_str());
        const ExecStatusType status = PQresultStatus(result);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
            ADD_FAILURE() << sql << ": " << PQresultErrorMessage(result);
        }
        PQclear(result);
    }
    PQfinish(conn);
}

std::string SqliteRows(const std::string& path, const std::string& sql, bool readOnly) {
    sqlite3* db = nullptr;
    std::string rows;
    char* error = nullptr;
    const int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    const auto row = [](void* out, int columns, char** values, char**) {
        for (int i = 0; i < columns; ++i)
            *static_cast<std::string*>(out) +=
                (values[i] ? values[i] : "NULL") + std::string(i + 1 < columns ? "|" : "\n");
        return 0;
    };
    if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK ||
        sqlite3_exec(db, sql.c_str(), row, &rows, &error) != SQLITE_OK)
        ADD_FAILURE() << path << ": " << sql << ": " << (error ? error : sqlite3_errmsg(db));
    sqlite3_free(error);
    sqlite3_close(db);
    return rows;
}

TestDatabase::TestDatabase(BackendKind kind) : kind_(kind) {
    if (kind == BackendKind::Sqlite) {
        std::string pattern = (std::filesystem::temp_directory_path() / "kelmor-test-XXXXXX");
        if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
        dir_ = pattern;
        location_ = dir_ + "/test.sqlite";
        return;
    }
    // A schema of its own in the server's maintenance database, chosen by the
    // connection's search path: much quicker than a database per test. ctest
    // runs each test in its own process: the pid keeps parallel tests apart.
    static std::atomic<int> counter{0};
    name_ = "kelmor_test_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
    const std::string server = ServerLocation();
    if (server.empty()) return;
    RunSql(server, "DROP SCHEMA IF EXISTS " + name_ + " CASCADE");
    RunSql(server, "CREATE SCHEMA " + name_);
    location_ = server + (server.find('?') == std::string::npos ? "?" : "&") +
                "options=-csearch_path%3D" + name_ + "&application_name=" + name_;
}

TestDatabase::~TestDatabase() {
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
    if (!location_.empty() && kind_ == BackendKind::Postgres) {
        CutConnections();  // connections a failed test left open
        RunSql(ServerLocation(), "DROP SCHEMA IF EXISTS " + name_ + " CASCADE");
    }
}

void TestDatabase::CutConnections() const {
    RunSql(
        ServerLocation(),
        "SELECT pg_terminate_backend(pid, 5000) FROM pg_stat_activity WHERE application_name = '" +
            name_ + "' AND pid <> pg_backend_pid()");
}

}  // namespace kelmor::test
