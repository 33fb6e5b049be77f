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
// A camera lists one box a second: a MiB of entries is over a day of driving,
// and a larger index would only cost memory for a clip no camera wrote.
inline constexpr std::uint64_t kMaxIndexSize = std::uint64_t{1} << 20;
// A camera's movie header is tens of KiB: read whole, its atoms cost one read.
inline constexpr std::uint64_t kMaxWholeMovieHeader = std::uint64_t{4} << 20;

struct GpsIndex {
  bool present = false;  // `moov` holds a `gps ` atom
  // Its entries when they can be followed: in ascending order without
  // overlap, inside the file, of plausible sizes.
  std::optional<std::vector<BoxEntry>> entries;
};

// The clip's `moov/gps ` index; the movie header is read in one read when it
// is small. No entries when the index is missing, empty or any entry fails:
// the caller then searches the whole file.
GpsIndex read_gps_index(ByteSource& source, const std::vector<Atom>& top_level);

// The followable entries of the index, their boxes prefetched.
std::optional<std::vector<BoxEntry>> listed_gps_boxes(ByteSource& source, const std::vector<Atom>& top_level);

// Tells the source every listed box will be read soon.
void prefetch_boxes(ByteSource& source, const std::vector<BoxEntry>& entries);

// Whether the bytes an entry points at are an atom of exactly the listed
// size whose type `free` is followed by "GPS".
bool is_box_atom(Bytes atom, std::uint64_t listed_size) noexcept;

}  // namespace vek::track::container
