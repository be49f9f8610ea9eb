#pragma once
// The approvals a sector holds from legal entities. They live in three
// parallel multivalued attributes of its SECTEUR record: value i of attribute
// 17 (the entity's code, an ASSOCIATION key), of 18 (the approval date in
// stored form) and of 19 (the approval number) together form approval i.
//
// Lists of different lengths (a record edited by other means) are read as the
// three columns of one table as long as the longest list, a missing cell
// reading "". So nothing is ever lost or re-paired:
// - Find looks for a code among the entity codes only; a row whose code is
//   empty (a date or number left alone) is never found;
// - a new approval goes after the last row, so that a date or number without a
//   code is neither paired with it nor overwritten;
// - Remove takes the row out of all three lists, the later rows moving up;
// - WriteTo leaves the three lists the same length, the short ones padded
//   with "", and touches no other attribute.
// Cells are kept exactly as stored, sub-value marks included.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "kelmor/database.h"
#include "kelmor/dynarray.h"

namespace zonitra {

namespace secteur_approvals {
inline constexpr int kEntity = 17;
inline constexpr int kDate = 18;
inline constexpr int kNumber = 19;
}  // namespace secteur_approvals

class Approvals {
public:
    // The approvals of `record` as they are now (a copy: changes reach the
    // record only through WriteTo).
    explicit Approvals(const kelmor::DynArray& record);

    int Rows() const { return rows_; }
    // The last row (from 1) whose entity code is `code`, 0 when none; with
    // duplicate codes the last one wins.
    int Find(std::string_view code) const;

    // Cells of row `row` (from 1); "" beyond the end of a shorter list.
    const std::string& Entity(int row) const { return Cell(0, row); }
    const std::string& Date(int row) const { return Cell(1, row); }
    const std::string& Number(int row) const { return Cell(2, row); }

    // Writes the three cells of row `row`, 1 to Rows() + 1 (the latter
    // appends). Each text is checked first (kelmor::CheckStorable): a text
    // holding a mark, a NUL or invalid UTF-8 throws kelmor::DelimiterError
    // naming its attribute, and nothing has changed then. Throws
    // std::out_of_range for another row.
    void Put(int row, std::string_view entity, std::string_view date, std::string_view number);
    // Takes row `row` (1 to Rows()) out; std::out_of_range otherwise.
    void Remove(int row);

    // Replaces attributes 17, 18 and 19 of `record` by the table; the other
    // attributes and the key are left as they are. Nothing is stored.
    void WriteTo(kelmor::DynArray& record) const;

private:
    const std::string& Cell(int column, int row) const;

    // Entity codes, dates, numbers; each padded to rows_.
    std::array<std::vector<std::string>, 3> columns_;
    int rows_ = 0;
};

}  // namespace zonitra
