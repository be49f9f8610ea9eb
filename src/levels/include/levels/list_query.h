#pragma once
// The list query every level runs to fill its drop-down list: one row per
// record, the key in column 1 and the label (attribute 1) in column 2, in the
// order the entries are to be listed. Entry k of the list is row k + 1.

#include <cstdint>
#include <string_view>

#include "forms/combobox.h"
#include "kelmor/database.h"

namespace zonitra::levels {

// Sends the request (query text, file name, columns "0 1") to the database.
kelmor::ResultList QueryKeyAndLabel(const kelmor::Database& database, std::string_view query,
                                    std::string_view file);

// The row count as the 16-bit counter the levels keep; std::overflow_error
// naming `what` when the list is longer than such a counter can hold.
std::int16_t RowCount(const kelmor::ResultList& list, const char* what);

// Removes every entry of `combo`, then appends column 2 of rows 1 to `rows`.
void FillLabels(forms::ComboBox& combo, const kelmor::ResultList& list, int rows);

}  // namespace zonitra::levels
