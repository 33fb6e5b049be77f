#include "bridge/JsLiteral.h"

#include <array>
#include <cstdint>

namespace vek::bridge {
namespace {

// UTF-8 of U+2028 LINE SEPARATOR and U+2029 PARAGRAPH SEPARATOR share this
// prefix; older script engines end a line at either.
constexpr std::string_view kLineSeparatorPrefix = "\xE2\x80";
constexpr char kLineSeparatorLast = '\xA8';
constexpr char kParagraphSeparatorLast = '\xA9';

void append_hex_escape(std::string& out, std::uint8_t byte) {
  constexpr std::array<char, 16> kDigits = {'0', '1', '2', '3', '4', '5', '6', '7',
                                            '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
  out += "\\x";
  out.push_back(kDigits.at(byte >> 4));
  out.push_back(kDigits.at(byte & 0x0F));
}

bool is_line_separator_at(std::string_view text, std::size_t i) {
  if (text.substr(i, kLineSeparatorPrefix.size()) != kLineSeparatorPrefix || text.size() - i < 3) {
    return false;
  }
  const char last = text[i + 2];
  return last == kLineSeparatorLast || last == kParagraphSeparatorLast;
}

}  // namespace

std::string js_string_literal(std::string_view text) {
  std::string out = "'";
  out.reserve(text.size() + 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const auto byte = static_cast<std::uint8_t>(c);
    if (c == '\\' || c == '\'' || c == '"') {
      out.push_back('\\');
      out.push_back(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (byte < 0x20 || byte == 0x7F) {
      append_hex_escape(out, byte);
    } else if (is_line_separator_at(text, i)) {
      out += text[i + 2] == kLineSeparatorLast ? "\\u2028" : "\\u2029";
      i += 2;
    } else {
      out.push_back(c);
    }
  }
  out.push_back('\'');
  return out;
}

}  // namespace vek::bridge
