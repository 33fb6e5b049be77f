#include "base/text/Xml.h"

#include <cstdint>

#include "base/text/Utf8.h"

namespace vek::base {
namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

bool is_xml_ascii(char c) {
  const auto byte = static_cast<std::uint8_t>(c);
  return byte >= 0x20 || c == '\t' || c == '\n' || c == '\r';
}

// U+FFFE and U+FFFF are well-formed UTF-8 but not XML characters.
bool is_noncharacter(std::string_view sequence) {
  return sequence == "\xEF\xBF\xBE" || sequence == "\xEF\xBF\xBF";
}

void append_ascii(std::string& out, char c) {
  switch (c) {
    case '&':
      out += "&amp;";
      break;
    case '<':
      out += "&lt;";
      break;
    case '>':
      out += "&gt;";
      break;
    case '"':
      out += "&quot;";
      break;
    case '\'':
      out += "&apos;";
      break;
    default:
      out += is_xml_ascii(c) ? std::string_view(&c, 1) : kReplacementCharacter;
  }
}

}  // namespace

std::string xml_escaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const std::size_t length = utf8_sequence_length(text);
    const std::string_view sequence = text.substr(0, length == 0 ? 1 : length);
    if (length == 1) {
      append_ascii(out, text.front());
    } else if (length == 0 || is_noncharacter(sequence)) {
      out += kReplacementCharacter;
    } else {
      out += sequence;
    }
    text.remove_prefix(sequence.size());
  }
  return out;
}

}  // namespace vek::base
