#include "levels/fields.h"

#include <stdexcept>

#include "control/store.h"

namespace zonitra::levels {

QString PadWithZeros(const QString& text, int width) {
    if (text.size() >= width) return text;
    return QString(width - text.size(), u'0') + text;
}

QString Mid(std::string_view key, int first, int count) {
    return Q(key).mid(first - 1, count);
}

kelmor::DbRecord& Current(std::optional<kelmor::DbRecord>& slot, std::string_view file) {
    if (!slot) {
        throw std::logic_error("no current " + std::string(file) +
                               " record (its lookup did not succeed)");
    }
    return *slot;
}

std::string ListKey(const std::optional<kelmor::ResultList>& list, int row, std::string_view file) {
    if (!list) throw std::logic_error("no list of " + std::string(file) + " records");
    return list->Get(row, 1);
}

Written WriteIfChanged(kelmor::DbRecord& record, int attr, const QString& text, const char* where) {
    const std::string value = S(text);
    if (record.Get(attr) == value) return Written::kNothing;
    const bool stored =
        StoreRecord(record, where, [&](kelmor::DbRecord& r) { r.Set(attr, value); });
    return stored ? Written::kStored : Written::kFailed;
}

Written RenameIfChanged(kelmor::DbRecord& record, int attr, const QString& text,
                        const std::optional<kelmor::ResultList>& list, const char* where) {
    if (record.Get(attr) != S(text) && list && list->DCount() > 0) list->Get(1, 1);
    return WriteIfChanged(record, attr, text, where);
}

}  // namespace zonitra::levels
