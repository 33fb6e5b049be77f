#pragma once
// printf-style appending with "C" numbers (a point as decimal separator)
// whatever the process's locale: the app's toolkit sets LC_NUMERIC from the
// environment, so formatting must not depend on it.

#include <string>

namespace vek::track {

#if defined(__GNUC__)
#define VEK_PRINTF(fmt, first) __attribute__((format(printf, fmt, first)))
#else
#define VEK_PRINTF(fmt, first)
#endif

void appendf(std::string& out, const char* format, ...) VEK_PRINTF(2, 3);
std::string formatted(const char* format, ...) VEK_PRINTF(1, 2);

// printf's "%.<precision>f" in the "C" locale, digit for digit (both round
// the exact binary value), at a fraction of printf's cost: the track text
// formats several numbers per sample.
void append_fixed(std::string& out, double value, int precision);
// printf's "%0<width>u".
void append_zero_padded(std::string& out, unsigned value, int width);

}  // namespace vek::track
