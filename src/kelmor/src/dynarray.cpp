#include "kelmor/dynarray.h"

#include <utility>

#include "utf8.h"

namespace kelmor {
namespace {

constexpr auto npos = std::string_view::npos;

// [begin, end) of field `index` (from 1) of `s` split at `mark`; {npos, npos}
// when absent.
std::pair<std::size_t, std::size_t> FindField(std::string_view s, char mark, int index) {
    std::size_t begin = 0;
    for (int i = 1; i < index; ++i) {
        const std::size_t next = s.find(mark, begin);
        if (next == npos) return {npos, npos};
        begin = next + 1;
    }
    const std::size_t end = s.find(mark, begin);
    return {begin, end == npos ? s.size() : end};
}

std::string_view Field(std::string_view s, char mark, int index) {
    const auto [begin, end] = FindField(s, mark, index);
    return begin == npos ? std::string_view{} : s.substr(begin, end - begin);
}

// Like FindField, but first pads `s` with marks so that the field exists;
// index -1 appends a new field (an empty `s` is taken as its own first field).
std::pair<std::size_t, std::size_t> EnsureField(std::string& s, char mark, int index) {
    if (index == -1) {
        if (s.empty()) return {0, 0};
        s += mark;
        return {s.size(), s.size()};
    }
    int fields = 1;
    for (char c : s) fields += c == mark;
    if (fields < index) s.append(static_cast<std::size_t>(index - fields), mark);
    return FindField(s, mark, index);
}

std::string Position(int attr, int value, int sub) {
    std::string p = "attribute " + std::to_string(attr);
    if (value != 0) p += ", value " + std::to_string(value);
    if (sub != 0) p += ", sub-value " + std::to_string(sub);
    return p;
}

std::vector<std::string> Split(std::string_view s, char mark) {
    std::vector<std::string> parts;
    std::size_t begin = 0;
    while (true) {
        const std::size_t end = s.find(mark, begin);
        parts.emplace_back(s.substr(begin, end == npos ? npos : end - begin));
        if (end == npos) break;
        begin = end + 1;
    }
    return parts;
}

}  // namespace

void CheckStorable(std::string_view text, std::string_view what) {
    const auto check = detail::CheckText(text, /*allowMarks=*/false);
    if (check.problem != detail::TextProblem::None) {
        throw DelimiterError("kelmor: cannot store " + std::string(what) + ": the text contains " +
                             detail::Describe(check));
    }
}

bool IsStorable(std::string_view text) noexcept {
    return detail::CheckText(text, /*allowMarks=*/false).problem == detail::TextProblem::None;
}

bool IsValidWholeText(std::string_view text) noexcept {
    return detail::CheckText(text, /*allowMarks=*/true).problem == detail::TextProblem::None;
}

std::string_view AttributeView(std::string_view whole, int attr) noexcept {
    if (attr < 1) return {};
    return Field(whole, kAttributeMark, attr);
}

DynArray::DynArray(std::string_view whole) {
    SetText(whole);
}

std::string DynArray::Get(int attr, int value, int sub) const {
    if (attr < 0 || value < 0 || sub < 0) {
        throw PositionError("kelmor: cannot read " + Position(attr, value, sub) +
                            ": positions start at 1 (0 = all)");
    }
    if (attr == 0 || attr > AttributeCount()) return {};
    const std::string_view a = attrs_[static_cast<std::size_t>(attr - 1)];
    if (value == 0) return std::string(a);
    const std::string_view v = Field(a, kValueMark, value);
    if (sub == 0) return std::string(v);
    return std::string(Field(v, kSubValueMark, sub));
}

void DynArray::Set(int attr, int value, int sub, std::string_view text) {
    if (attr < 1 || value < -1 || sub < -1 || (value == 0 && sub != 0)) {
        throw PositionError("kelmor: cannot write " + Position(attr, value, sub) +
                            ": attributes start at 1, values and sub-values at 1 (0 = all, "
                            "-1 = append; a sub-value needs a value)");
    }
    CheckStorable(text, Position(attr, value, sub));
    if (attr > AttributeCount()) {
        if (text.empty()) return;  // already empty: nothing to extend
        attrs_.resize(static_cast<std::size_t>(attr));
    }
    std::string& a = attrs_[static_cast<std::size_t>(attr - 1)];
    if (value == 0) {
        a.assign(text);
    } else {
        const auto [vb, ve] = EnsureField(a, kValueMark, value);
        if (sub == 0) {
            a.replace(vb, ve - vb, text);
        } else {
            std::string v = a.substr(vb, ve - vb);
            const auto [sb, se] = EnsureField(v, kSubValueMark, sub);
            v.replace(sb, se - sb, text);
            a.replace(vb, ve - vb, v);
        }
    }
    Trim();
}

void DynArray::SetValues(int attr, const std::vector<std::string>& values) {
    if (attr < 1) {
        throw PositionError("kelmor: cannot write attribute " + std::to_string(attr) +
                            ": attributes start at 1");
    }
    std::string joined;
    for (std::size_t i = 0; i < values.size(); ++i) {
        CheckStorable(values[i], Position(attr, static_cast<int>(i + 1), 0));
        if (i > 0) joined += kValueMark;
        joined += values[i];
    }
    if (attr > AttributeCount()) {
        if (joined.empty()) return;
        attrs_.resize(static_cast<std::size_t>(attr));
    }
    attrs_[static_cast<std::size_t>(attr - 1)] = std::move(joined);
    Trim();
}

std::vector<std::string> DynArray::Values(int attr) const {
    const std::string a = Get(attr);
    if (a.empty()) return {};
    return Split(a, kValueMark);
}

int DynArray::DCount(int attr) const {
    if (attr < 1) {
        throw PositionError("kelmor: DCount of attribute " + std::to_string(attr) +
                            ": attributes start at 1");
    }
    if (attr > AttributeCount()) return 0;
    const std::string& a = attrs_[static_cast<std::size_t>(attr - 1)];
    if (a.empty()) return 0;
    int count = 1;
    for (char c : a) count += c == kValueMark;
    return count;
}

std::string DynArray::Text() const {
    std::string whole;
    for (std::size_t i = 0; i < attrs_.size(); ++i) {
        if (i > 0) whole += kAttributeMark;
        whole += attrs_[i];
    }
    return whole;
}

void DynArray::SetText(std::string_view whole) {
    const auto check = detail::CheckText(whole, /*allowMarks=*/true);
    if (check.problem != detail::TextProblem::None) {
        throw DelimiterError("kelmor: cannot take a whole text that contains " +
                             detail::Describe(check));
    }
    if (whole.empty()) {
        attrs_.clear();
        return;
    }
    attrs_ = Split(whole, kAttributeMark);
    Trim();
}

void DynArray::Trim() {
    while (!attrs_.empty() && attrs_.back().empty()) attrs_.pop_back();
}

}  // namespace kelmor
