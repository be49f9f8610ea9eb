#pragma once
// Sort keys for the order of PAR n: ICU's collation for French.

#include <string>
#include <string_view>

namespace kelmor::detail {

// Appends the collation sort key of `text` (UTF-8; sub-value marks are
// ignored) without ICU's terminating zero. Sort keys hold no zero byte, so a
// 0x00 appended by the caller separates values and sorts below any of them.
void AppendSortKey(std::string& out, std::string_view text);

}  // namespace kelmor::detail
