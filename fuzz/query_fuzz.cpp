// Query texts and column lists on any bytes: a query runs or fails with the
// bad-query or no-such-file number, never anything else; rows come back in
// the order the grammar promises.

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

#include "kelmor/database.h"
#include "kelmor/query.h"
#include "memory_backend.h"

namespace {

std::shared_ptr<kelmor::Database> Fixture() {
    auto db = std::make_shared<kelmor::Database>(std::make_shared<fuzz::MemoryBackend>());
    db->CreateFile("SECTEUR");
    const kelmor::DbFile file = db->OpenFile("SECTEUR");
    const char* const labels[] = {"NORD", "ÉTANG", "etoile", "Zoé", "", "L'HAŸ", "ÎLE", "NOËL"};
    int n = 0;
    for (const char* label : labels) {
        kelmor::DbRecord r = file.NewRecord("0" + std::to_string(10 + n) + (n % 2 ? "]" : "'"));
        r.Set(1, label);
        r.Set(2, 2, std::to_string(n % 3));
        r.DBWrite();
        ++n;
    }
    return db;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::shared_ptr<kelmor::Database> db = Fixture();
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = input.find('\n');
    const std::string query = input.substr(0, cut);
    const std::string columns = cut == std::string::npos ? "0 1" : input.substr(cut + 1);
    try {
        (void)kelmor::ParseQuery(query);
    } catch (const kelmor::Error& e) {
        if (e.number() != kelmor::kBadQuery) std::abort();
    }
    try {
        (void)kelmor::ParseColumns(columns);
    } catch (const kelmor::Error& e) {
        if (e.number() != kelmor::kBadQuery) std::abort();
    }
    try {
        kelmor::DynArray request;
        request.Set(1, query);
        request.Set(3, columns);
        std::int32_t count = -1;
        const kelmor::ResultList rows = db->Query(request.Text(), "", count);
        if (count != rows.DCount()) std::abort();
    } catch (const kelmor::Error& e) {
        if (e.number() != kelmor::kBadQuery && e.number() != kelmor::kNoSuchFile &&
            e.number() != kelmor::kBadValue) {
            std::cerr << e.what() << "\n";
            std::abort();
        }
    }
    return 0;
}
