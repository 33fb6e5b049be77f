#pragma once
// QuickTime atom headers: 32-bit size and type, size 1 for a 64-bit size
// after the type, size 0 for "to the end of the enclosing range".

#include "track/container/ByteSource.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vek::track::container {

struct Atom {
  std::array<char, 4> type{};
  std::uint64_t offset = 0;  // of the size field
  std::uint64_t header = 0;  // 8, or 16 with a 64-bit size
  std::uint64_t size = 0;    // header included

  bool is(std::string_view name) const noexcept { return std::string_view(type.data(), type.size()) == name; }
  std::uint64_t payload() const noexcept { return offset + header; }
  std::uint64_t end() const noexcept { return offset + size; }
};

// A clip with more atoms at one level than this is not one a camera wrote;
// bounding the walk keeps a crafted file from costing millions of reads.
inline constexpr std::size_t kMaxAtomsPerLevel = 4096;

// The atoms that exactly tile [begin, end) of the source, in order; nothing
// when a header is cut off, a size does not add up or the level holds too many.
std::optional<std::vector<Atom>> walk_atoms(ByteSource& source, std::uint64_t begin, std::uint64_t end);

// The first atom of `type`, if any.
const Atom* find_atom(const std::vector<Atom>& atoms, std::string_view type) noexcept;

}  // namespace vek::track::container
