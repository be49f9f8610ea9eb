#include "levels/list_query.h"

#include <limits>
#include <stdexcept>
#include <string>

#include "kelmor/dynarray.h"

namespace zonitra::levels {

kelmor::ResultList QueryKeyAndLabel(const kelmor::Database& database, std::string_view query,
                                    std::string_view file) {
    kelmor::DynArray request;
    request.Set(1, query);
    request.Set(2, file);
    request.Set(3, "0 1");
    std::int32_t count = 0;  // the list carries its own count
    return database.Query(request.Text(), "", count);
}

std::int16_t RowCount(const kelmor::ResultList& list, const char* what) {
    const int rows = list.DCount();
    if (rows > std::numeric_limits<std::int16_t>::max()) {
        throw std::overflow_error(std::string(what) + ": " + std::to_string(rows) +
                                  " rows do not fit the list's 16-bit counter");
    }
    return static_cast<std::int16_t>(rows);
}

void FillLabels(forms::ComboBox& combo, const kelmor::ResultList& list, int rows) {
    combo.Clear();
    for (int r = 1; r <= rows; ++r) combo.AddItem(QString::fromStdString(list.Get(r, 2)));
}

}  // namespace zonitra::levels
