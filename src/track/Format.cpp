#include "track/Format.h"

#include <locale.h>
#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>

namespace vek::track {
namespace {

constexpr std::size_t kStackBuffer = 512;  // fits every statement of the track forms

// Switches the calling thread to the "C" locale for the scope.
class CLocaleScope {
 public:
  CLocaleScope() noexcept : previous_(::uselocale(c_locale())) {}
  ~CLocaleScope() { ::uselocale(previous_); }
  CLocaleScope(const CLocaleScope&) = delete;
  CLocaleScope& operator=(const CLocaleScope&) = delete;

 private:
  static locale_t c_locale() noexcept {
    static const locale_t c = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
  }
  locale_t previous_;
};

void vappendf(std::string& out, const char* format, va_list args) {
  const CLocaleScope c_numbers;
  char buffer[kStackBuffer];
  va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
  if (length < 0) {
    va_end(again);
    return;
  }
  const auto size = static_cast<std::size_t>(length);
  if (size < sizeof buffer) {
    out.append(buffer, size);
  } else {
    const std::size_t at = out.size();
    out.resize(at + size + 1);
    std::vsnprintf(out.data() + at, size + 1, format, again);
    out.resize(at + size);
  }
  va_end(again);
}

__extension__ using Wide = unsigned __int128;

constexpr int kMaxExactPrecision = 9;  // 10^9 < 2^30: mantissa x 10^precision < 2^83
constexpr int kMinShift = 21;          // value = mantissa x 2^-shift < 2^53 x 2^-21 = 2^32
constexpr int kMaxShift = 83;          // past it, the value is below half of the last place
constexpr std::array<std::uint64_t, kMaxExactPrecision + 1> kPowersOfTen = {
    1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};

// A finite double's magnitude as mantissa x 2^-shift.
struct Binary {
  std::uint64_t mantissa = 0;
  int shift = 0;
};

Binary binary_of(double value) noexcept {
  constexpr int kFractionBits = 52;
  constexpr std::uint64_t kFraction = (std::uint64_t{1} << kFractionBits) - 1;
  constexpr int kBias = 1075;  // 1023 plus the fraction's bits
  const auto bits = std::bit_cast<std::uint64_t>(value);
  const auto biased = static_cast<int>((bits >> kFractionBits) & 0x7FFU);
  if (biased == 0) return {bits & kFraction, kBias - 1};  // subnormal
  return {(bits & kFraction) | (kFraction + 1), kBias - biased};
}

// mantissa x 2^-shift x unit rounded to an integer as printf rounds it: to
// the nearest, ties to even, from the exact binary value.
std::uint64_t scaled_digits(Binary magnitude, std::uint64_t unit) noexcept {
  if (magnitude.shift > kMaxShift) return 0;
  const Wide scaled = static_cast<Wide>(magnitude.mantissa) * unit;
  const auto digits = static_cast<std::uint64_t>(scaled >> magnitude.shift);
  const Wide rest = scaled - (static_cast<Wide>(digits) << magnitude.shift);
  const Wide half = Wide{1} << (magnitude.shift - 1);
  return rest > half || (rest == half && (digits & 1U) != 0) ? digits + 1 : digits;
}

// printf's "%.<precision>f" of a finite value below 2^32 to at most nine
// places, the numbers of a track, in exact integer arithmetic; false, with
// nothing appended, for any other.
bool append_fixed_exact(std::string& out, double value, int precision) {
  const Binary magnitude = binary_of(value);
  if (magnitude.shift < kMinShift || precision < 0 || precision > kMaxExactPrecision) return false;
  const std::uint64_t unit = kPowersOfTen.at(static_cast<std::size_t>(precision));
  const std::uint64_t digits = scaled_digits(magnitude, unit);
  std::array<char, 32> text{};  // sign, ten whole digits, point, nine places
  char* at = text.data();
  if (std::signbit(value)) *at++ = '-';
  at = std::to_chars(at, text.data() + text.size(), digits / unit).ptr;
  if (precision > 0) {
    *at++ = '.';
    at += precision;
    std::uint64_t places = digits % unit;
    for (char* digit = at - 1; digit >= at - precision; --digit, places /= 10)
      *digit = static_cast<char>('0' + places % 10);
  }
  out.append(text.data(), static_cast<std::size_t>(at - text.data()));
  return true;
}

}  // namespace

void appendf(std::string& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vappendf(out, format, args);
  va_end(args);
}

void append_fixed(std::string& out, double value, int precision) {
  if (append_fixed_exact(out, value, precision)) return;
  // A double has at most 309 whole digits: with a sign, a point and the
  // places, this room always holds it.
  const std::size_t at = out.size();
  out.resize(at + kStackBuffer + static_cast<std::size_t>(std::max(precision, 0)));
  const auto [end, error] =
      std::to_chars(out.data() + at, out.data() + out.size(), value, std::chars_format::fixed, precision);
  out.resize(error == std::errc{} ? static_cast<std::size_t>(end - out.data()) : at);
}

void append_zero_padded(std::string& out, unsigned value, int width) {
  char digits[16];
  const auto length = static_cast<int>(std::to_chars(digits, digits + sizeof digits, value).ptr - digits);
  if (length < width) out.append(static_cast<std::size_t>(width - length), '0');
  out.append(digits, static_cast<std::size_t>(length));
}

std::string formatted(const char* format, ...) {
  std::string out;
  va_list args;
  va_start(args, format);
  vappendf(out, format, args);
  va_end(args);
  return out;
}

}  // namespace vek::track
