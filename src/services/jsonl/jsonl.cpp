#include "services/jsonl.h"

#include <istream>
#include <map>

#include "kelmor/database.h"

namespace services::jsonl {

namespace {

using nlohmann::json;
using nlohmann::ordered_json;

std::vector<std::string_view> Split(std::string_view text, char mark) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t at = text.find(mark); at != std::string_view::npos;
         at = text.find(mark, start)) {
        parts.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    parts.push_back(text.substr(start));
    return parts;
}

std::string Join(const std::vector<std::string>& parts, char mark) {
    std::string whole;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) whole += mark;
        whole += parts[i];
    }
    return whole;
}

// nlohmann's messages start with "[json.exception.parse_error.101] ".
std::string Reason(const json::exception& e) {
    std::string text = e.what();
    if (const auto end = text.find("] ");
        !text.empty() && text.front() == '[' && end != std::string::npos) {
        text.erase(0, end + 2);
    }
    return text;
}

std::string Text(const json& item, const std::string& where) {
    if (!item.is_string()) {
        throw FormatError(where + " must be a text, not " + std::string(item.type_name()));
    }
    const auto& text = item.get_ref<const std::string&>();
    try {
        kelmor::CheckStorable(text, where);
    } catch (const kelmor::DelimiterError& e) {
        throw FormatError(e.what());
    }
    return text;
}

std::string ValueFromJson(const json& item, const std::string& where) {
    if (!item.is_array()) {
        if (item.is_string()) return Text(item, where);
        throw FormatError(where + " must be a text or an array of sub-values, not " +
                          std::string(item.type_name()));
    }
    std::vector<std::string> subs;
    for (std::size_t s = 0; s < item.size(); ++s) {
        subs.push_back(Text(item[s], where + ", sub-value " + std::to_string(s + 1)));
    }
    return Join(subs, kelmor::kSubValueMark);
}

std::string AttributeFromJson(const json& item, const std::string& where) {
    if (!item.is_array()) {
        if (item.is_string()) return Text(item, where);
        throw FormatError(where + " must be a text or an array of values, not " +
                          std::string(item.type_name()));
    }
    std::vector<std::string> values;
    for (std::size_t v = 0; v < item.size(); ++v) {
        values.push_back(ValueFromJson(item[v], where + ", value " + std::to_string(v + 1)));
    }
    return Join(values, kelmor::kValueMark);
}

}  // namespace

LinesError::LinesError(std::vector<std::string> lines)
    : FormatError(Join(lines, '\n')), lines_(std::move(lines)) {}

std::vector<Record> ReadRecords(std::istream& in, std::string_view source) {
    std::vector<Record> records;
    std::vector<std::string> bad;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        try {
            Record record = FromLine(line);
            kelmor::CheckFileName(record.file);
            kelmor::CheckKey(record.key);
            records.push_back(std::move(record));
        } catch (const std::exception& e) {
            // The database library names itself; the line number says enough.
            std::string_view reason = e.what();
            if (reason.starts_with("kelmor: ")) reason.remove_prefix(8);
            bad.push_back(std::string(source) + ":" + std::to_string(number) + ": " +
                          std::string(reason));
        }
    }
    if (in.bad()) bad.push_back(std::string(source) + ": read error");
    if (!bad.empty()) throw LinesError(std::move(bad));
    return records;
}

std::size_t StoreRecords(kelmor::Database& db, const std::vector<Record>& records) {
    kelmor::Transaction transaction(db);
    std::map<std::string, kelmor::DbFile, std::less<>> files;
    for (const Record& record : records) {
        auto file = files.find(record.file);
        if (file == files.end()) {
            db.CreateFile(record.file);
            file = files.emplace(record.file, db.OpenFile(record.file)).first;
        }
        kelmor::DbRecord stored = file->second.NewRecord(record.key);
        stored.SetText(record.data.Text());
        stored.DBWrite();
    }
    transaction.Commit();
    return files.size();
}

json AttributeToJson(std::string_view attribute) {
    json values = json::array();
    for (std::string_view value : Split(attribute, kelmor::kValueMark)) {
        const auto subs = Split(value, kelmor::kSubValueMark);
        if (subs.size() == 1) {
            values.push_back(std::string(value));
        } else {
            values.push_back(json(std::vector<std::string>(subs.begin(), subs.end())));
        }
    }
    if (values.size() == 1 && values[0].is_string()) return values[0];
    return values;
}

json AttributesToJson(const kelmor::DynArray& data) {
    json attributes = json::array();
    for (int a = 1; a <= data.AttributeCount(); ++a) {
        attributes.push_back(AttributeToJson(data.Get(a)));
    }
    return attributes;
}

kelmor::DynArray AttributesFromJson(const json& attributes) {
    if (!attributes.is_array()) {
        throw FormatError("\"attributes\" must be an array, not " +
                          std::string(attributes.type_name()));
    }
    std::vector<std::string> whole;
    for (std::size_t a = 0; a < attributes.size(); ++a) {
        whole.push_back(AttributeFromJson(attributes[a], "attribute " + std::to_string(a + 1)));
    }
    return kelmor::DynArray(Join(whole, kelmor::kAttributeMark));
}

std::string ToLine(std::string_view file, std::string_view key, const kelmor::DynArray& data) {
    ordered_json line;
    line["file"] = std::string(file);
    line["key"] = std::string(key);
    line["attributes"] = AttributesToJson(data);
    return line.dump();
}

Record FromLine(std::string_view line) {
    json item;
    try {
        item = json::parse(line);
    } catch (const json::parse_error& e) {
        throw FormatError("not valid JSON: " + Reason(e));
    }
    if (!item.is_object()) {
        throw FormatError("a record must be a JSON object, not " + std::string(item.type_name()));
    }
    for (const auto& [name, _] : item.items()) {
        if (name != "file" && name != "key" && name != "attributes") {
            throw FormatError("unknown member \"" + name +
                              "\" (a record has \"file\", \"key\" and \"attributes\")");
        }
    }
    for (const char* required : {"file", "key"}) {
        if (!item.contains(required)) {
            throw FormatError(std::string("missing \"") + required + "\"");
        }
    }
    Record record;
    record.file = Text(item["file"], "\"file\"");
    record.key = Text(item["key"], "\"key\"");
    if (record.file.empty()) throw FormatError("\"file\" is empty");
    if (record.key.empty()) throw FormatError("\"key\" is empty");
    if (item.contains("attributes")) record.data = AttributesFromJson(item["attributes"]);
    return record;
}

std::string RowToLine(const std::vector<std::string>& columns) {
    json row = json::array();
    for (const std::string& column : columns) row.push_back(AttributeToJson(column));
    return row.dump();
}

}  // namespace services::jsonl
