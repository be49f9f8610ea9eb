#include "sqlite_backend.h"

#include <sqlite3.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
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

const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS kelmor_files("
    "  id INTEGER PRIMARY KEY,"
    "  name TEXT NOT NULL UNIQUE,"
    "  records INTEGER NOT NULL DEFAULT 0);"
    "CREATE TABLE IF NOT EXISTS kelmor_records("
    "  file INTEGER NOT NULL,"
    "  key TEXT NOT NULL,"
    "  body BLOB NOT NULL,"
    "  sortkey BLOB NOT NULL DEFAULT x'',"
    "  PRIMARY KEY (file, key)) WITHOUT ROWID;";

// The label order and the record counts (see Count and Page). The triggers
// count in the writing transaction: an upsert that replaces a record fires
// no insert trigger, so the count is of records, not of writes.
const char* const kLabelIndex =
    "CREATE INDEX IF NOT EXISTS kelmor_records_label ON kelmor_records(file, sortkey, key);";
const char* const kCounts =
    "CREATE TRIGGER IF NOT EXISTS kelmor_count_insert AFTER INSERT ON kelmor_records BEGIN"
    "  UPDATE kelmor_files SET records = records + 1 WHERE id = new.file; END;"
    "CREATE TRIGGER IF NOT EXISTS kelmor_count_delete AFTER DELETE ON kelmor_records BEGIN"
    "  UPDATE kelmor_files SET records = records - 1 WHERE id = old.file; END;";

// Counted key prefixes (see CountKeyPrefixes): the declared lengths, in
// characters, and per file the records of each prefix of those lengths. The
// triggers count as the record counts do: an upsert that replaces a record
// fires no insert trigger. A count that falls to 0 is removed, so the table
// holds the prefixes that have records. substr and length count characters
// of the TEXT keys, as CharacterCount does.
const char* const kKeyPrefixes =
    "CREATE TABLE IF NOT EXISTS kelmor_prefix_lengths("
    "  file INTEGER NOT NULL,"
    "  chars INTEGER NOT NULL,"
    "  PRIMARY KEY (file, chars)) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS kelmor_prefix_counts("
    "  file INTEGER NOT NULL,"
    "  prefix TEXT NOT NULL,"
    "  records INTEGER NOT NULL,"
    "  PRIMARY KEY (file, prefix)) WITHOUT ROWID;"
    "CREATE TRIGGER IF NOT EXISTS kelmor_prefix_insert AFTER INSERT ON kelmor_records BEGIN"
    "  INSERT INTO kelmor_prefix_counts(file, prefix, records)"
    "    SELECT new.file, substr(new.key, 1, chars), 1 FROM kelmor_prefix_lengths"
    "    WHERE file = new.file AND chars <= length(new.key)"
    "    ON CONFLICT(file, prefix) DO UPDATE SET records = records + 1; END;"
    "CREATE TRIGGER IF NOT EXISTS kelmor_prefix_delete AFTER DELETE ON kelmor_records BEGIN"
    "  UPDATE kelmor_prefix_counts SET records = records - 1"
    "    WHERE file = old.file AND prefix IN (SELECT substr(old.key, 1, chars)"
    "      FROM kelmor_prefix_lengths WHERE file = old.file AND chars <= length(old.key));"
    "  DELETE FROM kelmor_prefix_counts"
    "    WHERE file = old.file AND records <= 0 AND prefix IN (SELECT substr(old.key, 1, chars)"
    "      FROM kelmor_prefix_lengths WHERE file = old.file AND chars <= length(old.key)); END;";

// The sort key of a body, for the upgrade of a database made before the
// label order was stored.
void SortKeyFunction(sqlite3_context* context, int, sqlite3_value** args) {
    const auto* data = static_cast<const char*>(sqlite3_value_blob(args[0]));
    const int size = sqlite3_value_bytes(args[0]);
    const std::string key =
        LabelSortKey(std::string_view(data ? data : "", static_cast<std::size_t>(size)));
    sqlite3_result_blob(context, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
}

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

namespace {

std::uint64_t NextInstance() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

// A URI naming `path` for sqlite3_open_v2 with SQLITE_OPEN_URI.
std::string FileUri(const std::string& path, std::string_view query) {
    std::string uri = "file:";
    for (char c : std::filesystem::absolute(path).string()) {
        if (c == '%' || c == '?' || c == '#') {
            static constexpr char kHex[] = "0123456789ABCDEF";
            const auto b = static_cast<unsigned char>(c);
            uri += '%';
            uri += kHex[b >> 4];
            uri += kHex[b & 0xF];
        } else {
            uri += c;
        }
    }
    return uri + "?" + std::string(query);
}

bool CannotInitialiseReadOnly(int rc) {
    return (rc & 0xFF) == SQLITE_CANTOPEN || rc == SQLITE_READONLY_CANTINIT ||
           rc == SQLITE_READONLY_RECOVERY || rc == SQLITE_READONLY_CANTLOCK;
}

}  // namespace

SqliteBackend::SqliteBackend(const std::string& path, OpenMode mode, const SqliteOptions& options)
    : path_(path),
      readOnly_(mode == OpenMode::ReadOnly),
      lockWaitMs_(options.lockWaitMs),
      unjournaled_(options.unjournaled),
      instance_(NextInstance()) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (unjournaled_ && (readOnly_ || (fs::exists(status) && fs::file_size(path, error) != 0))) {
        throw Error(kStorageError,
                    "kelmor: " + path + " exists: only a new file is made without a journal");
    }
    if (fs::is_directory(status)) {
        throw Error(kNotADatabase, "kelmor: " + path + " is a directory, not a database");
    }
    if (!fs::exists(status)) {
        if (mode != OpenMode::CreateIfMissing) {
            throw Error(kStorageError, "kelmor: the database " + path + " does not exist");
        }
    } else if (!fs::is_regular_file(status)) {
        throw Error(kNotADatabase, "kelmor: " + path + " is not a regular file, not a database");
    } else {
        // Judged from the file's first bytes before SQLite opens it: SQLite
        // would make a log or journal beside another program's database, or
        // finish that program's interrupted transaction.
        // An empty main file beside a log may hold its whole content in the
        // log (a database killed before its first checkpoint): SQLite judges.
        const Kind kind = PeekHeader(path);
        const bool logged =
            fs::exists(path + "-wal", error) && fs::file_size(path + "-wal", error) > 0;
        if (kind != Kind::Ours &&
            !(kind == Kind::Empty && (logged || mode == OpenMode::CreateIfMissing))) {
            Require(kind);
        }
    }
    int flags = (readOnly_ ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    if (mode == OpenMode::CreateIfMissing) flags |= SQLITE_OPEN_CREATE;
    Connect(path, flags);
    try {
        Kind kind = Identify();
        if (kind == Kind::Empty && mode == OpenMode::CreateIfMissing) {
            CreateSchema();
            kind = Kind::Ours;
        }
        Require(kind);
        if (!readOnly_) UseWal();
        UpgradeIfOlder();
        Prepare();
        if (!readOnly_ && !unjournaled_) {
            checkpointer_ = std::make_unique<WalCheckpointer>(db_, path_);
        }
    } catch (const Error&) {
        std::error_code none;
        const bool log = fs::exists(path + "-wal", none) && fs::file_size(path + "-wal", none) > 0;
        if (!readOnly_ || !CannotInitialiseReadOnly(lastCode_) || log) {
            Close();
            throw;
        }
        // A read-only file system: the shared-memory file beside the database
        // cannot be made. With no log beside it either, the file alone is the
        // whole database and nobody can change it.
        Close();
        Connect(FileUri(path, "immutable=1"),
                SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX);
        try {
            Require(Identify());
            Prepare();
        } catch (...) {
            Close();
            throw;
        }
    }
}

void SqliteBackend::Connect(const std::string& name, int flags) {
    const int rc = sqlite3_open_v2(name.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        lastCode_ = db_ ? sqlite3_extended_errcode(db_) : rc;
        const std::string reason = db_ ? sqlite3_errmsg(db_) : "out of memory";
        const int system = db_ ? sqlite3_system_errno(db_) : 0;
        sqlite3_close(db_);
        db_ = nullptr;
        throw Error(NumberOf(lastCode_, system),
                    "kelmor: cannot open the database " + path_ + ": " + reason);
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, lockWaitMs_);
}

void SqliteBackend::Prepare() {
    findFile_ = std::make_unique<Statement>(*this, "SELECT id FROM kelmor_files WHERE name = ?1");
    insertFile_ =
        std::make_unique<Statement>(*this, "INSERT OR IGNORE INTO kelmor_files(name) VALUES (?1)");
    listFiles_ = std::make_unique<Statement>(*this, "SELECT name FROM kelmor_files ORDER BY name");
    read_ = std::make_unique<Statement>(
        *this, "SELECT body FROM kelmor_records WHERE file = ?1 AND key = ?2");
    write_ = std::make_unique<Statement>(
        *this,
        "INSERT INTO kelmor_records(file, key, body, sortkey) VALUES (?1, ?2, ?3, ?4) "
        "ON CONFLICT(file, key) DO UPDATE SET body = excluded.body, sortkey = excluded.sortkey "
        // The same text again changes nothing: no page, index entry or row version is written.
        "WHERE kelmor_records.body <> excluded.body");
    insert_ =
        std::make_unique<Statement>(*this,
                                    "INSERT INTO kelmor_records(file, key, body, sortkey) VALUES "
                                    "(?1, ?2, ?3, ?4) ON CONFLICT(file, key) DO NOTHING");
    countFile_ =
        std::make_unique<Statement>(*this, "SELECT records FROM kelmor_files WHERE id = ?1");
    countRange_ = std::make_unique<Statement>(
        *this, "SELECT count(*) FROM kelmor_records WHERE file = ?1 AND key >= ?2 AND key < ?3");
    countFrom_ = std::make_unique<Statement>(
        *this, "SELECT count(*) FROM kelmor_records WHERE file = ?1 AND key >= ?2");
    // An older database opened read-only has no counted prefixes: it counts
    // key ranges as it always did.
    if (HasTable("kelmor_prefix_lengths")) {
        // No row when the length is not declared: the caller counts the range.
        countPrefix_ = std::make_unique<Statement>(
            *this,
            "SELECT coalesce((SELECT records FROM kelmor_prefix_counts "
            "WHERE file = ?1 AND prefix = ?2), 0) "
            "FROM kelmor_prefix_lengths WHERE file = ?1 AND chars = ?3");
        declarePrefix_ = std::make_unique<Statement>(
            *this,
            "INSERT INTO kelmor_prefix_lengths(file, chars) VALUES (?1, ?2) "
            "ON CONFLICT(file, chars) DO NOTHING");
        storePrefix_ = std::make_unique<Statement>(
            *this, "INSERT INTO kelmor_prefix_counts(file, prefix, records) VALUES (?1, ?2, ?3)");
        listPrefixes_ = std::make_unique<Statement>(
            *this, "SELECT chars FROM kelmor_prefix_lengths WHERE file = ?1 ORDER BY chars");
    }
    pageByKey_ = std::make_unique<Statement>(*this,
                                             "SELECT key, sortkey, body FROM kelmor_records "
                                             "WHERE file = ?1 AND key > ?3 ORDER BY key "
                                             "LIMIT ?5 OFFSET ?4");
    pageByLabel_ = std::make_unique<Statement>(*this,
                                               "SELECT key, sortkey, body FROM kelmor_records "
                                               "WHERE file = ?1 AND (sortkey, key) > (?2, ?3) "
                                               "ORDER BY sortkey, key LIMIT ?5 OFFSET ?4");
    delete_ = std::make_unique<Statement>(
        *this, "DELETE FROM kelmor_records WHERE file = ?1 AND key = ?2");
    // The walks of Scan (with the records) and ScanKeys (the keys alone):
    // the whole file, from a key, or a key range.
    const auto walks = [&](const std::string& columns, std::unique_ptr<Statement>& all,
                           std::unique_ptr<Statement>& from, std::unique_ptr<Statement>& range) {
        const std::string select = "SELECT " + columns + " FROM kelmor_records WHERE file = ?1";
        all = std::make_unique<Statement>(*this, (select + " ORDER BY key").c_str());
        from = std::make_unique<Statement>(*this, (select + " AND key >= ?2 ORDER BY key").c_str());
        range = std::make_unique<Statement>(
            *this, (select + " AND key >= ?2 AND key < ?3 ORDER BY key").c_str());
    };
    walks("key, body", scanAll_, scanFrom_, scanRange_);
    walks("key", keysAll_, keysFrom_, keysRange_);
    begin_ = std::make_unique<Statement>(*this, "BEGIN IMMEDIATE");
    commit_ = std::make_unique<Statement>(*this, "COMMIT");
    rollback_ = std::make_unique<Statement>(*this, "ROLLBACK");
    dataVersion_ = std::make_unique<Statement>(*this, "PRAGMA data_version");
}

SqliteBackend::~SqliteBackend() {
    if (db_ && sqlite3_get_autocommit(db_) == 0) Rollback();
    Close();
}

void SqliteBackend::Close() noexcept {
    checkpointer_.reset();
    // Statements first: a connection with live statements does not close.
    for (auto* statement :
         {&findFile_,   &insertFile_,  &listFiles_,     &read_,        &write_,
          &insert_,     &delete_,      &scanAll_,       &scanFrom_,    &scanRange_,
          &keysAll_,    &keysFrom_,    &keysRange_,     &countFile_,   &countRange_,
          &countFrom_,  &countPrefix_, &declarePrefix_, &storePrefix_, &listPrefixes_,
          &pageByKey_,  &pageByLabel_, &begin_,         &commit_,      &rollback_,
          &dataVersion_}) {
        statement->reset();
    }
    sqlite3_close(db_);
    db_ = nullptr;
}

std::int32_t SqliteBackend::NumberOf(int code, int systemErrno) noexcept {
    switch (code & 0xFF) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return kBusy;
        case SQLITE_FULL:
            return kDiskFull;
        case SQLITE_READONLY:
            return kReadOnly;
        case SQLITE_NOTADB:
            return kNotADatabase;
        case SQLITE_IOERR:
        case SQLITE_CANTOPEN:
        case SQLITE_PROTOCOL:
            if (systemErrno == ENOSPC || systemErrno == EDQUOT) return kDiskFull;
            if (systemErrno == EROFS || systemErrno == EACCES || systemErrno == EPERM) {
                return kReadOnly;
            }
            return kIoError;
        default:
            return kStorageError;
    }
}

void SqliteBackend::Fail(const std::string& what) {
    if (!db_) throw Error(kStorageError, "kelmor: " + what + " failed: no connection");
    lastCode_ = sqlite3_extended_errcode(db_);
    const int system = sqlite3_system_errno(db_);
    const std::int32_t number = NumberOf(lastCode_, system);
    std::string reason;
    switch (number) {
        case kBusy:
            reason = "another program kept it locked for more than " +
                     std::to_string(lockWaitMs_ / 1000.0).substr(0, 4) + " s";
            break;
        case kDiskFull:
            reason = "the disk is full";
            break;
        case kReadOnly:
            reason = "the database or its folder is read-only";
            break;
        case kIoError:
            reason = "input/output error";
            break;
        case kNotADatabase:
            reason = "the file is not a database";
            break;
        default:
            break;
    }
    std::string detail = sqlite3_errmsg(db_);
    if (system != 0 && number != kBusy) detail += std::string(", ") + std::strerror(system);
    throw Error(number, "kelmor: " + what + " failed on the database " + path_ + ": " +
                            (reason.empty() ? detail : reason + " (" + detail + ")"));
}

void SqliteBackend::RequireWritable(std::string_view what) const {
    if (readOnly_) {
        throw Error(kReadOnly, "kelmor: " + std::string(what) + " refused: the database " + path_ +
                                   " was opened read-only");
    }
}

void SqliteBackend::Exec(const char* sql, const char* what) {
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) Fail(what);
}

