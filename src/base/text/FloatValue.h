#pragma once
// Reads the leading number of a text the way the page's parseFloat does, so
// that both sides take the same value from the same track or settings text.

#include <string_view>

namespace vek::base {

// Skips leading white space, takes an optional sign and a decimal number
// (fraction and exponent allowed) up to the first other character. NaN when
// no number follows or it is not finite (as the page's isFinite checks do).
double float_value(std::string_view text);

}  // namespace vek::base
