#include "track/container/LocatedRead.h"

#include "track/FreeGpsParser.h"
#include "track/Search.h"
#include "track/container/Atoms.h"
#include "track/container/GpsIndex.h"
#include "track/formats/TodayLayouts.h"

#include <algorithm>

namespace vek::track::container {
namespace {

constexpr std::string_view kFreeGpsMarker = "freeGPS";
constexpr std::uint64_t kMarkerInAtom = 4;  // the marker starts at the atom's type
constexpr std::uint64_t kBoxFromMarker = 44;
constexpr std::uint64_t kBoxSize = 332;

// True when the bytes end with the start of a marker that would continue
// past them: the whole-file search could match there, a read of the atom cannot tell.
bool ends_in_marker_start(Bytes atom) noexcept {
  const Bytes marker = marker_bytes(kFreeGpsMarker);
  for (std::size_t n = 1; n < marker.size() && n <= atom.size(); ++n) {
    if (std::equal(marker.begin(), marker.begin() + static_cast<long>(n), atom.end() - static_cast<long>(n)))
      return true;
  }
  return false;
}

// The markers the whole-file search meets inside one box atom, with every
// box wholly inside the atom; nothing otherwise.
std::optional<std::vector<std::uint64_t>> markers_in_atom(Bytes atom) {
  std::vector<std::uint64_t> markers;
  for (std::uint64_t p = kMarkerInAtom; p != NSNotFound;) {
    if (p + kBoxFromMarker > atom.size() || kBoxSize > atom.size() - p - kBoxFromMarker) return std::nullopt;
    markers.push_back(p);
    p = indexOfData(marker_bytes(kFreeGpsMarker), atom, p + kBoxSize);
  }
  if (ends_in_marker_start(atom)) return std::nullopt;
  return markers;
}

// Every listed box is where the index says, and today's layout reads most
// of them plausibly (another family's boxes are left to the whole-file read).
bool boxes_follow(ByteSource& source, const std::vector<BoxEntry>& entries) {
  formats::PlausibleShare share;
  for (const BoxEntry& entry : entries) {
    const auto atom = source.block(entry.offset, entry.size);
    const auto markers = atom && is_box_atom(*atom, entry.size) ? markers_in_atom(*atom) : std::nullopt;
    if (!markers) return false;
    ByteReader reader(*atom);
    for (const std::uint64_t p : *markers)
      share.add(formats::is_plausible_box(decode_freegps_box(reader, p + kBoxFromMarker)));
  }
  return share.holds();
}

LocatedOutcome write_indexed(ByteSource& source, const std::vector<BoxEntry>& entries, std::string_view fns,
                             TextSink& sink, const LogSink& log) {
  bool intact = true;
  freegps_text(
      fns,
      [&](const FreeGpsBoxVisitor& visit) {
        std::uint64_t count = 0;
        for (const BoxEntry& entry : entries) {
          const auto atom = source.block(entry.offset, entry.size);
          const auto markers = atom && is_box_atom(*atom, entry.size) ? markers_in_atom(*atom) : std::nullopt;
          intact = intact && markers.has_value();
          if (!intact) break;
          ByteReader reader(*atom);
          for (const std::uint64_t p : *markers)
            visit(decode_freegps_box(reader, p + kBoxFromMarker));
          count += markers->size();
        }
        return count;
      },
      sink, log);
  return intact ? LocatedOutcome::written : LocatedOutcome::read_failed;
}

// From the first of the `gps0` and `gsen` atoms to the end of the file.
LocatedOutcome write_tail(ByteSource& source, const std::vector<Atom>& top_level, std::string_view fns, Form form,
                          TextSink& sink, const LogSink& log) {
  const Atom* gps0 = find_atom(top_level, "gps0");
  if (gps0 == nullptr) return LocatedOutcome::fall_back;
  const Atom* gsen = find_atom(top_level, "gsen");
  const std::uint64_t start = gsen == nullptr ? gps0->offset : std::min(gps0->offset, gsen->offset);
  if (source.size() - start > kMaxTailSize) return LocatedOutcome::fall_back;
  const auto tail = source.block(start, source.size() - start);
  if (!tail || indexOfData(marker_bytes(kFreeGpsMarker), *tail, 0) != NSNotFound || !formats::gps0_share(*tail).holds())
    return LocatedOutcome::fall_back;
  extract_tail_text(*tail, start, fns, form, sink, log);
  return LocatedOutcome::written;
}

bool has_index_atom(ByteSource& source, const std::vector<Atom>& top_level) {
  const Atom* moov = find_atom(top_level, "moov");
  const auto children = moov ? walk_atoms(source, moov->payload(), moov->end()) : std::nullopt;
  return children && find_atom(*children, "gps ") != nullptr;
}

}  // namespace

LocatedOutcome extract_located(ByteSource& source, std::string_view fns, Form form, TextSink& sink,
                               const LogSink& log) {
  const auto top_level = walk_atoms(source, 0, source.size());
  if (!top_level) return LocatedOutcome::fall_back;
  if (form == Form::standard) {
    const auto entries = listed_gps_boxes(source, *top_level);
    if (entries && boxes_follow(source, *entries)) return write_indexed(source, *entries, fns, sink, log);
  }
  if (has_index_atom(source, *top_level))
    return LocatedOutcome::fall_back;  // a freeGPS clip whose index cannot be trusted
  return write_tail(source, *top_level, fns, form, sink, log);
}

}  // namespace vek::track::container
