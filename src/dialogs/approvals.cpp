#include "dialogs/approvals.h"

#include <algorithm>
#include <stdexcept>

namespace zonitra {
namespace {

constexpr std::array<int, 3> kAttributes = {secteur_approvals::kEntity, secteur_approvals::kDate,
                                            secteur_approvals::kNumber};

// `text` cut at every `mark`; an empty text has no part.
std::vector<std::string> Split(std::string_view text, char mark) {
    std::vector<std::string> parts;
    if (text.empty()) return parts;
    for (std::size_t begin = 0;;) {
        const std::size_t end = text.find(mark, begin);
        parts.emplace_back(text.substr(begin, end == std::string_view::npos ? end : end - begin));
        if (end == std::string_view::npos) return parts;
        begin = end + 1;
    }
}

std::string Join(const std::vector<std::string>& parts, char mark) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) text += mark;
        text += parts[i];
    }
    return text;
}

std::string RowError(const char* what, int row, int rows) {
    return std::string("approvals: cannot ") + what + " row " + std::to_string(row) + " of " +
           std::to_string(rows);
}

}  // namespace

Approvals::Approvals(const kelmor::DynArray& record) {
    for (std::size_t c = 0; c < kAttributes.size(); ++c) {
        // The whole attribute: a value keeps its sub-value marks.
        columns_[c] = Split(record.Get(kAttributes[c]), kelmor::kValueMark);
        rows_ = std::max(rows_, static_cast<int>(columns_[c].size()));
    }
    for (auto& column : columns_) column.resize(static_cast<std::size_t>(rows_));
}

int Approvals::Find(std::string_view code) const {
    const auto& codes = columns_[0];
    for (int row = rows_; row >= 1; --row) {
        const std::string& entity = codes[static_cast<std::size_t>(row - 1)];
        if (!entity.empty() && entity == code) return row;
    }
    return 0;
}

const std::string& Approvals::Cell(int column, int row) const {
    static const std::string kEmpty;
    if (row < 1 || row > rows_) return kEmpty;
    return columns_[static_cast<std::size_t>(column)][static_cast<std::size_t>(row - 1)];
}

void Approvals::Put(int row, std::string_view entity, std::string_view date,
                    std::string_view number) {
    if (row < 1 || row > rows_ + 1) throw std::out_of_range(RowError("write", row, rows_));
    const std::array<std::string_view, 3> cells = {entity, date, number};
    for (std::size_t c = 0; c < cells.size(); ++c) {
        kelmor::CheckStorable(cells[c], "attribute " + std::to_string(kAttributes[c]) + ", value " +
                                            std::to_string(row));
    }
    if (row > rows_) {
        rows_ = row;
        for (auto& column : columns_) column.resize(static_cast<std::size_t>(rows_));
    }
    for (std::size_t c = 0; c < cells.size(); ++c)
        columns_[c][static_cast<std::size_t>(row - 1)] = std::string(cells[c]);
}

void Approvals::Remove(int row) {
    if (row < 1 || row > rows_) throw std::out_of_range(RowError("remove", row, rows_));
    for (auto& column : columns_) column.erase(column.begin() + (row - 1));
    --rows_;
}

void Approvals::WriteTo(kelmor::DynArray& record) const {
    // Whole attributes hold value marks, which only a whole text may carry.
    std::vector<std::string> attributes = Split(record.Text(), kelmor::kAttributeMark);
    if (attributes.size() < static_cast<std::size_t>(secteur_approvals::kNumber))
        attributes.resize(static_cast<std::size_t>(secteur_approvals::kNumber));
    for (std::size_t c = 0; c < kAttributes.size(); ++c) {
        attributes[static_cast<std::size_t>(kAttributes[c] - 1)] =
            Join(columns_[c], kelmor::kValueMark);
    }
    record.SetText(Join(attributes, kelmor::kAttributeMark));
}

}  // namespace zonitra
