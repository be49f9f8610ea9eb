#include "services/jsonl.h"

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

std::string RowToLine(const std::vector<std::string>& columns) {
    json row = json::array();
    for (const std::string& column : columns) row.push_back(AttributeToJson(column));
    return row.dump();
}

}  // namespace services::jsonl
