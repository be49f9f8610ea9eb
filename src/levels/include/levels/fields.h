#pragma once
// Small pieces the levels share: texts between the widgets and the records,
// code padding, key slices, the current records and the writes of a field
// that was left.

#include <QString>

#include <optional>
#include <string>
#include <string_view>

#include "kelmor/database.h"

namespace zonitra::levels {

inline QString Q(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
inline std::string S(const QString& text) {
    return text.toStdString();
}

// "0" repeated (width - length) times, then text; text itself when it is not
// shorter than width.
QString PadWithZeros(const QString& text, int width);
// Characters first to first + count - 1 (from 1) of a key, counted in
// characters, not bytes: typed codes may hold accented letters.
QString Mid(std::string_view key, int first, int count);

// The current record held in `slot`; std::logic_error naming `file` when the
// slot holds none (the lookup that should have set it failed).
kelmor::DbRecord& Current(std::optional<kelmor::DbRecord>& slot, std::string_view file);

// Column 1 (the key) of row `row` of a level's list; std::logic_error naming
// `file` when there is no list.
std::string ListKey(const std::optional<kelmor::ResultList>& list, int row, std::string_view file);

// What became of a field's write.
enum class Written { kNothing, kStored, kFailed };

// Sets attribute `attr` of `record` to `text` and stores the record, only when
// the attribute differs from the text (exact comparison). A failed write is
// told to the operator (control/store.h) and leaves the record holding what is
// stored, for the level to show again; `where` names the handler in the log.
Written WriteIfChanged(kelmor::DbRecord& record, int attr, const QString& text, const char* where);

// WriteIfChanged for the label of a record that `list` lists. The list's rows
// are read before the write, so that its entries keep the label as listed until
// the list is filled again: a lazy list reads its rows when first asked.
Written RenameIfChanged(kelmor::DbRecord& record, int attr, const QString& text,
                        const std::optional<kelmor::ResultList>& list, const char* where);

}  // namespace zonitra::levels
