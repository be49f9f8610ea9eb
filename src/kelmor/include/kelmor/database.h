#pragma once
// Files, records and queries of a multivalue database.
//
// Ownership: Database, DbFile and DbRecord share the storage backend, so a
// record or file handle stays usable after the Database object that gave it is
// released (as the editor releases its slots in any order).
//
// Errors: every failure is a kelmor::Error carrying a number (error.h). A
// ReadRecord of a missing key throws NotFoundError, number() == kNotFound
// (0x8004000B). Callers that probe use TryReadRecord, which never throws.
//
// Threads: a Database and everything it gave are used by one thread at a time;
// other threads or processes open their own Database on the same file.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kelmor/dynarray.h"
#include "kelmor/error.h"

namespace kelmor {

class Backend;

// Throws DelimiterError when `key` cannot be a record key: empty, or not
// storable (see CheckStorable).
void CheckKey(std::string_view key);
// Throws Error(kBadValue) when `name` cannot be a file name: empty, longer
// than 64 bytes, or holding anything but ASCII letters, digits, '_', '.', '-'.
void CheckFileName(std::string_view name);

// A record: a DynArray bound to a file and a key. Get(0) is the key.
// A default-constructed record is bound to nothing; DBWrite on it throws.
//
// A record remembers the text it had when it was read (or last stored by
// DBWrite or DBInsert), so that DBWrite stores only what this record changed
// and never erases what another connection stored meanwhile.
class DbRecord : public DynArray {
public:
    DbRecord() = default;
    const std::string& Key() const { return key_; }
    const std::string& FileName() const { return file_; }
    std::string Get(int attr, int value = 0, int sub = 0) const override;
    std::string operator()(int attr, int value = 0, int sub = 0) const {
        return Get(attr, value, sub);
    }
    // Stores the attributes this record changed since it was read or last
    // stored, merged into the record stored now, in one atomic step
    // (Backend::Update): attributes that only another connection changed keep
    // that connection's values. A record from NewRecord counts as read empty:
    // on a key with no record it is created; when another connection stored a
    // record with its key meanwhile, its attributes merge into that record
    // like any changes (a conflict where both hold different values).
    //
    // - Nothing changed: the stored record is written again as it stands (the
    //   caller asked for a write, and callers that log or count writes see
    //   it); another connection's changes are kept.
    // - Another connection changed an attribute that this record changed too
    //   (to a different value), or deleted the record that this one was read
    //   from: ConflictError (kConflict), nothing is stored, and this record
    //   then holds what is stored (empty when the record is gone), so that
    //   the caller shows the stored values and a new change writes again.
    //   This is not last-writer-wins: nobody's change is erased unseen.
    // - Any other failure (kBusy after the lock wait, kDiskFull, kReadOnly,
    //   kIoError, kStorageError...): nothing is stored and this record holds
    //   again the text it had when read or last stored (empty for a record
    //   never stored), equal to what is stored as far as this connection
    //   knows; a caller that retries sets its values again.
    // On success this record keeps its own values, which are now those stored
    // for every attribute it changed; attributes that another connection
    // changed meanwhile are stored with that connection's values but are not
    // copied into this record (read the record again to see them).
    void DBWrite();
    // Stores the record only when its file holds no record with its key, in
    // one atomic step (a real insert: another workstation's record of the same
    // key is never replaced). False, and nothing stored, when one exists.
    // After a successful insert, later DBWrites store only later changes.
    bool DBInsert();

private:
    friend class DbFile;
    DbRecord(std::shared_ptr<Backend> backend, std::string file, std::string key,
             std::optional<std::string> stored);
    std::shared_ptr<Backend> backend_;
    std::string file_;
    std::string key_;
    // The whole text as read or last stored; nullopt for a record never
    // stored (NewRecord) or whose stored record was found deleted.
    std::optional<std::string> stored_;
};

// Outcome of a probing read: either a record, or the error number of the read.
struct ReadResult {
    std::optional<DbRecord> record;
    std::int32_t error = 0;  // 0, kNotFound, or another Error's number
    std::string message;     // the error's text when error != 0
    explicit operator bool() const { return record.has_value(); }
};

class DbFile {
public:
    const std::string& Name() const { return name_; }
    // The record, or NotFoundError (number kNotFound).
    DbRecord ReadRecord(std::string_view key) const;
    // Never throws: any failure is reported in the result.
    ReadResult TryReadRecord(std::string_view key) const noexcept;
    // An empty record bound to `key` (checked with CheckKey); nothing is stored
    // before DBWrite.
    DbRecord NewRecord(std::string_view key) const;
    // Removes a record; false when there was none.
    bool DeleteRecord(std::string_view key) const;

private:
    friend class Database;
    DbFile(std::shared_ptr<Backend> backend, std::string name);
    std::shared_ptr<Backend> backend_;
    std::string name_;
};

// Query result: rows numbered from 1; columns from 1 in the order requested.
//
// A small result holds its rows. A list of a whole file (the editor's lists
// refilled with an empty prefix: every neighbourhood of the database) is lazy:
// it knows its row count from the query and reads its rows when they are
// first asked for, a page at a time in the query's order, keeping only a few
// pages and where each page read began. Copies share the rows read. Records
// written after the query may show in pages read later, and a row past the
// records still stored reads as "".
class ResultList {
public:
    // Reads rows of a lazy list: `count` rows from row `first` (from 0), each
    // its columns; fewer when the records ran out.
    class Source {
    public:
        virtual ~Source() = default;
        virtual std::vector<std::vector<std::string>> Fetch(std::int64_t first, int count) = 0;
    };

