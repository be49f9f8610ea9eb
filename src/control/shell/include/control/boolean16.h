#pragma once
// The component's Booleans: 16-bit values, True being -1.

#include <cstdint>

namespace zonitra {

using Boolean16 = std::int16_t;
inline constexpr Boolean16 kTrue = -1;
inline constexpr Boolean16 kFalse = 0;

}  // namespace zonitra
