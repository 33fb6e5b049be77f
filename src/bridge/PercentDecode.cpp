#include "bridge/PercentDecode.h"

#include <cstdint>

namespace vek::bridge {
namespace {

// Length of an escape: "%" and two hex digits.
constexpr std::size_t kEscapeLength = 3;

int hex_value(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

// Number of continuation bytes after `lead`, or -1 for a byte that cannot
// start a sequence; also the range the first continuation byte must lie in.
int sequence_tail(std::uint8_t lead, std::uint8_t& low, std::uint8_t& high) {
  low = 0x80;
  high = 0xBF;
  if (lead < 0x80) return 0;
  if (lead >= 0xC2 && lead <= 0xDF) return 1;
  if (lead == 0xE0) { low = 0xA0; return 2; }
  if (lead == 0xED) { high = 0x9F; return 2; }
  if (lead >= 0xE1 && lead <= 0xEF) return 2;
  if (lead == 0xF0) { low = 0x90; return 3; }
  if (lead == 0xF4) { high = 0x8F; return 3; }
  if (lead >= 0xF1 && lead <= 0xF3) return 3;
  return -1;
}

}  // namespace

bool is_valid_utf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    std::uint8_t low = 0;
    std::uint8_t high = 0;
    const int tail = sequence_tail(static_cast<std::uint8_t>(bytes[i]), low, high);
    if (tail < 0 || static_cast<std::size_t>(tail) > bytes.size() - i - 1) {
      return false;
    }
    for (int k = 1; k <= tail; ++k) {
      const auto b = static_cast<std::uint8_t>(bytes[i + static_cast<std::size_t>(k)]);
      if (b < low || b > high) {
        return false;
      }
      low = 0x80;
      high = 0xBF;
    }
    i += static_cast<std::size_t>(tail) + 1;
  }
  return true;
}

std::optional<std::string> percent_decode_utf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '%' && text.size() - i >= kEscapeLength) {
      const int hi = hex_value(text[i + 1]);
      const int lo = hex_value(text[i + 2]);
      if (hi >= 0 && lo >= 0) {
        out.push_back(static_cast<char>(hi * 16 + lo));
        i += kEscapeLength;
        continue;
      }
    }
    out.push_back(text[i]);
    ++i;
  }
  if (!is_valid_utf8(out)) {
    return std::nullopt;
  }
  return out;
}

}  // namespace vek::bridge
