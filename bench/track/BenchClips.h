#pragma once
// Large clips for the read benchmarks, written with real (non-sparse) media
// bytes so a cold read costs what a card's clip costs.

#include <cstdint>
#include <filesystem>

namespace vek::bench {

struct BenchClip {
  std::filesystem::path path;
  std::uint64_t size = 0;
  std::uint64_t needed = 0;    // bytes a located read needs: headers and camera data
  double budget_factor = 1.0;  // resident budget = factor x needed + 1 MiB
};

// ftyp, an mdat with one freeGPS box atom per second spread through the media,
// and a moov holding the `gps ` index of the boxes.
BenchClip write_indexed_clip(const std::filesystem::path& path, std::uint64_t size, unsigned seconds,
                             std::uint64_t box_size, unsigned seed);
// ftyp, an mdat of media, a moov, then the gps0 and gsen atoms.
BenchClip write_gps0_clip(const std::filesystem::path& path, std::uint64_t size, unsigned seconds);

}  // namespace vek::bench
