#include "track/formats/TextFields.h"

#include <charconv>
#include <cmath>

#include "base/text/Strings.h"

namespace vek::track::formats {

namespace {

constexpr std::size_t kMaxDigits = 18;  // 10^18 < 2^63

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

std::string_view as_text(Bytes bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::string_view until_nul(std::string_view text) {
  return text.substr(0, text.find('\0'));
}

std::optional<long long> fixed_digits(std::string_view text, std::size_t at, std::size_t count) {
  if (count == 0 || count > kMaxDigits || at > text.size() || count > text.size() - at) return std::nullopt;
  long long value = 0;
  for (const char c : text.substr(at, count)) {
    if (!base::is_ascii_digit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::optional<double> decimal(std::string_view field) {
  if (!field.empty() && field.front() == '+') field.remove_prefix(1);
  if (field.empty() || field.find_first_not_of("-.0123456789") != std::string_view::npos) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value, std::chars_format::fixed);
  if (error != std::errc{} || end != field.data() + field.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && is_blank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back()))
    text.remove_suffix(1);
  return text;
}

}  // namespace vek::track::formats
