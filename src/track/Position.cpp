#include "track/Position.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <limits>

namespace vek::track {
namespace {

constexpr std::int32_t kPerDegree = 360000;  // hundredths of an arc-second per degree
constexpr std::int32_t kPerMinute = 6000;    // hundredths of an arc-second per minute
constexpr std::int32_t kPerSecond = 100;

// The position in hundredths of an arc-second, halves away from zero. A value
// outside 32 bits (only a corrupt record gives one) becomes INT32_MIN, the
// result x86 conversions give, instead of undefined behaviour.
std::int32_t hundredths(double degrees) {
  const double h = std::round(degrees * 3600 * 100);
  constexpr double kLow = std::numeric_limits<std::int32_t>::min();
  constexpr double kHigh = std::numeric_limits<std::int32_t>::max();
  if (!(h >= kLow && h <= kHigh)) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(h);
}

void append_int(std::string& out, std::int32_t value) {
  char digits[12];
  const auto end = std::to_chars(std::begin(digits), std::end(digits), value).ptr;
  out.append(std::begin(digits), end);
}

// "%i[ %i' %i.%.2d:" of the four parts, without printf: integers print the
// same in every locale, and this runs for every sample.
void append_half(std::string& out, double degrees) {
  const std::int32_t h = hundredths(degrees);
  const std::int32_t whole = h / kPerDegree;
  const std::int32_t rest = std::abs(h - whole * kPerDegree);
  append_int(out, whole);
  out += "[ ";
  append_int(out, rest / kPerMinute);
  out += "' ";
  append_int(out, (rest % kPerMinute) / kPerSecond);
  out += '.';
  const std::int32_t fraction = rest % kPerSecond;
  out += static_cast<char>('0' + fraction / 10);
  out += static_cast<char>('0' + fraction % 10);
  out += ':';
}

}  // namespace

void append_position(std::string& out, double latitude, double longitude) {
  append_half(out, latitude);
  out += ',';
  append_half(out, longitude);
}

std::string nicePosition(double latitude, double longitude) {
  std::string label;
  append_position(label, latitude, longitude);
  return label;
}

}  // namespace vek::track
