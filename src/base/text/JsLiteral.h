#pragma once
// Text travels into page scripts (track files, script calls) as string
// literals. One writer, one policy:
// - Quotes, backslashes, control characters, "<" (no "</script>" when a page
//   embeds the text) and U+2028/U+2029 are escaped; the literal is valid
//   between single or double quotes and cannot end early or run as code.
// - Well-formed UTF-8 is kept as it is.
// - Every byte that is not part of well-formed UTF-8 becomes the lone
//   surrogate U+DC80 + byte ("\uDC80".."\uDCFF"). Paths are bytes, and a
//   Latin-1 name must reach the page and come back as the same bytes: the
//   page percent-encodes such a character as "%XX" of its low byte when it
//   sends a path or builds a file URL, and the native side decodes that to
//   the original byte. Valid UTF-8 never produces a lone surrogate, so the
//   mapping cannot be confused with a real character.

#include <string>
#include <string_view>

namespace vek::base {

// `text` escaped as the content of a script string literal (no quotes).
std::string js_string_content(std::string_view text);

// `text` as a single-quoted script string literal, quotes included.
std::string js_string_literal(std::string_view text);

}  // namespace vek::base
