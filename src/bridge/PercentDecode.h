#pragma once
// Percent-decoding of the URL texts that WebKit hands to the command channel.
// WebKit escapes spaces and every non-ASCII character (as UTF-8 bytes), so a
// path is only found again once all of its escapes are decoded.

#include <optional>
#include <string>
#include <string_view>

namespace vek::bridge {

// Decodes every "%XX" escape (hex digits in either case). A "%" that does
// not start a valid escape stays as it is. Empty when the decoded bytes are
// not valid UTF-8: such a text names nothing the page could have sent.
std::optional<std::string> percent_decode_utf8(std::string_view text);

// True when `bytes` is well-formed UTF-8 (no overlongs, no surrogates,
// nothing above U+10FFFF).
bool is_valid_utf8(std::string_view bytes);

}  // namespace vek::bridge
