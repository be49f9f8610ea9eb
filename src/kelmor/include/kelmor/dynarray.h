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
// - An absent position reads as "". Index 0 for a value or sub-value means
//   "the whole attribute" / "the whole value", with its inner marks.
// - Reading value 1 of an attribute that holds one value gives that value;
//   reading value 3 of a one-value attribute gives "".
// - Writing beyond the end extends with empty positions.
// - Writing "" to an attribute clears all its values (the attribute is then
//   empty and DCount gives 0).
// - DCount(attribute) is the number of values: 0 for an empty attribute,
//   otherwise the number of value marks + 1.
// - Trailing empty attributes are not significant: the whole text never ends
//   with an attribute mark, so two arrays with the same content compare equal.
// - Every setter that takes one position's text rejects the marks (and any
//   byte that is not valid UTF-8) with DelimiterError; nothing is stored then.
//   SetText takes a whole text, marks included.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kelmor {

inline constexpr char kAttributeMark = '\xFE';
inline constexpr char kValueMark = '\xFD';
inline constexpr char kSubValueMark = '\xFC';

// Thrown when a value to be stored contains a mark or is not valid UTF-8.
class DelimiterError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// Thrown for a position below 1 (attribute) or below 0 (value, sub-value).
class PositionError : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

class DynArray {
public:
    DynArray() = default;
    // Parses a whole text (as returned by Text()).
    explicit DynArray(std::string_view whole);

    // Reads attribute `attr`, value `value`, sub-value `sub` (0 = all of it).
    std::string Get(int attr, int value = 0, int sub = 0) const;
    std::string operator()(int attr, int value = 0, int sub = 0) const {
        return Get(attr, value, sub);
    }

    // Writes one position. Set(attr, "") clears the attribute.
    void Set(int attr, std::string_view text);
    void Set(int attr, int value, std::string_view text);
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

    friend bool operator==(const DynArray&, const DynArray&) = default;

private:
    void Trim();
    // Each attribute kept as its own text, inner value/sub-value marks included.
    std::vector<std::string> attrs_;
};

// Throws DelimiterError naming `what` when `text` cannot be one stored value.
void CheckStorable(std::string_view text, std::string_view what);

}  // namespace kelmor
