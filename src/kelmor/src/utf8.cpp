#include "utf8.h"

#include <cstdint>
#include <cstdio>

namespace kelmor::detail {
namespace {

bool IsMark(unsigned char b) {
    return b == 0xFE || b == 0xFD || b == 0xFC;
}

// Length of the well-formed UTF-8 sequence at text[i], 0 when ill-formed
// (overlong forms, surrogates and code points above U+10FFFF included).
std::size_t SequenceLength(std::string_view text, std::size_t i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) return 1;
    std::size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3;
        if (b == 0xE0) lo = 0xA0;
        if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4;
        if (b == 0xF0) lo = 0x90;
        if (b == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    if (i + len > text.size()) return 0;
    const auto second = static_cast<unsigned char>(text[i + 1]);
    if (second < lo || second > hi) return 0;
    for (std::size_t k = 2; k < len; ++k) {
        const auto c = static_cast<unsigned char>(text[i + k]);
        if (c < 0x80 || c > 0xBF) return 0;
    }
    return len;
}

}  // namespace

TextCheck CheckText(std::string_view text, bool allowMarks) noexcept {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (IsMark(b)) {
            if (!allowMarks) return {TextProblem::Mark, i, text[i]};
            ++i;
            continue;
        }
        if (b == 0) return {TextProblem::Nul, i, text[i]};
        const std::size_t len = SequenceLength(text, i);
        if (len == 0) return {TextProblem::InvalidUtf8, i, text[i]};
        i += len;
    }
    return {};
}

std::string Describe(const TextCheck& check) {
    const std::string at = " at byte " + std::to_string(check.offset);
    switch (check.problem) {
        case TextProblem::None:
            return "nothing wrong";
        case TextProblem::Mark: {
            const auto b = static_cast<unsigned char>(check.byte);
            const char* name = b == 0xFE   ? "attribute mark"
                               : b == 0xFD ? "value mark"
                                           : "sub-value mark";
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(b));
            return std::string("the ") + name + " (byte " + hex + ")" + at;
        }
        case TextProblem::Nul:
            return "a NUL character" + at;
        case TextProblem::InvalidUtf8: {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X",
                          static_cast<unsigned>(static_cast<std::uint8_t>(check.byte)));
            return std::string("invalid UTF-8 (byte ") + hex + ")" + at;
        }
    }
    return {};
}

}  // namespace kelmor::detail