SqliteBackend::Kind SqliteBackend::PeekHeader(const std::string& path) {
    // The database header: a 16-byte magic string, the application id at
    // offset 68 (big-endian), then page 1, the root of the schema table: a
    // leaf page (type 13) whose cell count (offset 103) is the number of
    // schema objects.
    std::ifstream in(path, std::ios::binary);
    unsigned char header[105] = {};
    in.read(reinterpret_cast<char*>(header), sizeof header);
    const std::streamsize size = in.gcount();
    if (!in && !in.eof()) return Kind::Ours;  // unreadable: SQLite will say why
    if (size == 0) return Kind::Empty;
    static constexpr char kMagic[] = "SQLite format 3";  // and its NUL
    if (size < static_cast<std::streamsize>(sizeof header) ||
        std::memcmp(header, kMagic, sizeof kMagic) != 0) {
        return Kind::NotSqlite;
    }
    foreignAppId_ =
        static_cast<int>((std::uint32_t{header[68]} << 24) | (std::uint32_t{header[69]} << 16) |
                         (std::uint32_t{header[70]} << 8) | header[71]);
    if (foreignAppId_ == kApplicationId) return Kind::Ours;
    if (foreignAppId_ == 0 && header[100] == 13 && header[103] == 0 && header[104] == 0) {
        return Kind::Empty;
    }
    return Kind::Foreign;
}

