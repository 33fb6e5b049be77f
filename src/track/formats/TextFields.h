#pragma once
// Strict readers of the numbers that camera text carries: fixed-width digit
// runs and decimal fields. Anything but the expected characters is refused.

#include "track/ByteReader.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace vek::track::formats {

// The bytes seen as characters; no copy.
std::string_view as_text(Bytes bytes);

// The text up to its first NUL.
std::string_view until_nul(std::string_view text);

// `count` ASCII digits at `at` as a number; nothing when any is not a digit or
// the run does not fit. At most 18 digits, so the value always fits.
std::optional<long long> fixed_digits(std::string_view text, std::size_t at, std::size_t count);

// A whole field as a decimal number ("-12.5", "+3", "0.25"); no exponent, no blanks.
std::optional<double> decimal(std::string_view field);

// The text without leading and trailing spaces, tabs, CR and LF.
std::string_view trimmed(std::string_view text);

}  // namespace vek::track::formats
