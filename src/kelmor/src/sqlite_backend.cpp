#include "sqlite_backend.h"

#include <sqlite3.h>

#include <utility>

namespace kelmor {

// Storage layout. One table of records keyed (file id, key), with a catalogue
// of file names, rather than a table per file: every statement is fixed text
// prepared once when the database opens, so neither a file name nor any part
// of a query ever becomes SQL; creating a file is one row written in a
// transaction; and a key range within a file is a range of the one primary
// key. WITHOUT ROWID keeps each record inside the primary-key b-tree, so a key
// read is a single b-tree descent and a prefix query reads its k records
// side by side. Keys are TEXT compared with BINARY (memcmp) collation, the
// byte order that PrefixUpperBound relies on; bodies are BLOBs because the
// marks are not UTF-8.
namespace {

constexpr int kApplicationId = 0x4B4C4D52;  // "KLMR": tells our files from others
constexpr int kBusyTimeoutMs = 5000;        // other workstations' short writes

const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS kelmor_files("
    "  id INTEGER PRIMARY KEY,"
    "  name TEXT NOT NULL UNIQUE);"
    "CREATE TABLE IF NOT EXISTS kelmor_records("
    "  file INTEGER NOT NULL,"
    "  key TEXT NOT NULL,"
    "  body BLOB NOT NULL,"
    "  PRIMARY KEY (file, key)) WITHOUT ROWID;";

}  // namespace

// A prepared statement, reset and unbound after each use so that no read
// transaction stays open between calls.
class SqliteBackend::Statement {
public:
    Statement(SqliteBackend& owner, const char* sql) : owner_(owner) {
        if (sqlite3_prepare_v3(owner.db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr) !=
            SQLITE_OK) {
            owner.Fail(std::string("preparing \"") + sql + "\"");
        }
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* get() const { return stmt_; }

    // Scope of one execution: binds, steps, then resets on destruction.
    class Use {
    public:
        explicit Use(Statement& s) : s_(s) {}
        ~Use() {
            sqlite3_reset(s_.stmt_);
            sqlite3_clear_bindings(s_.stmt_);
        }
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;

        Use& Int(int index, std::int64_t v) {
            Check(sqlite3_bind_int64(s_.stmt_, index, v));
            return *this;
        }
        // The text must outlive the Use (SQLITE_STATIC: no copy).
        Use& Text(int index, std::string_view v) {
            Check(sqlite3_bind_text(s_.stmt_, index, v.data(), static_cast<int>(v.size()),
                                    SQLITE_STATIC));
            return *this;
        }
        Use& Blob(int index, std::string_view v) {
            Check(sqlite3_bind_blob(s_.stmt_, index, v.data(), static_cast<int>(v.size()),
                                    SQLITE_STATIC));
            return *this;
        }
        // True for a row, false when done.
        bool Step(const std::string& what) {
            const int rc = sqlite3_step(s_.stmt_);
            if (rc == SQLITE_ROW) return true;
            if (rc == SQLITE_DONE) return false;
            s_.owner_.Fail(what);
        }
        std::string_view Column(int col) const {
            const void* data = sqlite3_column_blob(s_.stmt_, col);
            const int size = sqlite3_column_bytes(s_.stmt_, col);
            if (data == nullptr || size == 0) return {};
            return {static_cast<const char*>(data), static_cast<std::size_t>(size)};
        }
        std::int64_t IntColumn(int col) const { return sqlite3_column_int64(s_.stmt_, col); }

    private:
        void Check(int rc) {
            if (rc != SQLITE_OK) s_.owner_.Fail("binding a parameter");
        }
        Statement& s_;
    };

private:
    SqliteBackend& owner_;
    sqlite3_stmt* stmt_ = nullptr;
};

SqliteBackend::SqliteBackend(const std::string& path, OpenMode mode) : path_(path) {
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (mode == OpenMode::CreateIfMissing) flags |= SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        const std::string reason = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        db_ = nullptr;
        if (mode == OpenMode::MustExist && (rc & 0xFF) == SQLITE_CANTOPEN) {
            throw Error(kStorageError, "kelmor: the database " + path + " does not exist");
        }
        throw Error(kStorageError, "kelmor: cannot open the database " + path + ": " + reason);
    }
    try {
        sqlite3_extended_result_codes(db_, 1);
        sqlite3_busy_timeout(db_, kBusyTimeoutMs);
        InitSchema();
        findFile_ =
            std::make_unique<Statement>(*this, "SELECT id FROM kelmor_files WHERE name = ?1");
        insertFile_ = std::make_unique<Statement>(
            *this, "INSERT OR IGNORE INTO kelmor_files(name) VALUES (?1)");
        listFiles_ =
            std::make_unique<Statement>(*this, "SELECT name FROM kelmor_files ORDER BY name");
        read_ = std::make_unique<Statement>(
            *this, "SELECT body FROM kelmor_records WHERE file = ?1 AND key = ?2");
        write_ = std::make_unique<Statement>(
            *this,
            "INSERT INTO kelmor_records(file, key, body) VALUES (?1, ?2, ?3) "
            "ON CONFLICT(file, key) DO UPDATE SET body = excluded.body");
        insert_ = std::make_unique<Statement>(
            *this,
            "INSERT INTO kelmor_records(file, key, body) VALUES (?1, ?2, ?3) "
            "ON CONFLICT(file, key) DO NOTHING");
        delete_ = std::make_unique<Statement>(
            *this, "DELETE FROM kelmor_records WHERE file = ?1 AND key = ?2");
        scanAll_ = std::make_unique<Statement>(
            *this, "SELECT key, body FROM kelmor_records WHERE file = ?1 ORDER BY key");
        scanFrom_ = std::make_unique<Statement>(
            *this,
            "SELECT key, body FROM kelmor_records WHERE file = ?1 AND key >= ?2 ORDER BY key");
        scanRange_ = std::make_unique<Statement>(*this,
                                                 "SELECT key, body FROM kelmor_records "
                                                 "WHERE file = ?1 AND key >= ?2 AND key < ?3 "
                                                 "ORDER BY key");
        begin_ = std::make_unique<Statement>(*this, "BEGIN IMMEDIATE");
        commit_ = std::make_unique<Statement>(*this, "COMMIT");
        rollback_ = std::make_unique<Statement>(*this, "ROLLBACK");
    } catch (...) {
        Close();
        throw;
    }
}

SqliteBackend::~SqliteBackend() {
    if (db_ && sqlite3_get_autocommit(db_) == 0) Rollback();
    Close();
}

void SqliteBackend::Close() noexcept {
    // Statements first: a connection with live statements does not close.
    for (auto* statement :
         {&findFile_, &insertFile_, &listFiles_, &read_, &write_, &insert_, &delete_, &scanAll_,
          &scanFrom_, &scanRange_, &begin_, &commit_, &rollback_}) {
        statement->reset();
    }
    sqlite3_close(db_);
    db_ = nullptr;
}

void SqliteBackend::Fail(const std::string& what) const {
    throw Error(kStorageError, "kelmor: " + what + " failed on the database " + path_ + ": " +
                                   (db_ ? sqlite3_errmsg(db_) : "no connection"));
}

void SqliteBackend::Exec(const char* sql, const char* what) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string reason = message ? message : sqlite3_errmsg(db_);
        sqlite3_free(message);
        throw Error(kStorageError, "kelmor: " + std::string(what) + " failed on the database " +
                                       path_ + ": " + reason);
    }
}

