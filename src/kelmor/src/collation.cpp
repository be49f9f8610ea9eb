#include "collation.h"

#include <unicode/coll.h>
#include <unicode/locid.h>

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

constexpr char kMarks[] = {kAttributeMark, kValueMark, kSubValueMark};

// Compares the fields of `a` and `b` split at kMarks[level], each with the
// next level; below the sub-value level, the texts themselves.
//
// Comparing in place (as an SQL collation does) rather than through ICU sort
// keys: a query sorts its k selected rows with about k log k comparisons, and
// ICU's comparison of Latin text is cheaper than building k sort keys for the
// row counts of a label list.
int CompareLevel(std::string_view a, std::string_view b, int level) {
    if (level == 3) return CompareFrenchPlain(a, b);
    const char mark = kMarks[level];
    if (a.find(mark) == std::string_view::npos && b.find(mark) == std::string_view::npos) {
        return CompareLevel(a, b, level + 1);  // the usual case: one field each
    }
    while (true) {
        const std::size_t ea = a.find(mark), eb = b.find(mark);
        if (const int c = CompareLevel(a.substr(0, ea), b.substr(0, eb), level + 1); c != 0) {
            return c;
        }
        if (ea == std::string_view::npos || eb == std::string_view::npos) {
            return (ea == std::string_view::npos ? 0 : 1) - (eb == std::string_view::npos ? 0 : 1);
        }
        a.remove_prefix(ea + 1);
        b.remove_prefix(eb + 1);
    }
}

}  // namespace

int CompareFrench(std::string_view a, std::string_view b) {
    return CompareLevel(a, b, 0);
}

int CompareFrenchPlain(std::string_view a, std::string_view b) {
    static const icu::Collator& collator = FrenchCollator();
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r = collator.compareUTF8(
        icu::StringPiece(a.data(), static_cast<std::int32_t>(a.size())),
        icu::StringPiece(b.data(), static_cast<std::int32_t>(b.size())), status);
    if (U_FAILURE(status)) return a.compare(b);  // not expected for stored text
    return r;
}

}  // namespace kelmor::detail