namespace {

// One statement, finalized when the scope ends (also when a failure throws).
struct OneShot {
    sqlite3_stmt* stmt = nullptr;
    ~OneShot() { sqlite3_finalize(stmt); }
};

}  // namespace

SqliteBackend::Kind SqliteBackend::Identify() {
    // Reads only: nothing in a file that is not ours may change.
    int appId = 0;
    {
        OneShot header;
        if (sqlite3_prepare_v2(db_, "PRAGMA application_id", -1, &header.stmt, nullptr) !=
                SQLITE_OK ||
            sqlite3_step(header.stmt) != SQLITE_ROW) {
            Fail("reading the database header");
        }
        appId = sqlite3_column_int(header.stmt, 0);
    }
    OneShot schema;
    if (sqlite3_prepare_v2(db_,
                           "SELECT count(*), count(CASE WHEN type = 'table' AND name IN "
                           "('kelmor_files', 'kelmor_records') THEN 1 END) FROM sqlite_schema",
                           -1, &schema.stmt, nullptr) != SQLITE_OK ||
        sqlite3_step(schema.stmt) != SQLITE_ROW) {
        Fail("reading the schema");
    }
    const int objects = sqlite3_column_int(schema.stmt, 0);
    const int ours = sqlite3_column_int(schema.stmt, 1);
    if (appId == kApplicationId) return ours == 2 ? Kind::Ours : Kind::Damaged;
    if (appId == 0 && objects == 0) return Kind::Empty;
    foreignAppId_ = appId;
    return Kind::Foreign;
}

