#pragma once
// Files, records and queries of a multivalue database.
//
// Ownership: Database, DbFile and DbRecord share the storage backend, so a
// record or file handle stays usable after the Database object that gave it is
// released (as the editor releases its slots in any order).
//
// Errors: every failure is a kelmor::Error carrying a number. A ReadRecord of a
// missing key throws NotFoundError, number() == kNotFound (0x8004000B).
// Callers that probe use TryReadRecord, which never throws for that case.

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "kelmor/dynarray.h"

namespace kelmor {

class Backend;

inline constexpr std::int32_t kNotFound = static_cast<std::int32_t>(0x8004000BU);
inline constexpr std::int32_t kNoSuchFile = static_cast<std::int32_t>(0x80040007U);
inline constexpr std::int32_t kBadQuery = static_cast<std::int32_t>(0x80040010U);
inline constexpr std::int32_t kStorageError = static_cast<std::int32_t>(0x80040020U);

class Error : public std::runtime_error {
public:
    Error(std::int32_t number, const std::string& message)
        : std::runtime_error(message), number_(number) {}
    std::int32_t number() const noexcept { return number_; }

private:
    std::int32_t number_;
};

class NotFoundError : public Error {
public:
    NotFoundError(const std::string& file, const std::string& key);
};

class DbFile;

// A record: a DynArray bound to a file and a key. Get(0) is the key.
class DbRecord : public DynArray {
public:
    DbRecord() = default;
    const std::string& Key() const { return key_; }
    const std::string& FileName() const;
    std::string Get(int attr, int value = 0, int sub = 0) const;
    std::string operator()(int attr, int value = 0, int sub = 0) const {
        return Get(attr, value, sub);
    }
    // Stores the record under its key, created or replaced, atomically.
    void DBWrite();

private:
    friend class DbFile;
    DbRecord(std::shared_ptr<Backend> backend, std::string file, std::string key,
             std::string_view whole);
    std::shared_ptr<Backend> backend_;
    std::string file_;
    std::string key_;
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
    // An empty record bound to `key`; nothing is stored before DBWrite.
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
class ResultList {
public:
    ResultList() = default;
    explicit ResultList(std::vector<std::vector<std::string>> rows) : rows_(std::move(rows)) {}
    int DCount() const { return static_cast<int>(rows_.size()); }
    // Row r whole (columns joined by value marks), or column c; "" when absent.
    std::string Get(int row, int column = 0) const;
    std::string operator()(int row, int column = 0) const { return Get(row, column); }
    const std::vector<std::vector<std::string>>& Rows() const { return rows_; }

private:
    std::vector<std::vector<std::string>> rows_;
};

class Database {
public:
    explicit Database(std::shared_ptr<Backend> backend);
    // The embedded default: one SQLite file (created when absent), WAL mode.
    static std::shared_ptr<Database> OpenSqlite(const std::string& path);

    // Throws Error(kNoSuchFile) naming the file when it does not exist.
    DbFile OpenFile(std::string_view name) const;
    bool HasFile(std::string_view name) const;
    // Creates an empty file; does nothing when it exists.
    void CreateFile(std::string_view name);
    std::vector<std::string> FileNames() const;

    // `request` is the whole text of a DynArray: attribute 1 the query text,
    // 2 the file name, 3 the columns ("0 1": key then attribute 1).
    // `selectList` must be ""; `count` receives the number of rows.
    // Query grammar: see query.h.
    ResultList Query(std::string_view request, std::string_view selectList,
                     std::int32_t& count) const;

    Backend& backend() const { return *backend_; }

private:
    std::shared_ptr<Backend> backend_;
};

}  // namespace kelmor
