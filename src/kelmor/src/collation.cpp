#include "collation.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <cstdint>
#include <memory>

#include "kelmor/dynarray.h"
#include "kelmor/error.h"

namespace kelmor::detail {
namespace {

// Created once; ICU collators are safe to share for const use.
const icu::Collator& FrenchCollator() {
    static const std::unique_ptr<const icu::Collator> collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Collator> c(
            icu::Collator::createInstance(icu::Locale::getFrench(), status));
        if (U_FAILURE(status) || !c) {
            throw Error(kStorageError, std::string("kelmor: the French collation of ICU is not "
                                                   "available: ") +
                                           u_errorName(status));
        }
        return std::unique_ptr<const icu::Collator>(std::move(c));
    }();
    return *collator;
}

}  // namespace

void AppendSortKey(std::string& out, std::string_view text) {
    icu::UnicodeString u;
    std::size_t begin = 0;
    while (begin <= text.size()) {
        std::size_t end = text.find(kSubValueMark, begin);
        if (end == std::string_view::npos) end = text.size();
        u.append(icu::UnicodeString::fromUTF8(
            icu::StringPiece(text.data() + begin, static_cast<std::int32_t>(end - begin))));
        begin = end + 1;
    }
    const icu::Collator& collator = FrenchCollator();
    const std::size_t start = out.size();
    std::int32_t capacity = 4 * u.length() + 16;
    while (true) {
        out.resize(start + static_cast<std::size_t>(capacity));
        auto* buffer = reinterpret_cast<std::uint8_t*>(out.data() + start);
        const std::int32_t needed = collator.getSortKey(u, buffer, capacity);
        if (needed <= capacity) {
            // `needed` counts the terminating zero, which is dropped.
            out.resize(start + static_cast<std::size_t>(needed > 0 ? needed - 1 : 0));
            return;
        }
        capacity = needed;
    }
}

}  // namespace kelmor::detail