void SqliteBackend::Require(Kind kind) const {
    switch (kind) {
        case Kind::Ours:
            return;
        case Kind::Empty:
            throw Error(kNotADatabase, "kelmor: " + path_ +
                                           " is an empty file, not a Kelmor database (`kelmor " +
                                           path_ + " create` makes one); it was left unchanged");
        case Kind::Damaged:
            throw Error(kStorageError, "kelmor: the Kelmor database " + path_ +
                                           " is damaged: its tables are missing");
        case Kind::Foreign: {
            std::string whose = "it holds tables that are not Kelmor's";
            if (foreignAppId_ != 0) {
                char id[16];
                std::snprintf(id, sizeof id, "0x%08X", static_cast<unsigned>(foreignAppId_));
                whose = std::string("application id ") + id;
            }
            throw Error(kNotADatabase, "kelmor: " + path_ +
                                           " is an SQLite database of another program (" + whose +
                                           "), not a Kelmor database; it was left "
                                           "unchanged");
        }
        case Kind::NotSqlite:
            throw Error(kNotADatabase, "kelmor: " + path_ +
                                           " is not a database (not an SQLite file); it was left "
                                           "unchanged");
    }
}

void SqliteBackend::CreateSchema() {
    // Checked again under the write lock: another process may have made the
    // database, or written something else into the file, in between.
    Exec("BEGIN IMMEDIATE", "creating the tables");
    try {
        const Kind kind = Identify();
        if (kind == Kind::Empty) {
            Exec(kSchema, "creating the tables");
            Exec(kLabelIndex, "creating the tables");
            Exec(kCounts, "creating the tables");
            Exec(kKeyPrefixes, "creating the tables");
            Exec("PRAGMA application_id = 1263291730", "marking the database");
            static_assert(kApplicationId == 1263291730);
        }
        Require(kind == Kind::Empty ? Kind::Ours : kind);
        Exec("COMMIT", "creating the tables");
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

// The one integer of a one-row statement (`text`, when given, bound to ?1).
std::int64_t SqliteBackend::OneInteger(const char* sql, const char* what, const char* text) {
    OneShot query;
    if (sqlite3_prepare_v2(db_, sql, -1, &query.stmt, nullptr) != SQLITE_OK ||
        (text != nullptr &&
         sqlite3_bind_text(query.stmt, 1, text, -1, SQLITE_STATIC) != SQLITE_OK) ||
        sqlite3_step(query.stmt) != SQLITE_ROW) {
        Fail(what);
    }
    return sqlite3_column_int64(query.stmt, 0);
}

bool SqliteBackend::HasTable(const char* name) {
    return OneInteger("SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name = ?1",
                      "reading the schema", name) == 1;
}

bool SqliteBackend::HasSortKeys() {
    return OneInteger(
               "SELECT count(*) FROM pragma_table_info('kelmor_records') "
               "WHERE name = 'sortkey'",
               "reading the schema") == 1;
}

void SqliteBackend::UpgradeIfOlder() {
    if (HasSortKeys() && HasTable("kelmor_prefix_lengths")) return;
    if (readOnly_) {
        // Without counted prefixes a database reads as before; without sort
        // keys it has no label order.
        if (HasSortKeys()) return;
        throw Error(kReadOnly, "kelmor: the database " + path_ +
                                   " was made by an older version and is upgraded when first "
                                   "opened for writing (`kelmor " +
                                   path_ + " upgrade`); it cannot be read-only before");
    }
    // One transaction: the sort key of every record, the record counts, the
    // index, the counted prefixes' tables and the triggers, or nothing. What
    // is missing is judged again under the write lock: another connection
    // may have upgraded in between.
    if (sqlite3_create_function(db_, "kelmor_label_sortkey", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                nullptr, SortKeyFunction, nullptr, nullptr) != SQLITE_OK) {
        Fail("upgrading the database");
    }
    Exec("BEGIN IMMEDIATE", "upgrading the database");
    try {
        if (!HasSortKeys()) {
            Exec(
                "ALTER TABLE kelmor_files ADD COLUMN records INTEGER NOT NULL DEFAULT 0;"
                "ALTER TABLE kelmor_records ADD COLUMN sortkey BLOB NOT NULL DEFAULT x'';"
                "UPDATE kelmor_records SET sortkey = kelmor_label_sortkey(body);"
                "UPDATE kelmor_files SET records = "
                "  (SELECT count(*) FROM kelmor_records WHERE file = kelmor_files.id);",
                "upgrading the database");
            Exec(kLabelIndex, "upgrading the database");
            Exec(kCounts, "upgrading the database");
        }
        Exec(kKeyPrefixes, "upgrading the database");
        Exec("COMMIT", "upgrading the database");
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void SqliteBackend::UseWal() {
    // WAL: readers never block the writer and a commit is one append to the
    // log, so a crash leaves either the old record or the new one. NORMAL
    // synchronisation keeps that atomicity; only the last commits before a
    // power loss may be rolled back. The mode is kept in the file, so it is
    // set only once, when the database is new.
    if (unjournaled_) {
        // Nobody else sees the file until it is complete (see SqliteOptions).
        Exec("PRAGMA journal_mode = OFF", "writing without a journal");
        Exec("PRAGMA synchronous = FULL", "setting the synchronisation mode");
        Exec("PRAGMA temp_store = MEMORY", "keeping statement journals in memory");
        return;
    }
    bool wal = false;
    {
        OneShot mode;
        if (sqlite3_prepare_v2(db_, "PRAGMA journal_mode", -1, &mode.stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(mode.stmt) == SQLITE_ROW) {
            const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(mode.stmt, 0));
            wal = name != nullptr && std::string_view(name) == "wal";
        }
    }
    if (!wal) Exec("PRAGMA journal_mode = WAL", "switching to WAL mode");
    Exec("PRAGMA synchronous = NORMAL", "setting the synchronisation mode");
    // A write whose triggers change other tables (the counted key prefixes)
    // keeps a statement journal; kept in memory, a long transaction (a load)
    // does not write it to a temporary file for every record. Sorts still
    // spill to temporary files.
    Exec("PRAGMA temp_store = MEMORY", "keeping statement journals in memory");
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
    RequireWritable("creating the file " + std::string(file));
    ++writes_;
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
    RequireWritable("writing a record");
    CheckWritable(file, key, whole);
    ++writes_;
    const std::int64_t id = FileId(file);
    const std::string sortKey = LabelSortKey(whole);
    Statement::Use use(*write_);
    use.Int(1, id).Text(2, key).Blob(3, whole).Blob(4, sortKey);
    use.Step("writing a record");
}

bool SqliteBackend::Insert(std::string_view file, std::string_view key, std::string_view whole) {
    RequireWritable("inserting a record");
    ++writes_;
    CheckWritable(file, key, whole);
    const std::int64_t id = FileId(file);
    const std::string sortKey = LabelSortKey(whole);
    Statement::Use use(*insert_);
    use.Int(1, id).Text(2, key).Blob(3, whole).Blob(4, sortKey);
    use.Step("inserting a record");
    return sqlite3_changes(db_) > 0;
}

std::string SqliteBackend::Update(std::string_view file, std::string_view key,
                                  const Updater& update) {
    // BEGIN IMMEDIATE takes the write lock before the read, so no other
    // connection can write the record between the read and the write.
    RequireWritable("writing a record");
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
    RequireWritable("deleting a record");
    ++writes_;
    const std::int64_t id = FileId(file);
    Statement::Use use(*delete_);
    use.Int(1, id).Text(2, key);
    use.Step("deleting a record");
    return sqlite3_changes(db_) > 0;
}

void SqliteBackend::Scan(std::string_view file, const KeySelection& selection,
                         const Visitor& visit) {
    Walk(file, selection, true, visit);
}

void SqliteBackend::ScanKeys(std::string_view file, const KeySelection& selection,
                             const KeyVisitor& visit) {
    Walk(file, selection, false, [&](std::string_view key, std::string_view) { visit(key); });
}

void SqliteBackend::Walk(std::string_view file, const KeySelection& selection, bool bodies,
                         const Visitor& visit) {
    const std::int64_t id = FileId(file);
    using Kind = KeySelection::Kind;
    if (selection.kind == Kind::Exact) {
        if (auto whole = Read(file, selection.text)) visit(selection.text, *whole);
        return;
    }
    const auto run = [&](Statement& statement, bool all, const std::optional<std::string>& upper) {
        Statement::Use use(statement);
        use.Int(1, id);
        if (!all) use.Text(2, selection.text);
        if (upper) use.Text(3, *upper);
        const bool filter = selection.kind == Kind::Suffix || selection.kind == Kind::Contains;
        while (use.Step("scanning a file")) {
            const std::string_view key = use.Column(0);
            if (!filter || Matches(selection, key))
                visit(key, bodies ? use.Column(1) : std::string_view{});
        }
    };
    if (selection.kind == Kind::Prefix && !selection.text.empty()) {
        const std::optional<std::string> upper = PrefixUpperBound(selection.text);
        if (upper)
            run(bodies ? *scanRange_ : *keysRange_, false, upper);
        else
            run(bodies ? *scanFrom_ : *keysFrom_, false, upper);
    } else {
        // All, or a suffix / contains selection: those visit every key.
        run(bodies ? *scanAll_ : *keysAll_, true, std::nullopt);
    }
}

std::int64_t SqliteBackend::Count(std::string_view file, const KeySelection& selection) {
    using Kind = KeySelection::Kind;
    const std::int64_t id = FileId(file);
    const bool whole =
        selection.kind == Kind::All || (selection.kind == Kind::Prefix && selection.text.empty());
    if (whole) {
        Statement::Use use(*countFile_);
        use.Int(1, id);
        return use.Step("counting records") ? use.IntColumn(0) : 0;
    }
    if (selection.kind != Kind::Prefix) return Backend::Count(file, selection);
    if (countPrefix_) {
        Statement::Use use(*countPrefix_);
        use.Int(1, id).Text(2, selection.text);
        use.Int(3, static_cast<std::int64_t>(CharacterCount(selection.text)));
        if (use.Step("counting records")) return use.IntColumn(0);
    }
    const std::optional<std::string> upper = PrefixUpperBound(selection.text);
    Statement::Use use(upper ? *countRange_ : *countFrom_);
    use.Int(1, id).Text(2, selection.text);
    if (upper) use.Text(3, *upper);
    return use.Step("counting records") ? use.IntColumn(0) : 0;
}

void SqliteBackend::CountKeyPrefixes(std::string_view file, int length) {
    CheckPrefixLength(file, length);
    RequireWritable("counting the key prefixes of " + std::string(file));
    ++writes_;
    const bool own = !InTransaction();
    if (own) Begin();
    try {
        const std::int64_t id = FileId(file);
        // Opened for writing, the database has the tables (UpgradeIfOlder).
        if (!declarePrefix_) {
            throw Error(kStorageError,
                        "kelmor: the database " + path_ + " has no table of counted key prefixes");
        }
        bool declared = false;
        {
            Statement::Use use(*declarePrefix_);
            use.Int(1, id).Int(2, length);
            use.Step("counting the key prefixes of " + std::string(file));
            declared = sqlite3_changes(db_) > 0;
        }
        if (declared) CountPrefixes(id, length);
        if (own) Commit();
    } catch (...) {
        if (own) Rollback();
        throw;
    }
}

void SqliteBackend::CountPrefixes(std::int64_t file, int chars) {
    // Keys in byte order keep those that share a prefix side by side, so one
    // walk counts each prefix's run without sorting.
    const auto count = static_cast<std::size_t>(chars);
    std::string prefix;
    std::int64_t records = 0;
    const auto store = [&] {
        if (records == 0) return;
        Statement::Use use(*storePrefix_);
        use.Int(1, file).Text(2, prefix).Int(3, records);
        use.Step("storing a key prefix's count");
    };
    Statement::Use walk(*keysAll_);
    walk.Int(1, file);
    while (walk.Step("counting key prefixes")) {
        const std::string_view key = walk.Column(0);
        // The first `chars` characters (UTF-8 code points), as SQLite's substr
        // and length count them in TEXT; shorter keys are not counted.
        std::size_t end = 0, seen = 0;
        for (; end < key.size(); ++end) {
            if ((static_cast<unsigned char>(key[end]) & 0xC0) == 0x80) continue;
            if (seen == count) break;
            ++seen;
        }
        if (seen < count) continue;
        const std::string_view head = key.substr(0, end);
        if (records > 0 && head == prefix) {
            ++records;
            continue;
        }
        store();
        prefix.assign(head);
        records = 1;
    }
    store();
}

std::vector<int> SqliteBackend::CountedKeyPrefixes(std::string_view file) {
    const std::int64_t id = FileId(file);
    std::vector<int> lengths;
    if (!listPrefixes_) return lengths;
    Statement::Use use(*listPrefixes_);
    use.Int(1, id);
    while (use.Step("listing the counted key prefixes of " + std::string(file))) {
        lengths.push_back(static_cast<int>(use.IntColumn(0)));
    }
    return lengths;
}

std::vector<Backend::OrderedRow> SqliteBackend::Page(std::string_view file, Order order,
                                                     const std::optional<OrderedRow>& after,
                                                     std::int64_t skip, int limit) {
    const std::int64_t id = FileId(file);
    // Keys are never empty, so ("", "") comes before every record.
    const std::string noKey;
    Statement::Use use(order == Order::Label ? *pageByLabel_ : *pageByKey_);
    use.Int(1, id);
    if (order == Order::Label) use.Blob(2, after ? std::string_view(after->sortKey) : noKey);
    use.Text(3, after ? std::string_view(after->key) : noKey).Int(4, skip).Int(5, limit);
    std::vector<OrderedRow> rows;
    while (use.Step("reading a page of a file")) {
        rows.push_back(
            {std::string(use.Column(0)), std::string(use.Column(1)), std::string(use.Column(2))});
    }
    return rows;
}

std::uint64_t SqliteBackend::StoredRecords() {
    return static_cast<std::uint64_t>(
        OneInteger("SELECT coalesce(sum(records), 0) FROM kelmor_files", "counting the records"));
}

void SqliteBackend::BeginLoad(std::uint64_t records) {
    RequireWritable("loading records");
    if (!InTransaction()) {
        throw Error(kStorageError, "kelmor: a load into " + path_ + " needs an open transaction");
    }
    if (loading_) return;
    loading_ = true;
    // Inserted one by one in label order, which is random, the index soon
    // outgrows the cache, and every insert reads and spills pages; the insert
    // triggers update a count or two per record. When the load brings most of
    // the records, the index and those triggers are dropped and the commit
    // builds the index and counts the records once (CompleteLoad). The drops
    // are part of the transaction: a load that never commits leaves them.
    if (StoredRecords() < records) {
        Exec(
            "DROP INDEX kelmor_records_label;"
            "DROP TRIGGER kelmor_count_insert;"
            "DROP TRIGGER kelmor_prefix_insert;",
            "putting off the label index and the counts");
        deferred_ = true;
        return;
    }
    // Otherwise a larger cache (for this connection, until the load ends)
    // keeps more of the index in memory.
    cacheSize_ = static_cast<int>(OneInteger("PRAGMA cache_size", "reading the cache size"));
    Exec("PRAGMA cache_size = -32768", "enlarging the cache for a load");
}

void SqliteBackend::EndLoad() noexcept {
    deferred_ = false;
    if (!loading_) return;
    loading_ = false;
    if (cacheSize_) {
        const std::string sql = "PRAGMA cache_size = " + std::to_string(*cacheSize_);
        sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
        cacheSize_.reset();
    }
}

void SqliteBackend::CompleteLoad() {
    // The sorts of CREATE INDEX and GROUP BY keep everything in memory while
    // temporary storage is in memory, and spill runs of the cache's size to
    // files otherwise: files, so that memory stays flat whatever the load's
    // size. Statement journals go back to memory afterwards. The setting
    // cannot change while a temporary table is open (we make none); the sorts
    // then stay in memory rather than fail.
    sqlite3_exec(db_, "PRAGMA temp_store = FILE", nullptr, nullptr, nullptr);
    try {
        Exec(kLabelIndex, "building the label index");
        // As the triggers would have counted: a record replaced by the load
        // was counted once, when it was first inserted.
        Exec(
            "UPDATE kelmor_files SET records ="
            "  (SELECT count(*) FROM kelmor_records WHERE file = kelmor_files.id);"
            "DELETE FROM kelmor_prefix_counts;",
            "counting the loaded records");
        std::vector<std::pair<std::int64_t, int>> declared;
        {
            OneShot lengths;
            if (sqlite3_prepare_v2(db_, "SELECT file, chars FROM kelmor_prefix_lengths", -1,
                                   &lengths.stmt, nullptr) != SQLITE_OK) {
                Fail("listing the counted key prefixes");
            }
            int rc = SQLITE_ROW;
            while ((rc = sqlite3_step(lengths.stmt)) == SQLITE_ROW) {
                declared.emplace_back(sqlite3_column_int64(lengths.stmt, 0),
                                      sqlite3_column_int(lengths.stmt, 1));
            }
            if (rc != SQLITE_DONE) Fail("listing the counted key prefixes");
        }
        for (const auto& [file, chars] : declared) CountPrefixes(file, chars);
        Exec(kCounts, "restoring the record counts");
        Exec(kKeyPrefixes, "restoring the counted key prefixes");
    } catch (...) {
        sqlite3_exec(db_, "PRAGMA temp_store = MEMORY", nullptr, nullptr, nullptr);
        throw;
    }
    Exec("PRAGMA temp_store = MEMORY", "keeping statement journals in memory");
}

void SqliteBackend::Begin() {
    RequireWritable("starting a transaction");
    if (InTransaction()) {
        throw Error(kStorageError, "kelmor: a transaction is already open on " + path_);
    }
    Statement::Use use(*begin_);
    use.Step("starting a transaction");
}

void SqliteBackend::Commit() {
    if (deferred_) {
        CompleteLoad();
        deferred_ = false;
    }
    {
        Statement::Use use(*commit_);
        use.Step("committing a transaction");
    }
    EndLoad();
}

void SqliteBackend::Rollback() noexcept {
    if (sqlite3_get_autocommit(db_) == 0) {
        sqlite3_step(rollback_->get());
        sqlite3_reset(rollback_->get());
    }
    fileIds_.clear();
    EndLoad();
}

bool SqliteBackend::InTransaction() const noexcept {
    return sqlite3_get_autocommit(db_) == 0;
}

// SQLite's data_version moves with every commit of another connection, this
// process's or another's; this connection's own writes are counted here.
std::optional<Backend::ChangeStamp> SqliteBackend::Stamp() {
    Statement::Use use(*dataVersion_);
    if (!use.Step("reading the data version")) {
        throw Error(kStorageError, "kelmor: " + path_ + " gave no data version");
    }
    return ChangeStamp{instance_, use.IntColumn(0), writes_};
}

}  // namespace kelmor
