#pragma once
#include "track/ByteReader.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace vek::track {

// The search result that means "no match".
inline constexpr std::uint64_t NSNotFound = 0x7FFFFFFFFFFFFFFFULL;

// The first index p >= offset at which `pattern` occurs in `haystack`, or
// NSNotFound. Same first match as a byte-by-byte walk, found at memory speed.
std::uint64_t indexOfData(Bytes pattern, Bytes haystack, std::uint64_t offset) noexcept;

namespace detail {
// The vector scanners this processor runs, best first, by name; the tests
// hold each against the byte walk. An unknown name runs the byte walk.
std::vector<std::string_view> scan_paths();
std::uint64_t indexOfData_on(std::string_view path, Bytes pattern, Bytes haystack, std::uint64_t offset) noexcept;
}  // namespace detail

// The bytes of an ASCII marker, without a terminating zero.
Bytes marker_bytes(std::string_view marker) noexcept;

}  // namespace vek::track
