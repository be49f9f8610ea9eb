// The fast parser of record lines: simdjson, which checks and splits a
// well-formed line a machine word at a time. It only ever says yes to a line
// that the general parser would read as the same record; on anything else it
// says no, and the general parser reads the line again and names what is
// wrong with it.

#include <simdjson.h>

#include <string>
#include <string_view>

#include "kelmor/dynarray.h"
#include "services/jsonl.h"

namespace services::jsonl {

static_assert(kLinePadding >= simdjson::SIMDJSON_PADDING);

namespace {

using simdjson::dom::element;

// The general parser refuses raw control characters in texts; simdjson does
// not check them. A line with any (a tab between members is rare) goes to
// the general parser, whatever they mean.
bool HasControlByte(std::string_view line) {
    bool found = false;  // no early exit: the loop vectorises
    for (const char c : line) found |= static_cast<unsigned char>(c) < 0x20;
    return found;
}

bool AppendText(element text, std::string& whole) {
    std::string_view view;
    if (text.get(view) != simdjson::SUCCESS || !kelmor::IsStorable(view)) return false;
    whole += view;
    return true;
}

// An attribute (depth 1) is a text or an array of values, a value (depth 2)
// a text or an array of sub-values (texts), each mark after the first.
bool AppendPart(element part, std::string& whole, int depth) {
    simdjson::dom::array parts;
    if (part.get(parts) != simdjson::SUCCESS) return AppendText(part, whole);
    if (depth > 2) return false;
    bool first = true;
    for (const element inner : parts) {
        if (!first) whole += depth == 1 ? kelmor::kValueMark : kelmor::kSubValueMark;
        first = false;
        if (!AppendPart(inner, whole, depth + 1)) return false;
    }
    return true;
}

bool AppendAttributes(element attributes, std::string& whole) {
    simdjson::dom::array parts;
    if (attributes.get(parts) != simdjson::SUCCESS) return false;
    bool first = true;
    for (const element attribute : parts) {
        if (!first) whole += kelmor::kAttributeMark;
        first = false;
        if (!AppendPart(attribute, whole, 1)) return false;
    }
    return true;
}

bool Name(element value, std::string& name) {
    std::string_view text;
    if (value.get(text) != simdjson::SUCCESS || text.empty() || !kelmor::IsStorable(text)) {
        return false;
    }
    name.assign(text);
    return true;
}

}  // namespace

bool FromLineFast(std::string_view line, StoredRecord& record) {
    // The parser's buffers grow to several times the longest line it read
    // and stay: the rare long line goes to the general parser, which streams.
    constexpr std::size_t kLongLine = std::size_t{1} << 20;
    if (line.size() > kLongLine || HasControlByte(line)) return false;
    // One parser a thread: it keeps its buffers from line to line. Its
    // document object model parse picks the best instructions of the machine
    // at run time.
    thread_local simdjson::dom::parser parser;
    simdjson::dom::object root;
    if (parser.parse(line.data(), line.size(), false).get(root) != simdjson::SUCCESS) return false;
    record.file.clear();
    record.key.clear();
    record.whole.clear();
    bool file = false, key = false, attributes = false;
    for (const simdjson::dom::key_value_pair member : root) {
        bool* seen = member.key == "file" ? &file : member.key == "key" ? &key : &attributes;
        if (*seen || (seen == &attributes && member.key != "attributes")) return false;
        *seen = true;
        const bool ok = seen == &file  ? Name(member.value, record.file)
                        : seen == &key ? Name(member.value, record.key)
                                       : AppendAttributes(member.value, record.whole);
        if (!ok) return false;
    }
    if (!file || !key) return false;
    while (!record.whole.empty() && record.whole.back() == kelmor::kAttributeMark) {
        record.whole.pop_back();  // trailing empty attributes mean nothing
    }
    return true;
}

}  // namespace services::jsonl