bool SqliteBackend::SchemaPresent() {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_,
                           "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND "
                           "name IN ('kelmor_files', 'kelmor_records')",
                           -1, &stmt, nullptr) != SQLITE_OK) {
        Fail("reading the schema");
    }
    const int rc = sqlite3_step(stmt);
    const bool present = rc == SQLITE_ROW && sqlite3_column_int(stmt, 0) == 2;
    sqlite3_finalize(stmt);
    if (rc != SQLITE_ROW) Fail("reading the schema");
    return present;
}

void SqliteBackend::InitSchema() {
    int appId = 0;
    {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db_, "PRAGMA application_id", -1, &stmt, nullptr) != SQLITE_OK) {
            Fail("reading the database header");
        }
        if (sqlite3_step(stmt) == SQLITE_ROW) appId = sqlite3_column_int(stmt, 0);
        sqlite3_finalize(stmt);
    }
    if (appId != 0 && appId != kApplicationId) {
        throw Error(kStorageError, "kelmor: " + path_ + " is not a Kelmor database");
    }
    // WAL: readers never block the writer and a commit is one append to the
    // log, so a crash leaves either the old record or the new one. NORMAL
    // synchronisation keeps that atomicity; only the last commits before a
    // power loss may be rolled back.
    Exec("PRAGMA journal_mode = WAL", "switching to WAL mode");
    Exec("PRAGMA synchronous = NORMAL", "setting the synchronisation mode");
    if (SchemaPresent()) return;  // no write lock needed to open a database in use
    Exec("BEGIN IMMEDIATE", "creating the tables");
    try {
        Exec(kSchema, "creating the tables");
        if (appId == 0) {
            Exec("PRAGMA application_id = 1263291730", "marking the database");
            static_assert(kApplicationId == 1263291730);
        }
        Exec("COMMIT", "creating the tables");
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

std::optional<std::int64_t> SqliteBackend::FindFileId(std::string_view file) {
    if (auto it = fileIds_.find(file); it != fileIds_.end()) return it->second;
    Statement::Use use(*findFile_);
    use.Text(1, file);
    if (!use.Step("looking up a file")) return std::nullopt;
    const std::int64_t id = use.IntColumn(0);
    fileIds_.emplace(std::string(file), id);
    return id;
}

std::int64_t SqliteBackend::FileId(std::string_view file) {
    if (auto id = FindFileId(file)) return *id;
    throw Error(kNoSuchFile,
                "kelmor: the file " + std::string(file) + " does not exist in this database");
}

bool SqliteBackend::HasFile(std::string_view file) {
    return FindFileId(file).has_value();
}

void SqliteBackend::CreateFile(std::string_view file) {
    CheckFileName(file);
    Statement::Use use(*insertFile_);
    use.Text(1, file);
    use.Step("creating the file " + std::string(file));
}

std::vector<std::string> SqliteBackend::FileNames() {
    std::vector<std::string> names;
    Statement::Use use(*listFiles_);
    while (use.Step("listing the files")) names.emplace_back(use.Column(0));
    return names;
}

std::optional<std::string> SqliteBackend::Read(std::string_view file, std::string_view key) {
    const std::int64_t id = FileId(file);
    Statement::Use use(*read_);
    use.Int(1, id).Text(2, key);
    if (!use.Step("reading a record")) return std::nullopt;
    return std::string(use.Column(0));
}

void SqliteBackend::CheckWritable(std::string_view file, std::string_view key,
                                  std::string_view whole) const {
    CheckKey(key);
    if (!IsValidWholeText(whole)) {
        throw DelimiterError("kelmor: the record \"" + std::string(key) + "\" of " +
                             std::string(file) + " is not valid text; nothing was stored");
    }
}

void SqliteBackend::Write(std::string_view file, std::string_view key, std::string_view whole) {
    CheckWritable(file, key, whole);
    const std::int64_t id = FileId(file);
    Statement::Use use(*write_);
    use.Int(1, id).Text(2, key).Blob(3, whole);
    use.Step("writing a record");
}

bool SqliteBackend::Insert(std::string_view file, std::string_view key, std::string_view whole) {
    CheckWritable(file, key, whole);
    const std::int64_t id = FileId(file);
    Statement::Use use(*insert_);
    use.Int(1, id).Text(2, key).Blob(3, whole);
    use.Step("inserting a record");
    return sqlite3_changes(db_) > 0;
}

std::string SqliteBackend::Update(std::string_view file, std::string_view key,
                                  const Updater& update) {
    // BEGIN IMMEDIATE takes the write lock before the read, so no other
    // connection can write the record between the read and the write.
    const bool own = !InTransaction();
    if (own) Begin();
    try {
        std::string whole = update(Read(file, key));
        Write(file, key, whole);
        if (own) Commit();
        return whole;
    } catch (...) {
        if (own) Rollback();
        throw;
    }
}

bool SqliteBackend::Delete(std::string_view file, std::string_view key) {
    const std::int64_t id = FileId(file);
    Statement::Use use(*delete_);
    use.Int(1, id).Text(2, key);
    use.Step("deleting a record");
    return sqlite3_changes(db_) > 0;
}

void SqliteBackend::Scan(std::string_view file, const KeySelection& selection,
                         const Visitor& visit) {
    const std::int64_t id = FileId(file);
    using Kind = KeySelection::Kind;
    if (selection.kind == Kind::Exact) {
        if (auto whole = Read(file, selection.text)) visit(selection.text, *whole);
        return;
    }
    const auto run = [&](Statement& statement, const std::optional<std::string>& upper) {
        Statement::Use use(statement);
        use.Int(1, id);
        if (&statement != scanAll_.get()) use.Text(2, selection.text);
        if (upper) use.Text(3, *upper);
        const bool filter = selection.kind == Kind::Suffix || selection.kind == Kind::Contains;
        while (use.Step("scanning a file")) {
            const std::string_view key = use.Column(0);
            if (!filter || Matches(selection, key)) visit(key, use.Column(1));
        }
    };
    if (selection.kind == Kind::Prefix && !selection.text.empty()) {
        const std::optional<std::string> upper = PrefixUpperBound(selection.text);
        run(upper ? *scanRange_ : *scanFrom_, upper);
    } else {
        // All, or a suffix / contains selection: those visit every key.
        run(*scanAll_, std::nullopt);
    }
}

void SqliteBackend::Begin() {
    if (InTransaction()) {
        throw Error(kStorageError, "kelmor: a transaction is already open on " + path_);
    }
    Statement::Use use(*begin_);
    use.Step("starting a transaction");
}

void SqliteBackend::Commit() {
    Statement::Use use(*commit_);
    use.Step("committing a transaction");
}

void SqliteBackend::Rollback() noexcept {
    if (sqlite3_get_autocommit(db_) == 0) {
        sqlite3_step(rollback_->get());
        sqlite3_reset(rollback_->get());
    }
    fileIds_.clear();
}

bool SqliteBackend::InTransaction() const noexcept {
    return sqlite3_get_autocommit(db_) == 0;
}

}  // namespace kelmor
