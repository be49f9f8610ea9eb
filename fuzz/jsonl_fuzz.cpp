// The JSON-lines reader on any bytes: it reads records or names bad lines,
// never crashes, and every record it reads writes back as a line that reads
// as the same record. Each line also goes through both parsers on its own:
// a line the fast one accepts must give the general one's record, so that
// which parser reads a line never changes what is stored or said.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

#include "kelmor/database.h"
#include "services/jsonl.h"

namespace jsonl = services::jsonl;

namespace {

[[noreturn]] void Broken(const std::string& what) {
    std::cerr << "property broken: " << what << "\n";
    std::abort();
}

// The general parser's record, or its message.
std::string General(std::string_view line, jsonl::StoredRecord& record) {
    try {
        jsonl::FromLineGeneral(line, record);
        return {};
    } catch (const jsonl::FormatError& e) {
        return e.what();
    }
}

void CompareParsers(std::string_view line) {
    std::string padded(line);
    padded.append(jsonl::kLinePadding, '\xFF');  // what follows a line must not count
    const std::string_view view(padded.data(), line.size());
    jsonl::StoredRecord general, fast, either;
    const std::string message = General(view, general);
    if (jsonl::FromLineFast(view, fast)) {
        if (!message.empty()) Broken("the fast parser accepts a bad line (" + message + ")");
        if (fast.file != general.file || fast.key != general.key || fast.whole != general.whole) {
            Broken("the parsers read different records");
        }
    }
    std::string said;
    try {
        jsonl::FromLine(line, either);
    } catch (const jsonl::FormatError& e) {
        said = e.what();
    }
    if (said != message) Broken("FromLine says \"" + said + "\", not \"" + message + "\"");
    if (said.empty() && (either.file != general.file || either.key != general.key ||
                         either.whole != general.whole)) {
        Broken("FromLine reads another record");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    for (std::size_t begin = 0; begin <= input.size();) {
        const std::size_t end = std::min(input.find('\n', begin), input.size());
        CompareParsers(std::string_view(input).substr(begin, end - begin));
        begin = end + 1;
    }
    std::istringstream in(input);
    jsonl::Reader reader(in, "fuzz");
    jsonl::StoredRecord record;
    std::size_t records = 0;
    while (reader.Next(record)) {
        ++records;
        if (!kelmor::IsValidWholeText(record.whole)) Broken("a record that is not valid text");
        if (!record.whole.empty() && record.whole.back() == kelmor::kAttributeMark) {
            Broken("a trailing empty attribute");
        }
        const kelmor::DynArray array(record.whole);
        const std::string line = jsonl::ToLine(record.file, record.key, array);
        const jsonl::Record again = jsonl::FromLine(line);
        if (again.file != record.file || again.key != record.key || again.data != array) {
            Broken("the record changed through its line: " + line);
        }
    }
    try {
        reader.ThrowIfBadLines();
    } catch (const jsonl::LinesError& e) {
        if (e.lines().empty() || e.total() < e.lines().size()) Broken("bad lines not named");
    }
    return 0;
}
