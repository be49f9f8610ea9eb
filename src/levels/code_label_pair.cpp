#include "levels/code_label_pair.h"

#include <string>

#include "control/shared_state.h"
#include "kelmor/dynarray.h"
#include "levels/fields.h"

namespace zonitra::levels {

void CodeLabelPair::CompleteOnEnter(std::int16_t KeyAscii) const {
    if (KeyAscii == 13) Complete();
}

void CodeLabelPair::Complete() const {
    const QString text = code_.Text();
    if (!text.isEmpty() && text.size() < layout_.codeLength) {
        code_.SetText(PadWithZeros(text, layout_.codeLength));
    }
}

void CodeLabelPair::EmptyCodeWithLabel() const {
    if (label_.Text().isEmpty()) code_.SetText({});
}

void CodeLabelPair::ShowCodeOfEntry(const std::optional<kelmor::ResultList>& list,
                                    int index) const {
    if (label_.Text().isEmpty()) return;
    ShowCodeOfRow(list, index + 1);
}

void CodeLabelPair::ShowCodeOfRow(const std::optional<kelmor::ResultList>& list, int row) const {
    code_.SetText(CodeOf(ListKey(list, row, layout_.file)));
}

void CodeLabelPair::UpperCaseLabel() const {
    label_.SetText(label_.Text().toUpper());
}

QString CodeLabelPair::CodeOf(std::string_view key) const {
    if (layout_.parentLength == 0) return Q(key);
    return Mid(key, layout_.parentLength + 1, layout_.codeLength);
}

std::int32_t CodeLabelPair::Read(ErrorsResumed& steps, const std::optional<kelmor::DbFile>& file,
                                 const QString& key, std::optional<kelmor::DbRecord>& slot) const {
    slot.reset();
    const std::string fileName(layout_.file);
    return steps.Probe([&] { slot = OpenedFile(file, fileName.c_str()).ReadRecord(S(key)); });
}

int CodeLabelPair::Select(const kelmor::Database& database, std::string_view query,
                          std::optional<kelmor::ResultList>& list) const {
    kelmor::DynArray request;
    request.Set(1, query);
    request.Set(2, layout_.file);
    request.Set(3, "0 1");
    std::int32_t count = 0;  // the list carries its own count
    list = database.Query(request.Text(), "", count);
    return list->DCount();
}

void CodeLabelPair::Fill(const kelmor::Database& database, std::string_view query,
                         std::optional<kelmor::ResultList>& list, std::int32_t* counter) const {
    const int rows = Select(database, query, list);
    if (counter) *counter = rows;
    label_.Clear();
    // The entries read the list's rows when shown: a list of the whole file
    // (every neighbourhood after a creation) is never copied.
    label_.SetEntries(rows, [rowsOf = *list](int index) { return Q(rowsOf.Get(index + 1, 2)); });
}

void CodeLabelPair::Empty() const {
    code_.SetText({});
    label_.SetText({});
    label_.Clear();
}

}  // namespace zonitra::levels
