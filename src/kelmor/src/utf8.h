#pragma once
// Byte-level checks shared by the arrays, keys, file names and queries.

#include <cstddef>
#include <string>
#include <string_view>

namespace kelmor::detail {

enum class TextProblem { None, Mark, Nul, InvalidUtf8 };

struct TextCheck {
    TextProblem problem = TextProblem::None;
    std::size_t offset = 0;  // byte offset of the first offending byte
    char byte = 0;
};

// First byte that cannot be part of a stored value. With `allowMarks`, the
// three marks are accepted as separators (a whole text).
TextCheck CheckText(std::string_view text, bool allowMarks) noexcept;

// "the attribute mark (byte 0xFE) at byte 3", "invalid UTF-8 at byte 0"...
std::string Describe(const TextCheck& check);

}  // namespace kelmor::detail
