#pragma once
// Reads the leading integer of a text the way the recorded file names and the
// page's position fields have always been read.

#include <cstdint>
#include <string_view>

namespace vek::base {

// Skips leading white space, takes an optional sign and then decimal digits
// up to the first other character. 0 when no digit follows; clamped to the
// 32-bit signed range.
std::int32_t int_value(std::string_view text);

// 32-bit signed addition that wraps around instead of overflowing.
std::int32_t wrapping_add(std::int32_t a, std::int32_t b);

// 32-bit signed multiplication that wraps around instead of overflowing.
std::int32_t wrapping_mul(std::int32_t a, std::int32_t b);

}  // namespace vek::base
