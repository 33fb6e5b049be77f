#pragma once
// The index cameras of the freeGPS family keep inside the movie header: a
// `gps ` atom in `moov` listing the file offset and size of every GPS box.

#include "track/container/Atoms.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace vek::track::container {

struct BoxEntry {
  std::uint64_t offset = 0;
  std::uint64_t size = 0;
};

// Cameras reserve 16 or 32 KiB per box; anything past this is not a GPS box.
inline constexpr std::uint64_t kMaxBoxSize = std::uint64_t{1} << 20;
// An index larger than this does not describe a camera's clip.
inline constexpr std::uint64_t kMaxIndexSize = std::uint64_t{16} << 20;

// The entries of the clip's `moov/gps ` index when they can be followed: in
// ascending order without overlap, inside the file, of plausible sizes; their
// boxes are prefetched. Nothing when the index is missing, empty or any entry
// fails: the caller then searches the whole file.
std::optional<std::vector<BoxEntry>> listed_gps_boxes(ByteSource& source, const std::vector<Atom>& top_level);

// Whether the bytes an entry points at are an atom of exactly the listed
// size whose type `free` is followed by "GPS".
bool is_box_atom(Bytes atom, std::uint64_t listed_size) noexcept;

}  // namespace vek::track::container
