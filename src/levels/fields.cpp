#include "levels/fields.h"

#include <stdexcept>

#include "control/shared_state.h"
#include "forms/uiservice.h"
#include "levels/resume.h"

namespace zonitra::levels {

int Message(const QString& text, int style) {
    return forms::Ui().MsgBox(text, style, QString::fromLatin1(kMessageTitle));
}

QString PadWithZeros(const QString& text, int width) {
    if (text.size() >= width) return text;
    return QString(width - text.size(), u'0') + text;
}

void PadCode(forms::TextBox& box, int width) {
    const QString text = box.Text();
    if (!text.isEmpty() && text.size() < width) box.SetText(PadWithZeros(text, width));
}

QString Mid(std::string_view key, int first, int count) {
    return Q(key).mid(first - 1, count);
}

kelmor::DbRecord& Current(std::optional<kelmor::DbRecord>& slot, const char* file) {
    if (!slot) {
        throw std::logic_error(std::string("no current ") + file +
                               " record (its lookup did not succeed)");
    }
    return *slot;
}

std::string ListKey(const std::optional<kelmor::ResultList>& list, int row, const char* file) {
    if (!list) throw std::logic_error(std::string("no list of ") + file + " records");
    return list->Get(row, 1);
}

bool WriteIfChanged(kelmor::DbRecord& record, int attr, const QString& text) {
    const std::string value = S(text);
    if (record.Get(attr) == value) return false;
    record.Set(attr, value);
    record.DBWrite();
    return true;
}

std::int32_t ReadResumed(std::string_view where, const std::optional<kelmor::DbFile>& file,
                         const char* fileName, std::string_view key,
                         std::optional<kelmor::DbRecord>& slot) {
    slot.reset();
    return Resumed(where, [&] { slot = OpenedFile(file, fileName).ReadRecord(key); });
}

}  // namespace zonitra::levels
