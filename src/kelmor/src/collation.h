#pragma once
// The order of PAR n: ICU's collation for French.

#include <unicode/coll.h>

#include <string_view>

namespace kelmor::detail {

// <0, 0 or >0 as `a` sorts before, with or after `b`. Both are attribute texts
// (UTF-8 with value and sub-value marks), or several attribute texts joined by
// attribute marks: they are compared attribute by attribute, value by value,
// sub-value by sub-value, a shorter list first, each text with the collator.
int CompareFrench(std::string_view a, std::string_view b);
// The same for texts known to hold no mark.
int CompareFrenchPlain(std::string_view a, std::string_view b);
// The one collator both use, created on first use.
const icu::Collator& FrenchCollator();

}  // namespace kelmor::detail
