#pragma once
// Multivalue dynamic arrays.
//
// A DynArray is a list of attributes (numbered from 1), each a list of values
// (from 1), each a list of sub-values (from 1). Its whole text joins them with
// three marks that can never occur in UTF-8 text: the bytes 0xFE (attribute
// mark), 0xFD (value mark) and 0xFC (sub-value mark). Characters such as "þ"
// (U+00FE) or "ÿ" (U+00FF) are two-byte UTF-8 sequences and are never confused
// with them.
//
// Conventions (those of Pick-style databases):
// - An absent position reads as "". Position 0 for a value or sub-value means
//   "the whole attribute" / "the whole value", with its inner marks.
// - Attribute 0 is the key of a record (DbRecord); a bare DynArray has no key
//   and reads "" there.
// - Reading value 1 of an attribute that holds one value gives that value;
//   reading value 3 of a one-value attribute gives "". Likewise sub-value 1 of
//   a value without sub-value marks is the value itself.
// - Writing beyond the end extends with empty positions: Set(3, 2, "x") on an
//   empty array gives attributes "", "", and "" VM "x".
// - Position -1 for a value or sub-value appends a new one at the end (an
//   empty attribute receives it as its first value, without a leading mark).
// - Writing "" to an attribute clears all its values (the attribute is then
//   empty and DCount gives 0). Writing "" to one value keeps its place
//   ("a" VM "b" becomes "" VM "b"), as REPLACE does.
// - DCount(attribute) is the number of values: 0 for an empty attribute,
//   otherwise the number of value marks + 1.
// - Trailing empty attributes are not significant: the whole text never ends
//   with an attribute mark, so two arrays with the same content compare equal.
// - Every setter that takes one position's text rejects the three marks, NUL
//   and any byte sequence that is not valid UTF-8 with DelimiterError naming
//   the position; the array is unchanged then. SetText and the constructor
//   take a whole text, marks included, and reject only NUL and invalid UTF-8.
// - Positions below the ranges above throw PositionError.

#include <string>
#include <string_view>
#include <vector>

#include "kelmor/error.h"

namespace kelmor {

inline constexpr char kAttributeMark = '\xFE';
inline constexpr char kValueMark = '\xFD';
inline constexpr char kSubValueMark = '\xFC';

class DynArray {
public:
    DynArray() = default;
    // Parses a whole text (as returned by Text()); see SetText.
    explicit DynArray(std::string_view whole);
    virtual ~DynArray() = default;
    DynArray(const DynArray&) = default;
    DynArray(DynArray&&) noexcept = default;
    DynArray& operator=(const DynArray&) = default;
    DynArray& operator=(DynArray&&) noexcept = default;

    // Reads attribute `attr`, value `value`, sub-value `sub` (0 = all of it).
    // Virtual so that a DbRecord seen as a DynArray still reads its key at 0.
    virtual std::string Get(int attr, int value = 0, int sub = 0) const;
    std::string operator()(int attr, int value = 0, int sub = 0) const {
        return Get(attr, value, sub);
    }

    // Writes one position. Set(attr, "") clears the attribute.
    void Set(int attr, std::string_view text) { Set(attr, 0, 0, text); }
    void Set(int attr, int value, std::string_view text) { Set(attr, value, 0, text); }
    void Set(int attr, int value, int sub, std::string_view text);
    // Replaces a whole attribute by these values (each checked for marks).
    void SetValues(int attr, const std::vector<std::string>& values);
    // Values of an attribute, split at the value marks ([] when empty).
    std::vector<std::string> Values(int attr) const;

    int DCount(int attr) const;
    // Number of attributes up to the last non-empty one.
    int AttributeCount() const { return static_cast<int>(attrs_.size()); }

    std::string Text() const;
    void SetText(std::string_view whole);  // "" empties the array
    bool Empty() const { return attrs_.empty(); }

    friend bool operator==(const DynArray& a, const DynArray& b) { return a.attrs_ == b.attrs_; }

private:
    void Trim();
    // Each attribute kept as its own text, inner value/sub-value marks included.
    std::vector<std::string> attrs_;
};

// Throws DelimiterError naming `what` when `text` cannot be one stored value:
// it contains a mark, a NUL, or is not valid UTF-8.
void CheckStorable(std::string_view text, std::string_view what);
// True when CheckStorable would accept `text` (no mark, no NUL, valid UTF-8).
bool IsStorable(std::string_view text) noexcept;
// True when `text` is valid UTF-8 apart from the three marks and holds no NUL.
bool IsValidWholeText(std::string_view text) noexcept;

// Attribute `attr` (>= 1) of a whole text, without copying; "" when absent.
std::string_view AttributeView(std::string_view whole, int attr) noexcept;

}  // namespace kelmor