    ResultList() = default;
    explicit ResultList(std::vector<std::vector<std::string>> rows);
    ResultList(std::int64_t count, std::shared_ptr<Source> source);
    // The row count; the widest list of a database (9.8 million
    // neighbourhoods) fits.
    int DCount() const { return count_; }
    // Row r whole (its columns joined by attribute marks, so that
    // DynArray(Get(r)).Get(c) == Get(r, c)), or column c; "" when absent.
    std::string Get(int row, int column = 0) const;
    std::string operator()(int row, int column = 0) const { return Get(row, column); }
    // Row r's columns; empty when absent.
    std::vector<std::string> Columns(int row) const {
        const std::vector<std::string>* cols = Row(row);
        return cols ? *cols : std::vector<std::string>();
    }
    // True when rows are read on demand rather than held.
    bool Lazy() const { return lazy_ != nullptr; }

    // Rows per page of a lazy list, and how many pages it keeps.
    static constexpr int kPageRows = 128;
    static constexpr int kPagesKept = 8;

private:
    struct LazyRows;
    const std::vector<std::string>* Row(int row) const;
    int count_ = 0;
    std::vector<std::vector<std::string>> rows_;
    std::shared_ptr<LazyRows> lazy_;
};

// How Database::OpenSqlite treats the path. No mode ever turns an existing
// file that is not one of our databases into one: a directory, a file of
// another kind or an SQLite database of another program is refused with
// Error(kNotADatabase) and left byte for byte as it was.
enum class OpenMode {
    CreateIfMissing,  // a new database is made when no file (or an empty one) is there
    MustExist,        // a missing file is Error(kStorageError) naming it
    ReadOnly,         // MustExist, and nothing is ever written: every write throws
                      // kReadOnly; works on a read-only file or file system
};

struct SqliteOptions {
    // How long a write waits for another connection's write lock before it
    // fails with kBusy. Longer than the lock is held by any write of the
    // editor (milliseconds) and by the store phase of a `kelmor load` of a
    // million records (it holds the lock 4 to 6 µs of CPU per record).
    int lockWaitMs = 10'000;
    // For a new file made under a name of its own and renamed into place
    // only once complete (a new database being loaded): no journal and no
    // log, so each page is written once, not to the log and then again to
    // the file. A failed or killed transaction leaves the file unusable: it
    // is then thrown away, never renamed. The next open switches the file to
    // WAL. Refused (kStorageError) for a file that exists and is not empty.
    bool unjournaled = false;
};

class Database {
public:
    explicit Database(std::shared_ptr<Backend> backend);
    // The embedded default: one SQLite file, WAL mode.
    static std::shared_ptr<Database> OpenSqlite(const std::string& path,
                                                OpenMode mode = OpenMode::CreateIfMissing,
                                                const SqliteOptions& options = {});
    // The database a location names: a postgresql:// (or postgres://)
    // connection string opens that PostgreSQL database, which must exist on
    // the server (CreateIfMissing creates its tables when it has none,
    // MustExist and ReadOnly refuse it then); anything else is a SQLite file
    // path. `options.lockWaitMs` is the lock wait on either backend.
    static std::shared_ptr<Database> Open(const std::string& location,
                                          OpenMode mode = OpenMode::CreateIfMissing,
                                          const SqliteOptions& options = {});
    // True when Open would take `location` as a server connection string.
    static bool IsServerLocation(std::string_view location);

    // Throws Error(kNoSuchFile) naming the file when it does not exist.
    DbFile OpenFile(std::string_view name) const;
    bool HasFile(std::string_view name) const;
    // Creates an empty file (name checked with CheckFileName); does nothing
    // when it exists.
    void CreateFile(std::string_view name);
    std::vector<std::string> FileNames() const;
    // Keeps the record counts of `file` by the first `length` characters of
    // their keys, so that counting a prefix of that length (a sector's
    // neighbourhoods: QUARTIER by 3) reads one row; see
    // Backend::CountKeyPrefixes. Declaring again does nothing.
    void CountKeyPrefixes(std::string_view file, int length);

    // `request` is the whole text of a DynArray: attribute 1 the query text,
    // 2 the file name (may be empty; otherwise it must be the query's file),
    // 3 the columns ("0 1": key then attribute 1). `selectList` must be "".
    // `count` receives the number of rows. Grammar: see query.h.
    ResultList Query(std::string_view request, std::string_view selectList,
                     std::int32_t& count) const;

    Backend& backend() const { return *backend_; }

private:
    std::shared_ptr<Backend> backend_;
};

// Groups writes (e.g. loading a whole file): all or none of them are stored.
// The destructor rolls back what was not committed and never throws.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit();

private:
    Backend& backend_;
    bool open_ = true;
};

}  // namespace kelmor
