#include "base/text/JsLiteral.h"

#include <array>
#include <cstdint>

#include "base/text/Utf8.h"

namespace vek::base {
namespace {

// Lone low surrogates carry the bytes that are not UTF-8 (see the header).
constexpr unsigned kRawByteSurrogateBase = 0xDC00;

constexpr std::array<char, 16> kHexDigits = {'0', '1', '2', '3', '4', '5', '6', '7',
                                             '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};

void append_hex(std::string& out, unsigned value, int digits) {
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
    out.push_back(kHexDigits.at((value >> static_cast<unsigned>(shift)) & 0xFU));
  }
}

void append_ascii(std::string& out, char c) {
  const auto byte = static_cast<std::uint8_t>(c);
  if (c == '\\' || c == '\'' || c == '"') {
    out.push_back('\\');
    out.push_back(c);
  } else if (byte < 0x20 || byte == 0x7F || c == '<') {
    out += "\\x";
    append_hex(out, byte, 2);
  } else {
    out.push_back(c);
  }
}

bool is_script_line_break(std::string_view sequence) {
  return sequence == "\xE2\x80\xA8" || sequence == "\xE2\x80\xA9";
}

}  // namespace

std::string js_string_content(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const std::size_t length = utf8_sequence_length(text);
    const std::string_view sequence = text.substr(0, length == 0 ? 1 : length);
    if (length == 0) {
      out += "\\u";
      append_hex(out, kRawByteSurrogateBase + static_cast<std::uint8_t>(text.front()), 4);
    } else if (length == 1) {
      append_ascii(out, text.front());
    } else if (is_script_line_break(sequence)) {
      out += sequence.back() == '\xA8' ? "\\u2028" : "\\u2029";
    } else {
      out.append(sequence);
    }
    text.remove_prefix(sequence.size());
  }
  return out;
}

std::string js_string_literal(std::string_view text) {
  std::string out = "'";
  out += js_string_content(text);
  out.push_back('\'');
  return out;
}

}  // namespace vek::base
