#pragma once
#include <string>
#include <string_view>

namespace vek::track {

// `text` escaped as the content of a JavaScript string literal that is valid
// between single or double quotes and evaluates to the same string: quotes,
// backslashes, control characters, U+2028/U+2029 and "<" are escaped, and an
// invalid UTF-8 sequence becomes U+FFFD.
std::string js_string_content(std::string_view text);

} // namespace vek::track
