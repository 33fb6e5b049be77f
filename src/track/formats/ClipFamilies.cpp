#include "track/formats/ClipFamilies.h"

#include "track/formats/AitgTrailer.h"
#include "track/formats/FreeGpsInt32.h"
#include "track/formats/GpsBox.h"
#include "track/formats/Validate.h"

#include <string>

namespace vek::track::formats {
namespace {

struct FamilyReader {
  const char* name;
  Decoded (*read)(const ClipView& view, std::string& declined);
};

Decoded read_int32_blocks(const ClipView& view, std::string& declined) {
  Decoded decoded = decode_int32_blocks(view.freegps_blocks);
  if (decoded.fixes.empty())
    declined =
        std::to_string(view.freegps_blocks.size()) + " freeGPS blocks, none with the A/V at A+30, VV at A+51 signature";
  return decoded;
}

Decoded read_gps_box(const ClipView& view, std::string& declined) {
  return read_gps_box_clip(view.clip, declined);
}

Decoded read_aitg(const ClipView& view, std::string& declined) {
  return read_aitg_clip(view.clip, declined);
}

constexpr FamilyReader kReaders[] = {
    {"freeGPS int32 DDMM block (family 4)", read_int32_blocks},
    {"top-level GPS box (family 4)", read_gps_box},
    {"AITG gps0 trailer (family 8)", read_aitg},
};

}  // namespace

bool read_clip_families(const ClipView& view, Probe& probe) {
  for (const FamilyReader& reader : kReaders) {
    std::string declined;
    const Decoded read = reader.read(view, declined);
    Decoded kept = validated(read);
    if (!kept.fixes.empty()) {
      probe.verdict = Verdict::family;
      probe.family = reader.name;
      probe.decoded = std::move(kept);
      return true;
    }
    if (declined.empty()) declined = std::to_string(read.fixes.size()) + " fixes read, none that validates";
    probe.declined.push_back(std::string(reader.name) + ": " + declined);
  }
  return false;
}

}  // namespace vek::track::formats
