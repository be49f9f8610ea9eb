#include "centremed/free_code.h"

#include <cstdio>

namespace zonitra::centremed {

std::string CodeOf(int n) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d", n);
    return text;
}

std::optional<std::string> FirstFreeCode(const kelmor::DbFile& file, std::string_view prefix,
                                         const std::set<std::string>& known) {
    for (int n = 1; n <= kLastCode; ++n) {
        const std::string key = std::string(prefix) + CodeOf(n);
        if (known.count(key)) continue;
        const kelmor::ReadResult probe = file.TryReadRecord(key);
        if (probe.error == kelmor::kNotFound) return CodeOf(n);
        if (probe.error != 0) throw kelmor::Error(probe.error, probe.message);
    }
    return std::nullopt;
}

}  // namespace zonitra::centremed
