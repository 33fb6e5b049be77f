#include "track/container/LocatedRead.h"

#include "track/FreeGpsParser.h"
#include "track/Search.h"
#include "track/TodayLayouts.h"
#include "track/container/Atoms.h"
#include "track/container/GpsIndex.h"
#include "track/container/ReadBuffer.h"
#include "track/container/ReadRuns.h"

#include <algorithm>

namespace vek::track::container {
namespace {

constexpr std::string_view kFreeGpsMarker = "freeGPS";
constexpr std::uint64_t kMarkerInAtom = 4;  // the marker starts at the atom's type
constexpr std::uint64_t kBoxFromMarker = 44;
constexpr std::uint64_t kBoxSize = 332;
// A camera writes a box a second: this many is over nine hours of driving,
// and holds the decoded boxes of one clip to a few MiB.
constexpr std::size_t kMaxHeldBoxes = 32768;

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
// box wholly inside the atom; nothing otherwise. `found` holds every marker
// of the run the atom lies `at` in, in order: those wholly inside the atom
// are what a search of the atom alone finds, so it is not searched again.
std::optional<std::vector<std::uint64_t>> markers_in_atom(Bytes atom, std::uint64_t at,
                                                          std::span<const std::uint64_t> found) {
  const std::size_t marker_size = kFreeGpsMarker.size();
  if (atom.size() < marker_size) return std::nullopt;
  auto next = std::lower_bound(found.begin(), found.end(), at);
  const auto inside_end = std::upper_bound(next, found.end(), at + atom.size() - marker_size);
  std::vector<std::uint64_t> markers;
  for (std::uint64_t p = kMarkerInAtom;;) {
    if (p + kBoxFromMarker > atom.size() || kBoxSize > atom.size() - p - kBoxFromMarker) return std::nullopt;
    markers.push_back(p);
    next = std::lower_bound(next, inside_end, at + p + kBoxSize);
    if (next == inside_end) break;
    p = *next - at;
  }
  if (ends_in_marker_start(atom)) return std::nullopt;
  return markers;
}

// Each listed box read once, checked and decoded from the same bytes; the
// boxes are held until all are known good, so nothing is written before the
// clip is known to be readable this way.
struct HeldBoxes {
  std::vector<FreeGpsBox> boxes;
  PlausibleShare share;
};

enum class BoxesRead { held, unfit, read_failed };

// Decodes one listed box atom, `at` in a run whose markers are `found`, into `held`.
BoxesRead hold_box(Bytes atom, std::uint64_t at, std::span<const std::uint64_t> found, const BoxEntry& entry,
                   HeldBoxes& held) {
  const auto markers = is_box_atom(atom, entry.size) ? markers_in_atom(atom, at, found) : std::nullopt;
  if (!markers || markers->size() > kMaxHeldBoxes - held.boxes.size()) return BoxesRead::unfit;
  ByteReader reader(atom);
  for (const std::uint64_t p : *markers) {
    held.boxes.push_back(decode_freegps_box(reader, p + kBoxFromMarker));
    held.share.add(is_plausible_box(held.boxes.back()));
  }
  return BoxesRead::held;
}

// Every marker in a run's bytes, in order, when each lies wholly inside one
// of its boxes; nothing otherwise. The gaps read along with the boxes are
// media the whole-file search also reads: a marker there would give it a
// box the index does not list.
std::optional<std::vector<std::uint64_t>> markers_only_in_boxes(const ReadRun& run, std::span<const BoxEntry> entries,
                                                                Bytes bytes) {
  std::vector<ByteRange> boxes;
  boxes.reserve(run.count);
  for (const BoxEntry& entry : entries.subspan(run.first, run.count))
    boxes.push_back({entry.offset - run.bytes.offset, entry.size});
  std::sort(boxes.begin(), boxes.end(), [](const ByteRange& a, const ByteRange& b) { return a.offset < b.offset; });
  const Bytes marker = marker_bytes(kFreeGpsMarker);
  std::vector<std::uint64_t> found;
  std::uint64_t covered_to = 0;  // the furthest end of the boxes starting at or before the marker
  std::size_t next = 0;
  for (std::uint64_t q = indexOfData(marker, bytes, 0); q != NSNotFound; q = indexOfData(marker, bytes, q + 1)) {
    for (; next < boxes.size() && boxes[next].offset <= q; ++next)
      covered_to = std::max(covered_to, boxes[next].end());
    if (q + marker.size() > covered_to) return std::nullopt;
    found.push_back(q);
  }
  return found;
}

// Each box of a run, sliced from the run's bytes.
BoxesRead hold_run(const ReadRun& run, std::span<const BoxEntry> entries, Bytes bytes, HeldBoxes& held) {
  const auto found = markers_only_in_boxes(run, entries, bytes);
  if (!found) return BoxesRead::unfit;
  for (const BoxEntry& entry : entries.subspan(run.first, run.count)) {
    const std::uint64_t at = entry.offset - run.bytes.offset;
    const Bytes atom = bytes.subspan(static_cast<std::size_t>(at), static_cast<std::size_t>(entry.size));
    if (const BoxesRead read = hold_box(atom, at, *found, entry, held); read != BoxesRead::held) return read;
  }
  return BoxesRead::held;
}

// Every listed box is where the index says, and today's layout reads most
// of them plausibly (another family's boxes are left to the whole-file read).
BoxesRead hold_boxes(ByteSource& source, const std::vector<BoxEntry>& entries, HeldBoxes& held) {
  const std::vector<ReadRun> runs = plan_read_runs(entries);
  std::vector<ByteRange> ranges;
  ranges.reserve(runs.size());
  for (const ReadRun& run : runs)
    ranges.push_back(run.bytes);
  BoxesRead verdict = BoxesRead::held;
  const bool read = source.read_ranges(ranges, [&](std::size_t i, Bytes bytes) {
    verdict = hold_run(runs[i], entries, bytes, held);
    return verdict == BoxesRead::held;
  });
  if (!read) return BoxesRead::read_failed;
  if (verdict != BoxesRead::held) return verdict;
  return held.share.holds() ? BoxesRead::held : BoxesRead::unfit;
}

LocatedOutcome write_indexed(ByteSource& source, const std::vector<BoxEntry>& entries, std::string_view fns,
                             TextSink& sink, const LogSink& log) {
  HeldBoxes held;
  const BoxesRead read = hold_boxes(source, entries, held);
  if (read == BoxesRead::read_failed) return LocatedOutcome::read_failed;
  if (read == BoxesRead::unfit) return LocatedOutcome::fall_back;
  const auto boxes = [&held](const FreeGpsBoxVisitor& visit) {
    std::for_each(held.boxes.begin(), held.boxes.end(), visit);
    return std::uint64_t{held.boxes.size()};
  };
  freegps_text(fns, boxes, sink, log);
  return LocatedOutcome::written_boxes;
}

// From the first of the `gps0` and `gsen` atoms to the end of the file.
LocatedOutcome write_tail(ByteSource& source, const std::vector<Atom>& top_level, std::string_view fns, Form form,
                          TextSink& sink, const LogSink& log) {
  const Atom* gps0 = find_atom(top_level, "gps0");
  if (gps0 == nullptr) return LocatedOutcome::fall_back;
  const Atom* gsen = find_atom(top_level, "gsen");
  const std::uint64_t start = gsen == nullptr ? gps0->offset : std::min(gps0->offset, gsen->offset);
  if (source.size() - start > kMaxTailSize) return LocatedOutcome::fall_back;
  ReadBuffer buffer;
  const std::optional<Bytes> tail = buffer.fill(source, start, source.size() - start);
  if (!tail || indexOfData(marker_bytes(kFreeGpsMarker), *tail, 0) != NSNotFound || !gps0_share(*tail).holds())
    return LocatedOutcome::fall_back;
  extract_tail_text(*tail, start, fns, form, sink, log);
  return LocatedOutcome::written_tail;
}

}  // namespace

LocatedOutcome extract_located(ByteSource& source, std::string_view fns, Form form, TextSink& sink,
                               const LogSink& log) {
  const auto top_level = walk_atoms(source, 0, source.size());
  if (!top_level) return LocatedOutcome::fall_back;
  const GpsIndex index = read_gps_index(source, *top_level);
  if (form == Form::standard && index.entries) {
    const LocatedOutcome outcome = write_indexed(source, *index.entries, fns, sink, log);
    if (outcome != LocatedOutcome::fall_back) return outcome;
  }
  if (index.present) return LocatedOutcome::fall_back;  // a freeGPS clip whose index cannot be trusted
  return write_tail(source, *top_level, fns, form, sink, log);
}

}  // namespace vek::track::container
