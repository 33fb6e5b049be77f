// The families that carry their fixes in freeGPS blocks with layouts other
// than today's: single-fix binary records, text, and XOR-0xAA text records.

#include "track/formats/Detector.h"
#include "track/formats/FreeGpsText.h"
#include "track/formats/Notes.h"
#include "track/formats/SingleFixRecord.h"
#include "track/formats/Validate.h"
#include "track/formats/XorText.h"

#include <algorithm>

namespace vek::track::formats {
namespace {

std::string layout_note(const SingleFix& f) {
  const char* place = f.layout == SingleFixLayout::at48   ? "record at A+48"
                      : f.layout == SingleFixLayout::at16 ? "record at A+16 with accelerometer tail"
                                                          : "record at A+64 with accelerometer tail";
  std::string note = place;
  note += f.degrees_e7 ? ", IQS: integer degrees x 1e7 and m/s x 100" : ", DDMM floats and knots";
  if (f.full_year) note += ", full-year field read as the camera's clock, taken as UTC";
  return note;
}

std::string blocks_text(std::size_t count) {
  return std::to_string(count) + " freeGPS blocks";
}

}  // namespace

Detection validated_detection(Decoded decoded, const std::string& carrier) {
  Detection d;
  d.recognised = true;
  d.decoded = validated(std::move(decoded));
  d.taken = !d.decoded.fixes.empty();
  if (!d.taken) d.declined = carrier + ", but no fix that validates";
  return d;
}

Detection detect_single_fix(ClipView& clip) {
  Decoded decoded;
  for (const Bytes block : clip.blocks()) {
    if (const auto single = decode_single_fix_atom(block)) {
      decoded.fixes.push_back(single->fix);
      note_once(decoded, layout_note(*single));
    }
  }
  const std::string seen = blocks_text(clip.blocks().size());
  if (decoded.fixes.empty())
    return declined(seen + ", none with the A/V, N/S, E/W record signature and a fix that validates");
  return validated_detection(std::move(decoded), seen + " with single-fix records");
}

Detection detect_freegps_text(ClipView& clip) {
  Decoded decoded;
  std::size_t matched = 0;
  for (const Bytes block : clip.blocks()) {
    if (!looks_like_freegps_text(block)) continue;
    ++matched;
    append(decoded, decode_freegps_text(block));
  }
  const std::string seen = blocks_text(clip.blocks().size());
  if (matched == 0) return declined(seen + ", none with a clock and RMC, doubles, shifted RMC or slash-dated text");
  return validated_detection(std::move(decoded), seen + " with text");
}

Detection detect_freegps_xor(ClipView& clip) {
  std::vector<Bytes> records;
  for (const Bytes block : clip.blocks()) {
    if (block.size() > kXorRecordInFreeGps && looks_like_xor_text(block.subspan(kXorRecordInFreeGps)))
      records.push_back(block.subspan(kXorRecordInFreeGps));
  }
  const std::string seen = blocks_text(clip.blocks().size());
  if (records.empty()) return declined(seen + ", none with the f2 e1 f0 ee 54 54 signature at A+20");
  return validated_detection(decode_xor_text(records), seen + " with XOR-0xAA records");
}

}  // namespace vek::track::formats
