#pragma once
// Records as JSON lines, one record a line:
//   {"file":"SECTEUR","key":"001","attributes":["NORD","","A-12",["001","004"]]}
// Each attribute is a string (its only value) or an array of values; each value
// is a string or an array of sub-values. Attribute 1 comes first.
//
// Writing always gives the simplest form: a string wherever one value (or one
// sub-value) is enough, no trailing empty attributes, members in the order
// file, key, attributes, no spaces, UTF-8 text unescaped. Reading accepts every
// form that means the same record, so ["A"] and "A" are the same attribute and
// [] is an empty one; "attributes" may be left out for an empty record. A
// member given twice, an unknown member, a NUL byte anywhere in the line
// (JSON has none: a NUL in a text is written \u0000, and refused as a value),
// or a line longer than kMaxLineBytes makes the line bad.

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "kelmor/dynarray.h"

namespace kelmor {
class Database;
}

namespace services::jsonl {

inline constexpr std::size_t kMaxLineBytes = std::size_t{16} << 20;

// A line that is not a record; the message says what is wrong with it.
class FormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Bad lines of a stream, each as "source:line: reason" (at most
// kMaxReportedLines of them); what() joins them with line feeds and says how
// many more there were.
class LinesError : public FormatError {
public:
    LinesError(std::vector<std::string> lines, std::size_t total);
    const std::vector<std::string>& lines() const noexcept { return lines_; }
    std::size_t total() const noexcept { return total_; }

private:
    std::vector<std::string> lines_;
    std::size_t total_;
};
inline constexpr std::size_t kMaxReportedLines = 100;

// The stream itself could not be read (an I/O error, a directory...).
class ReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Record {
    std::string file;
    std::string key;
    kelmor::DynArray data;
};

// A record as stored: its whole text, marks included (see dynarray.h).
struct StoredRecord {
    std::string file;
    std::string key;
    std::string whole;
};

std::string ToLine(std::string_view file, std::string_view key, const kelmor::DynArray& data);

// Throws FormatError for bad JSON, a missing, repeated or mistyped member, an
// unknown member, or a text that cannot be stored (a mark, a NUL). File names
// and keys are not checked against the database's rules here (Reader does).
Record FromLine(std::string_view line);
void FromLine(std::string_view line, StoredRecord& record);

// FromLine's two parsers, apart for the tests that compare them. The fast one
// reads only well-formed records and returns false on anything else (the
// record is then unspecified), leaving every message to the general one. It
// reads up to kLinePadding bytes past the end of `line`, which must be
// readable (their values do not matter).
inline constexpr std::size_t kLinePadding = 64;
bool FromLineFast(std::string_view line, StoredRecord& record);
void FromLineGeneral(std::string_view line, StoredRecord& record);

// Reads the records of a JSON lines stream one at a time, in constant memory
// whatever the length of the stream: blank lines are skipped, a trailing "\r"
// ignored, file names and keys checked as the database will. A bad line is
// noted and skipped, so that one pass names every bad line.
class Reader {
public:
    Reader(std::istream& in, std::string source);
    // The next good record; false at the end of the stream. Throws ReadError
    // when the stream fails.
    bool Next(StoredRecord& record);
    // Throws LinesError when any line was bad.
    void ThrowIfBadLines() const;
    std::size_t BadLineCount() const { return badCount_; }

private:
    bool NextLine();
    void NoteBad(const std::string& reason);

    std::istream& in_;
    std::string source_;
    std::string line_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0, end_ = 0;  // unread bytes of buffer_
    std::size_t number_ = 0;           // of the current line, from 1
    bool tooLong_ = false;
    bool eof_ = false;
    std::vector<std::string> bad_;
    std::size_t badCount_ = 0;
};

// Reads every record of a JSON lines stream (see Reader) into memory. Throws
// LinesError naming the bad lines (`source` names the stream).
std::vector<Record> ReadRecords(std::istream& in, std::string_view source);

// Stores the records in order, all or none (one transaction), creating the
// files that do not exist; a record replaces a stored one with its key.
// Returns the number of distinct files written.
std::size_t StoreRecords(kelmor::Database& db, const std::vector<Record>& records);

struct LoadResult {
    std::size_t records = 0;
    std::size_t files = 0;  // distinct files written
};

// Loads a JSON lines stream of any length in constant memory, all or none, in
// two phases. The constructor reads and checks the whole stream, keeping its
// records in a temporary file made in `stagingDir` (and gone with this
// object, also when the process is killed); it throws LinesError naming the
// bad lines, ReadError when the stream fails, or kelmor::Error when the
// temporary file cannot be written. Store then stores them, in order, in one
// transaction: the database's write lock is held only while storing, never
// while reading, and a kill at any moment leaves every record old or every
// record new. Files are created as needed; a record replaces a stored one
// with its key.
class StagedLoad {
public:
    StagedLoad(std::istream& in, std::string_view source, const std::string& stagingDir);
    ~StagedLoad();
    StagedLoad(const StagedLoad&) = delete;
    StagedLoad& operator=(const StagedLoad&) = delete;
    std::size_t Records() const { return records_; }
    // Throws the database's kelmor::Error; nothing is stored then.
    LoadResult Store(kelmor::Database& db);

private:
    class Staging;
    std::unique_ptr<Staging> staging_;
    std::vector<std::string> files_;  // by index in the staging file
    std::size_t records_ = 0;
};

// StagedLoad(in, source, stagingDir).Store(db).
LoadResult Load(kelmor::Database& db, std::istream& in, std::string_view source,
                const std::string& stagingDir);

// One attribute's whole text (value and sub-value marks included) as JSON.
nlohmann::json AttributeToJson(std::string_view attribute);

// The attributes of a record as a JSON array (trailing empty ones left out).
nlohmann::json AttributesToJson(const kelmor::DynArray& data);
// Throws FormatError naming the attribute, value or sub-value at fault.
kelmor::DynArray AttributesFromJson(const nlohmann::json& attributes);

// A query row: one JSON array, each column in the attribute form.
std::string RowToLine(const std::vector<std::string>& columns);

}  // namespace services::jsonl
