#pragma once
// Errors of the database library. Every failure is a kelmor::Error carrying a
// 32-bit number, so that callers can test the number right after a call the
// way the editor's levels do ("read, then test the error number at once").

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace kelmor {

// A ReadRecord of a key that has no record (-2147221493).
inline constexpr std::int32_t kNotFound = static_cast<std::int32_t>(0x8004000BU);
// A file (table of records) that does not exist in the database.
inline constexpr std::int32_t kNoSuchFile = static_cast<std::int32_t>(0x80040007U);
// A query text, request or column list that does not follow query.h.
inline constexpr std::int32_t kBadQuery = static_cast<std::int32_t>(0x80040010U);
// A value, key or file name that cannot be stored (marks, invalid UTF-8, NUL).
inline constexpr std::int32_t kBadValue = static_cast<std::int32_t>(0x80040011U);
// An attribute, value or sub-value position out of range.
inline constexpr std::int32_t kBadPosition = static_cast<std::int32_t>(0x80040012U);
// The storage backend failed in a way none of the numbers below describes.
inline constexpr std::int32_t kStorageError = static_cast<std::int32_t>(0x80040020U);
// The connection to a database server was lost (server restarted, network
// cut). What the failed call was doing is not stored, nor is an open
// transaction; the next call connects again.
inline constexpr std::int32_t kConnectionLost = static_cast<std::int32_t>(0x80040030U);

// Failures of a write (or of opening a database) that callers tell apart,
// each thrown with a message naming the database and what was being done.
// Another program kept the database locked for longer than the lock wait.
inline constexpr std::int32_t kBusy = static_cast<std::int32_t>(0x80040021U);
// The disk (or file system) holding the database is full.
inline constexpr std::int32_t kDiskFull = static_cast<std::int32_t>(0x80040022U);
// The database was opened read-only, or its file or file system is read-only.
inline constexpr std::int32_t kReadOnly = static_cast<std::int32_t>(0x80040023U);
// Reading or writing the database file failed (an I/O error of the system).
inline constexpr std::int32_t kIoError = static_cast<std::int32_t>(0x80040024U);
// DBWrite: since this record was read, another connection changed an
// attribute that this record changed too (see DbRecord::DBWrite).
inline constexpr std::int32_t kConflict = static_cast<std::int32_t>(0x80040025U);
// The path is not a database of ours: a directory, a file of another kind, or
// an SQLite database of another program. The file is left untouched.
inline constexpr std::int32_t kNotADatabase = static_cast<std::int32_t>(0x80040026U);

// A French sentence for the operator describing a failure number: the storage
// failures above, kNotFound, kNoSuchFile and the invalid-input numbers; a
// general sentence for any other number. Never empty.
const char* FrenchMessage(std::int32_t number) noexcept;

class Error : public std::runtime_error {
public:
    Error(std::int32_t number, const std::string& message)
        : std::runtime_error(message), number_(number) {}
    std::int32_t number() const noexcept { return number_; }

private:
    std::int32_t number_;
};

// Thrown when a text to be stored contains a mark, a NUL or invalid UTF-8.
class DelimiterError : public Error {
public:
    explicit DelimiterError(const std::string& message) : Error(kBadValue, message) {}
};

// Thrown for a position below 1 (attribute) or below -1 (value, sub-value).
class PositionError : public Error {
public:
    explicit PositionError(const std::string& message) : Error(kBadPosition, message) {}
};

// DBWrite found that another connection changed, since this record was read,
// an attribute that this record changed too; number() == kConflict.
class ConflictError : public Error {
public:
    ConflictError(const std::string& message, std::vector<int> attributes)
        : Error(kConflict, message), attributes_(std::move(attributes)) {}
    // The attributes both changed, in increasing order (empty when the record
    // was deleted by the other connection).
    const std::vector<int>& attributes() const noexcept { return attributes_; }

private:
    std::vector<int> attributes_;
};

// ReadRecord of a missing key; number() == kNotFound.
class NotFoundError : public Error {
public:
    NotFoundError(const std::string& file, const std::string& key);
    const std::string& file() const noexcept { return file_; }
    const std::string& key() const noexcept { return key_; }

private:
    std::string file_;
    std::string key_;
};

}  // namespace kelmor
