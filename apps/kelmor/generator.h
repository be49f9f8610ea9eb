#pragma once
// Scale databases for benchmarks: S sectors x U sub-sectors x N neighbourhoods
// (up to 999 x 99 x 99), with medical centres and antennas, legal entities, the
// COMPTEUR record "999" and the rights of one user. Deterministic: the same
// shape gives the same records, byte for byte.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kelmor_cli {

struct Shape {
    int sectors = 999;           // 1..999
    int subSectors = 20;         // per sector, 1..99
    int neighbourhoods = 20;     // per sub-sector, 1..99
    int centres = 100;           // medical centres, 1..999
    int antennas = 10;           // per centre, 1..999
    int entities = 20;           // legal entities (ASSOCIATION), 1..999
    std::string user = "BENCH";  // gets access level 2 to SECTEUR and CENTREMEDICAL
};

// Throws std::invalid_argument naming the first count out of its range.
void CheckShape(const Shape& shape);
std::uint64_t RecordCount(const Shape& shape);

// Calls `emit` for every record, each file's records in key order.
using Emit =
    std::function<void(std::string_view file, std::string_view key, std::string_view whole)>;
void Generate(const Shape& shape, const Emit& emit);

}  // namespace kelmor_cli
