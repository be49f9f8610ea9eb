#pragma once
// Small pieces every level's handlers share: texts between the widgets and the
// records, code padding, key slices, the current records, the operator's
// message boxes and the probing read.

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "forms/textbox.h"
#include "kelmor/database.h"

namespace zonitra::levels {

inline constexpr const char* kMessageTitle = "Message ORVANIS";

// Shows an operator message titled "Message ORVANIS"; style as in forms/msgbox.h.
int Message(const QString& text, int style);

inline QString Q(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
inline std::string S(const QString& text) {
    return text.toStdString();
}

// "0" repeated (width - length) times, then text; text itself when it is not
// shorter than width.
QString PadWithZeros(const QString& text, int width);
// Pads the box's text when it is not empty and shorter than width; the new
// text raises the box's Change (which looks the code up).
void PadCode(forms::TextBox& box, int width);
// Characters first to first + count - 1 (from 1) of a key, counted in
// characters, not bytes: typed codes may hold accented letters.
QString Mid(std::string_view key, int first, int count);

// The current record held in `slot`; std::logic_error naming `file` when the
// slot holds none (the lookup that should have set it failed).
kelmor::DbRecord& Current(std::optional<kelmor::DbRecord>& slot, const char* file);

// Column 1 (the key) of row `row` of a level's list; std::logic_error naming
// `file` when there is no list.
std::string ListKey(const std::optional<kelmor::ResultList>& list, int row, const char* file);

// Sets attribute `attr` of `record` to `text` and stores the record, only when
// the attribute differs from the text (exact comparison). Returns whether it
// wrote.
bool WriteIfChanged(kelmor::DbRecord& record, int attr, const QString& text);

// The probing read of a lookup, with errors resumed: `slot` is set to none,
// then to the record of `key` when the read succeeds. Returns the read's error
// number: 0, kelmor::kNotFound, or the number of any other failure (the file
// not being open included), which goes no further.
std::int32_t ReadResumed(std::string_view where, const std::optional<kelmor::DbFile>& file,
                         const char* fileName, std::string_view key,
                         std::optional<kelmor::DbRecord>& slot);

}  // namespace zonitra::levels
