#include "track/Format.h"

#include <locale.h>
#include <charconv>
#include <clocale>
#include <cstdarg>
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

}  // namespace

void appendf(std::string& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vappendf(out, format, args);
  va_end(args);
}

void append_fixed(std::string& out, double value, int precision) {
  char buffer[kStackBuffer];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
  if (error == std::errc{}) {
    out.append(buffer, static_cast<std::size_t>(end - buffer));
  } else {
    appendf(out, "%.*f", precision, value);
  }
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
