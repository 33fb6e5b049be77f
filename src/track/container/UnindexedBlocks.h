#pragma once
// Where cameras put the freeGPS blocks their movie header does not list:
// on 32 KiB steps near the start of the media data. Looking only there
// tells, in a few small reads, whether a clip holds such blocks at all.

#include "track/container/Atoms.h"

#include <cstdint>
#include <vector>

namespace vek::track::container {

// Cameras reserve 32 KiB per block and start writing them within about 2 MB
// of the media data's start; a clip whose first blocks lie further in is not
// one these cameras wrote.
inline constexpr std::uint64_t kUnindexedBlockStep = std::uint64_t{32} << 10;
inline constexpr std::uint64_t kUnindexedBlockReach = std::uint64_t{2} << 20;

// The offsets looked at inside the first `mdat`: its payload's start and each
// 32 KiB step after it, and the file's own 32 KiB boundaries, up to the reach
// (whichever of the two alignments the camera kept), in ascending order.
std::vector<std::uint64_t> unindexed_block_places(const std::vector<Atom>& top_level);

// Whether a block header (`00 ?? ?? 00 freeGPS `: a size field under 16 MiB,
// then "free" and "GPS ") starts at one of those places.
bool has_unindexed_block(ByteSource& source, const std::vector<Atom>& top_level);

}  // namespace vek::track::container
