#include "collation.h"

#include <unicode/coll.h>
#include <unicode/locid.h>

#include <cstdint>
#include <memory>
#include <string>

#include "kelmor/backend.h"
#include "kelmor/dynarray.h"
#include "kelmor/error.h"

namespace kelmor::detail {

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

namespace {

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

namespace kelmor {

namespace {

// Appends the collation key of one text, without its terminating 0: ICU keys
// hold no 0 byte before it, so 0 can separate values below every key byte.
void AppendKey(std::string& out, std::string_view text) {
    const icu::UnicodeString u = icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<std::int32_t>(text.size())));
    static const icu::Collator& collator = detail::FrenchCollator();
    const std::size_t start = out.size();
    out.resize(start + 64 + static_cast<std::size_t>(u.length()) * 8);
    std::int32_t n = collator.getSortKey(u, reinterpret_cast<std::uint8_t*>(out.data() + start),
                                         static_cast<std::int32_t>(out.size() - start));
    if (n > static_cast<std::int32_t>(out.size() - start)) {
        out.resize(start + static_cast<std::size_t>(n));
        n = collator.getSortKey(u, reinterpret_cast<std::uint8_t*>(out.data() + start), n);
    }
    out.resize(start + static_cast<std::size_t>(n > 0 ? n - 1 : 0));
}

}  // namespace

std::string LabelSortKey(std::string_view whole) {
    // Values end with 00 00 and sub-values with 00 01: a value that ends
    // sorts before one that goes on with a sub-value, and both before any
    // key byte, as CompareFrench orders fewer fields first.
    const std::string_view label = AttributeView(whole, 1);
    std::string key;
    std::size_t vStart = 0;
    bool firstValue = true;
    while (true) {
        const std::size_t vEnd = label.find(kValueMark, vStart);
        const std::string_view value = label.substr(
            vStart, vEnd == std::string_view::npos ? std::string_view::npos : vEnd - vStart);
        if (!firstValue) key.append("\0\0", 2);
        firstValue = false;
        std::size_t sStart = 0;
        bool firstSub = true;
        while (true) {
            const std::size_t sEnd = value.find(kSubValueMark, sStart);
            if (!firstSub) key.append("\0\1", 2);
            firstSub = false;
            AppendKey(key,
                      value.substr(sStart, sEnd == std::string_view::npos ? std::string_view::npos
                                                                          : sEnd - sStart));
            if (sEnd == std::string_view::npos) break;
            sStart = sEnd + 1;
        }
        if (vEnd == std::string_view::npos) break;
        vStart = vEnd + 1;
    }
    return key;
}

}  // namespace kelmor
