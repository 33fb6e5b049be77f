#include "track/io/ClipProbe.h"

#include "track/container/GpsIndex.h"
#include "track/container/UnindexedBlocks.h"
#include "track/io/SidecarRead.h"

namespace vek::track::io {
namespace {

void take_sidecars(ClipReading& reading, SidecarTrack track) {
  reading.probe.verdict = formats::Verdict::family;
  reading.probe.family = std::move(track.family);
  reading.probe.decoded = std::move(track.decoded);
  reading.sidecars = std::move(track.used);
}

// A clip that may hold today's markers where the structure does not show
// them, or blocks its index lists, is the whole search's to decide.
bool may_hold_own_data(container::ByteSource& source, const std::vector<container::Atom>& top_level) {
  return container::find_atom(top_level, "gps0") != nullptr || container::find_atom(top_level, "gsen") != nullptr ||
         container::read_gps_index(source, top_level).present;
}

}  // namespace

ClipReading with_sidecars(const std::filesystem::path& clip, formats::Probe probe) {
  ClipReading reading{std::move(probe), {}};
  if (reading.probe.verdict != formats::Verdict::none) return reading;
  if (auto track = read_sidecars(clip, reading.probe.declined)) take_sidecars(reading, std::move(*track));
  return reading;
}

// Only the block places near the media data's start are read, not the media:
// a search of a card-sized clip would cost its whole size in reads and page
// cache for a clip whose camera wrote its track beside it.
std::optional<ClipReading> sidecars_instead_of_search(container::ByteSource& source, const std::filesystem::path& clip,
                                                      const formats::Probe& structure) {
  if (structure.verdict != formats::Verdict::undecided) return std::nullopt;
  const auto top_level = container::walk_atoms(source, 0, source.size());
  if (!top_level || may_hold_own_data(source, *top_level)) return std::nullopt;
  ClipReading reading{structure, {}};
  auto track = read_sidecars(clip, reading.probe.declined);
  if (!track || container::has_unindexed_block(source, *top_level)) return std::nullopt;
  reading.probe.declined.push_back(
      "search of the whole clip for freeGPS and gps0 markers: not made; its sidecars give fixes, its atoms tile the "
      "file (no trailer) and no freeGPS block starts at a 32 KiB step of the media data's first 2 MiB");
  take_sidecars(reading, std::move(*track));
  return reading;
}

}  // namespace vek::track::io
