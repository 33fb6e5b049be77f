#include "track/formats/Registry.h"

#include "track/Search.h"
#include "track/container/Atoms.h"
#include "track/container/GpsIndex.h"
#include "track/formats/ClipFamilies.h"
#include "track/formats/SingleFixRecord.h"
#include "track/formats/TodayLayouts.h"
#include "track/formats/Validate.h"

#include <algorithm>
#include <string_view>

namespace vek::track::formats {
namespace {

constexpr std::string_view kFreeGpsMarker = "freeGPS";
constexpr std::uint64_t kMinBlock = 82;       // the smallest freeGPS block a camera writes
constexpr std::size_t kMaxBlocks = 1U << 16;  // over 18 hours at one block a second
constexpr std::string_view kLigoTag = "LIGOGPSINFO";
constexpr std::uint64_t kLigoPlaces[] = {16, 48, 80};

const char* const kTodayFreeGps = "freeGPS boxes (today's layout)";
const char* const kTodayGps0 = "gps0/gsen records (today's layout)";
const char* const kSingleFix = "freeGPS single-fix record (family 1)";
const char* const kEncrypted = "encrypted, not readable";

bool text_at(Bytes bytes, std::uint64_t at, std::string_view text) {
  ByteReader r(bytes);
  const Bytes field = r.range(at, text.size());
  return field.size() == text.size() && std::equal(text.begin(), text.end(), field.begin(),
                                                   [](char c, std::byte b) { return static_cast<char>(b) == c; });
}

// The atoms the clip's `moov/gps ` index lists, when it can be followed.
std::vector<Bytes> indexed_blocks(Bytes clip) {
  container::SpanSource source(clip);
  const auto top = container::walk_atoms(source, 0, clip.size());
  const auto entries = top ? container::listed_gps_boxes(source, *top) : std::nullopt;
  std::vector<Bytes> blocks;
  for (const container::BoxEntry& e : entries.value_or(std::vector<container::BoxEntry>{})) {
    const Bytes atom = clip.subspan(static_cast<std::size_t>(e.offset), static_cast<std::size_t>(e.size));
    if (!container::is_box_atom(atom, e.size)) return {};
    blocks.push_back(atom);
  }
  return blocks;
}

// Without an index: every "freeGPS" marker whose atom size before it is a
// block's and fits the file; a hit without a sound atom header is not a block.
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

std::vector<Bytes> freegps_blocks(Bytes clip) {
  std::vector<Bytes> blocks = indexed_blocks(clip);
  return blocks.empty() ? searched_blocks(clip) : blocks;
}

bool is_encrypted_block(Bytes block) {
  return std::any_of(std::begin(kLigoPlaces), std::end(kLigoPlaces),
                     [&](std::uint64_t at) {
                       return text_at(block, at, kLigoTag) && text_at(block, at + 11, std::string_view("\0", 1));
                     }) ||
         is_unknown_cipher_record(block);
}

// Top-level atoms that hold an enciphered log ("LIGOGPSINFO" then a zero; its JSON form is plain).
bool has_encrypted_atom(Bytes clip) {
  container::SpanSource source(clip);
  const auto top = container::walk_atoms(source, 0, clip.size());
  for (const container::Atom& a : top.value_or(std::vector<container::Atom>{})) {
    const Bytes payload =
        clip.subspan(static_cast<std::size_t>(a.payload()), static_cast<std::size_t>(a.size - a.header));
    if ((a.is("free") || a.is("skip") || a.is("udta")) && text_at(payload, 0, kLigoTag) &&
        text_at(payload, 11, std::string_view("\0", 1)))
      return true;
  }
  return false;
}

std::string share_text(const PlausibleShare& share) {
  return std::to_string(share.plausible) + " of " + std::to_string(share.seen);
}

std::string layout_note(const SingleFix& f) {
  const char* place = f.layout == SingleFixLayout::at48   ? "record at A+48"
                      : f.layout == SingleFixLayout::at16 ? "record at A+16 with accelerometer tail"
                                                          : "record at A+64 with accelerometer tail";
  std::string note = place;
  note += f.degrees_e7 ? ", IQS: integer degrees x 1e7 and m/s x 100" : ", DDMM floats and knots";
  if (f.full_year) note += ", full-year field read as the camera's clock, taken as UTC";
  return note;
}

Decoded decode_single_fix_blocks(const std::vector<Bytes>& blocks) {
  Decoded decoded;
  for (const Bytes block : blocks) {
    if (const auto single = decode_single_fix_atom(block)) {
      decoded.fixes.push_back(single->fix);
      const std::string note = layout_note(*single);
      if (std::find(decoded.notes.begin(), decoded.notes.end(), note) == decoded.notes.end())
        decoded.notes.push_back(note);
    }
  }
  return decoded;
}

// Today's layouts first: a clip they read plausibly keeps its text, and
// costs no more than the search it always had.
bool read_today(Bytes clip, Probe& probe) {
  const PlausibleShare freegps = freegps_share(clip);
  if (freegps.holds()) {
    probe.verdict = Verdict::today;
    probe.family = kTodayFreeGps;
    return true;
  }
  probe.declined.push_back(std::string(kTodayFreeGps) + ": " +
                           (freegps.seen == 0 ? "no freeGPS marker" : share_text(freegps) + " boxes plausible"));
  if (freegps.seen != 0) return false;  // the gps0 form is read only from clips without a freeGPS marker
  const PlausibleShare gps0 = gps0_share(clip);
  if (gps0.holds()) {
    probe.verdict = Verdict::today;
    probe.family = kTodayGps0;
    return true;
  }
  probe.declined.push_back(std::string(kTodayGps0) + ": " +
                           (gps0.seen == 0 ? "no gps0 marker" : share_text(gps0) + " records plausible"));
  return false;
}

}  // namespace

Probe probe_clip(Bytes clip) {
  Probe probe;
  if (read_today(clip, probe)) return probe;
  const std::vector<Bytes> blocks = freegps_blocks(clip);
  if (has_encrypted_atom(clip) || std::any_of(blocks.begin(), blocks.end(), is_encrypted_block)) {
    probe.verdict = Verdict::encrypted;
    probe.family = kEncrypted;
    return probe;
  }
  probe.declined.push_back("encrypted: no LIGOGPSINFO log and no zero-position cipher record");
  Decoded single = validated(decode_single_fix_blocks(blocks));
  if (!single.fixes.empty()) {
    probe.verdict = Verdict::family;
    probe.family = kSingleFix;
    probe.decoded = std::move(single);
    return probe;
  }
  probe.declined.push_back(std::string(kSingleFix) + ": " + std::to_string(blocks.size()) +
                           " freeGPS blocks, none with the A/V, N/S, E/W record signature and a fix that validates");
  read_clip_families({clip, blocks}, probe);
  return probe;
}

}  // namespace vek::track::formats
