#pragma once
// Percent-decoding of the URL texts that WebKit hands to the command channel.
// WebKit escapes spaces and every non-ASCII character (as UTF-8 bytes), and
// the page escapes the bytes of a path that are not UTF-8 itself (see
// base/text/JsLiteral.h), so a path is only found again once all of its
// escapes are decoded.

#include <string>
#include <string_view>

namespace vek::bridge {

// Decodes every "%XX" escape (hex digits in either case) to its byte. A "%"
// that does not start a valid escape stays as it is.
std::string percent_decode(std::string_view text);

}  // namespace vek::bridge
