// Fuzz target: every track parser over arbitrary clip bytes. libFuzzer hands
// over a heap block of exactly the input's size, so AddressSanitizer stops
// any read outside the clip; the texts must always start with their header.
// The located read must ask only for bytes inside the clip, and either give
// the whole-file search's text or fall back without writing; it may differ
// only when a marker lies in bytes it never read. The registry's positioned
// probe stays inside the clip, and so does the look for unindexed freeGPS
// blocks, whose every find the whole-file search sees too. No parser may read past the bytes it was
// given: every such read is guarded before it is made.

#include "track/ByteReader.h"
#include "track/MovieHeader.h"
#include "track/Search.h"
#include "track/Track.h"
#include "track/container/LocatedRead.h"
#include "track/container/UnindexedBlocks.h"
#include "track/formats/FixText.h"
#include "track/formats/Registry.h"
#include "track/route/Gpx.h"
#include "track/route/RouteFormats.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool starts_with(const std::string& text, std::string_view prefix) {
  return text.rfind(prefix, 0) == 0;
}

// "[" followed by a digit: a G-sensor placeholder left in the close form.
bool has_placeholder(const std::string& text) {
  for (std::size_t at = text.find('['); at != std::string::npos && at + 1 < text.size(); at = text.find('[', at + 1)) {
    if (text[at + 1] >= '0' && text[at + 1] <= '9') return true;
  }
  return false;
}

struct StringSink final : vek::track::TextSink {
  std::string text;
  void write(std::string_view piece) override { text += piece; }
};

// Serves the clip and marks every byte asked for; a request past the end is a fault.
class MarkingSource final : public vek::track::container::ByteSource {
 public:
  explicit MarkingSource(vek::track::Bytes clip) : clip_(clip), read_(clip.size(), false) {}
  std::uint64_t size() const noexcept override { return clip_.size(); }
  bool read(std::uint64_t offset, std::span<std::byte> out) override {
    if (offset > clip_.size() || out.size() > clip_.size() - offset) std::abort();
    for (std::size_t i = 0; i < out.size(); ++i) {
      out[i] = clip_[offset + i];
      read_[offset + i] = true;
    }
    return true;
  }
  // Whether some occurrence of `marker` has a byte that was never read.
  bool unseen(std::string_view marker) const {
    const vek::track::Bytes pattern = vek::track::marker_bytes(marker);
    for (std::uint64_t at = vek::track::indexOfData(pattern, clip_, 0); at != vek::track::NSNotFound;
         at = vek::track::indexOfData(pattern, clip_, at + 1)) {
      for (std::size_t i = 0; i < marker.size(); ++i) {
        if (!read_[at + i]) return true;
      }
    }
    return false;
  }

 private:
  vek::track::Bytes clip_;
  std::vector<bool> read_;
};

void check_located(vek::track::Bytes clip, vek::track::Form form) {
  using vek::track::container::LocatedOutcome;
  MarkingSource source(clip);
  StringSink sink;
  const LocatedOutcome outcome = vek::track::container::extract_located(source, "F.MOV", form, sink);
  if (outcome == LocatedOutcome::read_failed || (outcome == LocatedOutcome::fall_back && !sink.text.empty()))
    std::abort();
  if (!vek::track::container::is_written(outcome) || sink.text == vek::track::extract_text(clip, "F.MOV", form)) return;
  if (!source.unseen("freeGPS") && !source.unseen("gps0") && !source.unseen("gsen")) std::abort();
}

// The registry through positioned reads asks only for bytes inside the clip
// (the source aborts otherwise), and a family it names has fixes to show.
void check_structure_probe(vek::track::Bytes clip) {
  MarkingSource source(clip);
  const vek::track::formats::Probe probe = vek::track::formats::probe_clip(source);
  if (probe.verdict == vek::track::formats::Verdict::family && probe.decoded.fixes.empty()) std::abort();
}

void check_unindexed_blocks(vek::track::Bytes clip) {
  MarkingSource source(clip);
  const auto top_level = vek::track::container::walk_atoms(source, 0, clip.size());
  if (top_level && vek::track::container::has_unindexed_block(source, *top_level) &&
      vek::track::indexOfData(vek::track::marker_bytes("freeGPS "), clip, 0) == vek::track::NSNotFound)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::uint64_t overflows_before = vek::track::ByteReader::overflows_on_this_thread();
  const vek::track::Bytes clip(reinterpret_cast<const std::byte*>(data), size);
  std::size_t logged = 0;
  const vek::track::LogSink log = [&logged](std::string_view line) { logged += line.size(); };

  const std::string standard = vek::track::splitData(clip, "F'\"[4].MOV", log);
  if (!starts_with(standard, "data['F\\'\\\"[4].MOV']=new Array();") &&
      !starts_with(standard, "//C12\ndata['F\\'\\\"[4].MOV']=new Array();\n"))
    std::abort();
  const std::string close = vek::track::splitData_new_close(clip, "F.MOV", log);
  if (!starts_with(close, "//C12\ndata['F.MOV']=new Array();\n") || has_placeholder(close)) std::abort();
  namespace route = vek::track::route;
  if (vek::track::route::gpx_track({"F.MOV", route::route_samples(clip)}).find("</gpx>") == std::string::npos)
    std::abort();
  const std::vector<route::Trip> trips = route::group_trips({{"F.MOV", route::route_samples(clip)}});
  if (route::gpx_text(trips).find("</gpx>") == std::string::npos ||
      route::kml_text(trips).find("</kml>") == std::string::npos || route::csv_text(trips).rfind("trip,", 0) != 0)
    std::abort();
  if (const auto seconds = vek::track::movie_duration_seconds(clip); seconds && !(*seconds >= 0)) std::abort();
  check_located(clip, vek::track::Form::standard);
  check_located(clip, vek::track::Form::close);
  // The registry: a family's fixes are validated, so never void, never off the globe.
  const vek::track::formats::Probe probe = vek::track::formats::probe_clip(clip);
  for (const vek::track::formats::Fix& fix : probe.decoded.fixes) {
    if (!fix.valid || !(std::abs(fix.latitude) <= 90) || !(std::abs(fix.longitude) <= 180)) std::abort();
  }
  check_structure_probe(clip);
  check_unindexed_blocks(clip);
  if (!starts_with(vek::track::formats::fixes_as_freegps_text("F.MOV", probe.decoded.fixes),
                   "data['F.MOV']=new Array();"))
    std::abort();
  if (vek::track::ByteReader::overflows_on_this_thread() != overflows_before) std::abort();
  return 0;
}
