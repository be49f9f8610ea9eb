#pragma once
// Query texts.
//
// Grammar (keywords in any case; words separated by spaces):
//
//   query     := verb file clause*
//   verb      := "SSELECT" | "SELECT"
//   file      := a word: the name of the file to list
//   clause    := selection | sort                (in any order)
//   selection := "=" quoted                      (at most one)
//   quoted    := "'" text "'" | '"' text '"'
//                (the closing quote is the first one followed by a space or the
//                end of the query, so "= 'L'HAY]' PAR 1" selects keys starting
//                with L'HAY; a selection text cannot end with its own quote)
//   sort      := "PAR" number                    (number: an attribute, 1 to 9999)
//
// The quoted text selects keys:
//   'abc'    the key abc only
//   'abc]'   keys that start with abc          a key range: O(log n + k)
//   '[abc'   keys that end with abc            visits every key of the file
//   '[abc]'  keys that contain abc             visits every key of the file
//
// Order of the rows: by the PAR attributes in the order given, each compared
// as a French reader expects (ICU collation for French: accented letters sort
// with their base letter, case after accents); a multi-valued attribute
// compares value by value (and sub-value by sub-value), fewer values first.
// Ties, and queries without PAR, are in byte order of the keys. SELECT and
// SSELECT order the same way (a stored file has no other order worth keeping).
// Only the selected rows are sorted; a whole file PAR 1 is not sorted at all
// but read in the order of its stored label sort keys (LabelSortKey), which
// is the same order.
//
// Columns: a list of attribute numbers separated by spaces, 0 meaning the key:
// "0 1" gives the key then attribute 1; "1 " gives attribute 1; an empty list
// gives the key alone. A column holds the whole attribute, value marks
// included.
//
// Anything else is Error(kBadQuery) naming what is wrong and where. Query texts
// never reach the storage as text: the backend receives a file name and a key
// selection, which it passes as bound parameters.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "kelmor/backend.h"
#include "kelmor/database.h"

namespace kelmor {

struct ParsedQuery {
    bool sortedVerb = true;  // SSELECT (true) or SELECT
    std::string file;
    KeySelection selection;
    std::vector<int> sortAttributes;  // PAR n, in order

    friend bool operator==(const ParsedQuery&, const ParsedQuery&) = default;
};

// Throws Error(kBadQuery) naming what is wrong.
ParsedQuery ParseQuery(std::string_view text);
std::vector<int> ParseColumns(std::string_view text);

// Runs a parsed query on a backend; throws Error(kNoSuchFile) for a missing file.
// A query of a whole file, in key order or PAR 1 alone, gives a lazy list
// (its count from the file's record count, its rows paged from the backend's
// ordered index, which the list shares); any other is read and sorted at once.
ResultList RunQuery(const std::shared_ptr<Backend>& backend, const ParsedQuery& query,
                    const std::vector<int>& columns);

}  // namespace kelmor
