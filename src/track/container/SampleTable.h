#pragma once
// The tracks of a QuickTime movie as metadata and subtitle readers need them:
// each track's handler, its sample entry format, and where every sample lies
// in the file and when it plays. Only the movie header's tables are read.

#include "track/container/Atoms.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vek::track::container {

struct SampleRef {
  std::uint64_t offset = 0;
  std::uint64_t size = 0;
  double start_seconds = 0;  // on the track's own clock
  double duration_seconds = 0;
};

struct TrackTable {
  std::array<char, 4> handler{};  // `hdlr` handler type: vide, soun, meta, text, sbtl, camm...
  std::array<char, 4> format{};   // the first `stsd` entry's format: gpmd, camm, tx3g, text...
  std::vector<SampleRef> samples;

  bool handler_is(std::string_view type) const noexcept {
    return std::string_view(handler.data(), handler.size()) == type;
  }
  bool format_is(std::string_view type) const noexcept {
    return std::string_view(format.data(), format.size()) == type;
  }
};

struct MovieTables {
  std::optional<double> creation_unix;  // `mvhd` creation time, seconds since 1970
  std::vector<TrackTable> tracks;       // those whose tables add up, in file order
};

// Cameras write a handful of tracks; a movie with more is not one of theirs.
inline constexpr std::size_t kMaxTracks = 32;
// A day of 10 Hz telemetry; a table listing more is not a camera's.
inline constexpr std::uint64_t kMaxSamplesPerTrack = std::uint64_t{1} << 20;
// The sizes of a table of kMaxSamplesPerTrack 64-bit entries, with room to spare.
inline constexpr std::uint64_t kMaxTableBytes = std::uint64_t{16} << 20;

// The tracks of the `moov` among `top_level`. A track whose tables are
// missing, cut off, inconsistent or point outside the source is left out;
// reading never leaves the tables' bytes.
MovieTables read_movie_tables(ByteSource& source, const std::vector<Atom>& top_level);

// The bytes of every sample of `track` (after a prefetch of them all), or
// nothing when a read fails or they would pass `max_bytes` together.
std::optional<std::vector<std::vector<std::byte>>> read_samples(ByteSource& source, const TrackTable& track,
                                                                std::uint64_t max_bytes);

}  // namespace vek::track::container
