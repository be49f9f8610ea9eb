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
// [] is an empty one; "attributes" may be left out for an empty record.

#include <cstddef>
#include <iosfwd>
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

// A line that is not a record; the message says what is wrong with it.
class FormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Every bad line of a stream, each as "source:line: reason"; what() joins
// them with line feeds.
class LinesError : public FormatError {
public:
    explicit LinesError(std::vector<std::string> lines);
    const std::vector<std::string>& lines() const noexcept { return lines_; }

private:
    std::vector<std::string> lines_;
};

struct Record {
    std::string file;
    std::string key;
    kelmor::DynArray data;
};

std::string ToLine(std::string_view file, std::string_view key, const kelmor::DynArray& data);

// Throws FormatError for bad JSON, a missing or mistyped member, an unknown
// member, or a text holding one of the record marks.
Record FromLine(std::string_view line);

// Reads every record of a JSON lines stream, checking file names and keys as
// the database will; blank lines are skipped and a trailing "\r" ignored.
// Throws LinesError naming every bad line (`source` names the stream).
std::vector<Record> ReadRecords(std::istream& in, std::string_view source);

// Stores the records in order, all or none (one transaction), creating the
// files that do not exist; a record replaces a stored one with its key.
// Returns the number of distinct files written.
std::size_t StoreRecords(kelmor::Database& db, const std::vector<Record>& records);

// One attribute's whole text (value and sub-value marks included) as JSON.
nlohmann::json AttributeToJson(std::string_view attribute);

// The attributes of a record as a JSON array (trailing empty ones left out).
nlohmann::json AttributesToJson(const kelmor::DynArray& data);
// Throws FormatError naming the attribute, value or sub-value at fault.
kelmor::DynArray AttributesFromJson(const nlohmann::json& attributes);

// A query row: one JSON array, each column in the attribute form.
std::string RowToLine(const std::vector<std::string>& columns);

}  // namespace services::jsonl
