#pragma once
// Codes of medical centres and antennas: three digits, "001" to "999".

#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "kelmor/database.h"

namespace zonitra::centremed {

inline constexpr int kCodeLength = 3;
inline constexpr int kLastCode = 999;

// The three-digit code of n ("007" for 7).
std::string CodeOf(int n);

// The first code from "001" such that prefix + code names no record of
// `file`: codes in `known` (keys already listed) are skipped unread, every
// other candidate is probed with a read, so that a record added meanwhile by
// another workstation is never overwritten. Nothing when all 999 are taken.
// A read that fails for another reason than a missing record throws it.
std::optional<std::string> FirstFreeCode(const kelmor::DbFile& file, std::string_view prefix,
                                         const std::set<std::string>& known);

}  // namespace zonitra::centremed
