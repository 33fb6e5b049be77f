#pragma once
// The one UTF-8 decoder: paths and names arrive as bytes, and every writer
// that must emit text (script literals, XML) asks here what is well formed.

#include <cstddef>
#include <string_view>

namespace vek::base {

// Length (1 to 4) of the well-formed UTF-8 sequence that starts `bytes`, or
// 0 when it does not start one: overlongs, surrogates, code points above
// U+10FFFF, stray continuation bytes and truncated sequences all give 0.
std::size_t utf8_sequence_length(std::string_view bytes) noexcept;

// True when all of `bytes` is well-formed UTF-8.
bool is_valid_utf8(std::string_view bytes) noexcept;

}  // namespace vek::base
