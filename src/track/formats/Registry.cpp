#include "track/formats/Registry.h"

#include "track/FreeGpsParser.h"
#include "track/Search.h"
#include "track/TodayLayouts.h"
#include "track/container/Atoms.h"
#include "track/container/LocatedRead.h"
#include "track/formats/AitgTrailer.h"
#include "track/formats/SingleFixRecord.h"

#include <algorithm>
#include <string_view>

namespace vek::track::formats {
namespace {

constexpr std::string_view kFreeGpsMarker = "freeGPS";
constexpr std::uint64_t kMinBlock = 82;     // the smallest freeGPS block a camera writes
constexpr std::uint64_t kBoxFromAtom = 48;  // today's box follows the marker by 44 bytes
constexpr std::uint64_t kFreeGpsBoxSize = 332;
constexpr std::string_view kLigoTag = "LIGOGPSINFO";
constexpr std::uint64_t kLigoPlaces[] = {16, 48, 80};

const char* const kTodayFreeGps = "freeGPS boxes (today's layout)";
const char* const kTodayGps0 = "gps0/gsen records (today's layout)";
const char* const kEncrypted = "encrypted, not readable";

// New families add a line here; block readers run over freeGPS blocks however they were found.
const Detector kDetectors[] = {
    {"freeGPS single-fix record (family 1)", detect_single_fix, true},
    {"freeGPS text: RMC, subtract-16 RMC or slash-dated line (family 3)", detect_freegps_text, true},
    {"XOR-0xAA text records in freeGPS blocks (family 10)", detect_freegps_xor, true},
    {"gpmd GPMF metadata track (family 2)", detect_gpmd, false},
    {"camm metadata track (family 11)", detect_camm, false},
    {"binary subtitle struct (family 7)", detect_subtitle_binary, false},
    {"XOR-0xAA text records in a track (family 10)", detect_xor_track, false},
    {"NMEA in a subtitle track (family 6)", detect_subtitle_nmea, false},
    {"free atom with gps/3gf children (family 5)", detect_free_children, false},
    {"freeGPS int32 DDMM block (family 4)", detect_int32_blocks, true},
    {"top-level GPS box (family 4)", detect_gps_box, false},
    {"XOR-0xAA text records in a gps0 atom (family 8)", detect_gps0_xor, false},
    {"AITG gps0 trailer (family 8)", detect_aitg_trailer, false, true},
};

bool text_at(Bytes bytes, std::uint64_t at, std::string_view text) {
  ByteReader r(bytes);
  if (!r.fits(at, text.size())) return false;  // an atom shorter than the text cannot hold it
  const Bytes field = r.range(at, text.size());
  return std::equal(text.begin(), text.end(), field.begin(),
                    [](char c, std::byte b) { return static_cast<char>(b) == c; });
}

bool is_ligo_log(Bytes bytes, std::uint64_t at) {
  return text_at(bytes, at, kLigoTag) && text_at(bytes, at + kLigoTag.size(), std::string_view("\0", 1));
}

bool is_encrypted_block(Bytes block) {
  return std::any_of(std::begin(kLigoPlaces), std::end(kLigoPlaces),
                     [&](std::uint64_t at) { return is_ligo_log(block, at); }) ||
         is_unknown_cipher_record(block);
}

// Top-level atoms that hold an enciphered log ("LIGOGPSINFO" then a zero; its JSON form is plain).
bool has_encrypted_atom(ClipView& clip) {
  for (const container::Atom& a : clip.top_level()) {
    if (!a.is("free") && !a.is("skip") && !a.is("udta")) continue;
    const auto head = clip.source().block(a.payload(), std::min<std::uint64_t>(a.size - a.header, kLigoTag.size() + 1));
    if (head && is_ligo_log(*head, 0)) return true;
  }
  return false;
}

std::string share_text(const PlausibleShare& share) {
  return std::to_string(share.plausible) + " of " + std::to_string(share.seen);
}

// A reason the structure already gave is not repeated by the search.
void decline(Probe& probe, std::string reason) {
  if (std::find(probe.declined.begin(), probe.declined.end(), reason) == probe.declined.end())
    probe.declined.push_back(std::move(reason));
}

void found(Probe& probe, Verdict verdict, std::string family) {
  probe.verdict = verdict;
  probe.family = std::move(family);
}

// Today's layout over the structure's freeGPS blocks, one box at the head of each.
bool today_in_blocks(ClipView& clip, Probe& probe) {
  PlausibleShare share;
  for (const Bytes block : clip.blocks()) {
    ByteReader reader(block);
    share.add(reader.fits(kBoxFromAtom, kFreeGpsBoxSize) && is_plausible_box(decode_freegps_box(reader, kBoxFromAtom)));
  }
  if (share.holds()) {
    found(probe, Verdict::today, kTodayFreeGps);
    return true;
  }
  probe.declined.push_back(std::string(kTodayFreeGps) + ": " + share_text(share) + " boxes plausible");
  return false;
}

// Today's gps0 records in the top-level atoms at the clip's end.
bool today_in_tail(ClipView& clip, Probe& probe) {
  const container::Atom* gps0 = container::find_atom(clip.top_level(), "gps0");
  if (gps0 == nullptr) return false;
  const container::Atom* gsen = container::find_atom(clip.top_level(), "gsen");
  const std::uint64_t start = gsen == nullptr ? gps0->offset : std::min(gps0->offset, gsen->offset);
  const std::uint64_t size = clip.source().size() - start;
  const auto tail = size <= container::kMaxTailSize ? clip.source().block(start, size) : std::nullopt;
  const PlausibleShare share = tail ? gps0_share(*tail) : PlausibleShare{};
  if (share.holds()) {
    found(probe, Verdict::today, kTodayGps0);
    return true;
  }
  decline(probe, std::string(kTodayGps0) + ": " +
                     (tail ? share_text(share) + " records plausible" : "the atoms at the end are too large to read"));
  return false;
}

bool encrypted_in_structure(ClipView& clip, Probe& probe) {
  const auto& blocks = clip.blocks();
  if (has_encrypted_atom(clip) || std::any_of(blocks.begin(), blocks.end(), is_encrypted_block)) {
    found(probe, Verdict::encrypted, kEncrypted);
    return true;
  }
  probe.declined.push_back("encrypted: no LIGOGPSINFO log and no zero-position cipher record");
  return false;
}

bool try_detector(const Detector& detector, ClipView& clip, Probe& probe, bool& recognised) {
  Detection detection = detector.detect(clip);
  recognised = recognised || detection.recognised;
  if (!detection.taken) {
    decline(probe, std::string(detector.family) + ": " + detection.declined);
    return false;
  }
  found(probe, Verdict::family, detector.family);
  probe.decoded = std::move(detection.decoded);
  return true;
}

// Every "freeGPS" marker whose atom size before it is a block's and fits the
// file; a hit without a sound atom header is not a block.
std::vector<Bytes> searched_blocks(Bytes clip) {
  std::vector<Bytes> blocks;
  ByteReader r(clip);
  for (std::uint64_t at = indexOfData(marker_bytes(kFreeGpsMarker), clip, 4);
       at != NSNotFound && blocks.size() < kMaxBlocks; at = indexOfData(marker_bytes(kFreeGpsMarker), clip, at + 1)) {
    const std::uint64_t size = r.u32be(at - 4);
    if (size >= kMinBlock && r.fits(at - 4, size)) {
      blocks.push_back(r.range(at - 4, size));
      at += size - 5;
    }
  }
  return blocks;
}

Probe search_blocks(Bytes clip, Probe probe) {
  const std::vector<Bytes> blocks = searched_blocks(clip);
  if (std::any_of(blocks.begin(), blocks.end(), is_encrypted_block)) {
    found(probe, Verdict::encrypted, kEncrypted);
    return probe;
  }
  container::SpanSource source(clip);
  ClipView view(source, {});
  view.use_blocks(blocks);
  bool recognised = false;
  for (const Detector& detector : kDetectors) {
    if ((detector.reads_blocks || detector.reads_trailer) && try_detector(detector, view, probe, recognised))
      return probe;
  }
  return probe;
}

// Without the structure: today's layouts over every byte, then the block
// readers over the freeGPS blocks a search finds.
Probe search_clip(Bytes clip, Probe probe) {
  probe.verdict = Verdict::none;
  const PlausibleShare freegps = freegps_share(clip);
  if (freegps.holds()) {
    found(probe, Verdict::today, kTodayFreeGps);
    return probe;
  }
  probe.declined.push_back(std::string(kTodayFreeGps) + ": " +
                           (freegps.seen == 0 ? "no freeGPS marker" : share_text(freegps) + " boxes plausible"));
  if (freegps.seen == 0) {  // the gps0 form is read only from clips without a freeGPS marker
    const PlausibleShare gps0 = gps0_share(clip);
    if (gps0.holds()) {
      found(probe, Verdict::today, kTodayGps0);
      return probe;
    }
    decline(probe, std::string(kTodayGps0) + ": " +
                       (gps0.seen == 0 ? "no gps0 marker" : share_text(gps0) + " records plausible"));
  }
  return search_blocks(clip, std::move(probe));
}

// Atoms that stop tiling the file where a RIFF-style trailer starts: the
// trailer's reader takes the clip from the atoms and the trailer alone, unless
// the atoms hold freeGPS blocks or today's gps0 layout reads the trailer
// (both the search's, as for a clip without a trailer).
Probe probe_before_trailer(container::ByteSource& source) {
  Probe probe;
  probe.verdict = Verdict::undecided;
  const auto start = aitg_trailer_start(source);
  auto top_level = start ? container::walk_atoms(source, 0, *start) : std::nullopt;
  if (!top_level) {
    probe.declined.push_back("structure: the atoms do not tile the file");
    return probe;
  }
  ClipView clip(source, std::move(*top_level));
  const std::uint64_t size = source.size() - *start;
  const auto trailer = size <= container::kMaxTailSize ? source.block(*start, size) : std::nullopt;
  bool recognised = false;
  const auto reader =
      std::find_if(std::begin(kDetectors), std::end(kDetectors), [](const Detector& d) { return d.reads_trailer; });
  if (!trailer || !clip.blocks().empty() || gps0_share(*trailer).holds() ||
      !try_detector(*reader, clip, probe, recognised))
    probe.declined.push_back("structure: the atoms stop at a trailer that is left to the search");
  return probe;
}

}  // namespace

std::span<const Detector> family_detectors() {
  return kDetectors;
}

Probe probe_clip(container::ByteSource& source) {
  Probe probe;
  auto top_level = container::walk_atoms(source, 0, source.size());
  if (!top_level) return probe_before_trailer(source);
  ClipView clip(source, std::move(*top_level));
  if ((!clip.blocks().empty() && today_in_blocks(clip, probe)) || (clip.blocks().empty() && today_in_tail(clip, probe)))
    return probe;
  if (encrypted_in_structure(clip, probe)) return probe;
  bool recognised = !clip.blocks().empty();
  for (const Detector& detector : kDetectors) {
    // A trailer exists only where the atoms stop tiling the file: the search's to read.
    const bool runs = !detector.reads_trailer && (!detector.reads_blocks || !clip.blocks().empty());
    if (runs && try_detector(detector, clip, probe, recognised)) return probe;
  }
  probe.verdict = recognised ? Verdict::none : Verdict::undecided;
  return probe;
}

Probe probe_clip(Bytes clip) {
  container::SpanSource source(clip);
  Probe probe = probe_clip(source);
  return probe.verdict == Verdict::undecided ? search_clip(clip, std::move(probe)) : probe;
}

}  // namespace vek::track::formats
