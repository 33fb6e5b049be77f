#pragma once
// Values travel into page script text as string literals; escaping them keeps
// a path with a quote, a backslash or a line break from breaking the
// statement or running as code, while the page receives the same text.

#include <string>
#include <string_view>

namespace vek::bridge {

// `text` as a single-quoted script string literal, quotes included.
// Backslash, both quotes, control characters and the two script line
// separators (U+2028, U+2029) are escaped; all other UTF-8 is kept as is.
std::string js_string_literal(std::string_view text);

}  // namespace vek::bridge
