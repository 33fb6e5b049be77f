#pragma once
#include "ByteReader.h"

#include <cstdint>
#include <string_view>

namespace vek::track {

// The search result that means "no match".
inline constexpr std::uint64_t NSNotFound = 0x7FFFFFFFFFFFFFFFULL;

// The first index p >= offset at which `pattern` occurs in `haystack`, or
// NSNotFound. Same first match as a byte-by-byte walk, found at memory speed.
std::uint64_t indexOfData(Bytes pattern, Bytes haystack, std::uint64_t offset) noexcept;

// The bytes of an ASCII marker, without a terminating zero.
Bytes marker_bytes(std::string_view marker) noexcept;

} // namespace vek::track
