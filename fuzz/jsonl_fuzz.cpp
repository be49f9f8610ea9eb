// The JSON-lines reader on any bytes: it reads records or names bad lines,
// never crashes, and every record it reads writes back as a line that reads
// as the same record.

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

#include "kelmor/database.h"
#include "services/jsonl.h"

namespace jsonl = services::jsonl;

namespace {

[[noreturn]] void Broken(const std::string& what) {
    std::cerr << "property broken: " << what << "\n";
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
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
