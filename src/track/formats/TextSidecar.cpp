#include "track/formats/TextSidecar.h"

#include "base/text/Strings.h"
#include "track/formats/DdmmRow.h"
#include "track/formats/Nmea.h"
#include "track/formats/Notes.h"
#include "track/formats/TextFields.h"

namespace vek::track::formats {

namespace {

constexpr std::string_view kDecimalGsensor = "$GSENSORD,";
constexpr std::string_view kIntegerGsensor = "$GSENSOR,";
constexpr std::size_t kMapExtras = 3;    // ax, ay, az: raw counts with a bias
constexpr std::size_t kProbeLines = 16;  // a signature check looks at the first lines only
// A sidecar line longer than this is not one of these logs.
constexpr std::size_t kMaxLineLength = 512;

template <typename Visit>
void for_each_line(std::string_view text, Visit&& visit) {
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = trimmed(text.substr(start, end - start));
    if (line.size() <= kMaxLineLength && !visit(line)) return;
    start = end + 1;
  }
}

std::optional<GSensor> decimal_gsensor(std::string_view line) {
  const auto fields = base::split(line.substr(kDecimalGsensor.size()), ',');
  if (fields.size() != 3) return std::nullopt;
  const auto x = decimal(fields[0]), y = decimal(fields[1]),
             z = decimal(trimmed(fields[2].substr(0, fields[2].find('*'))));
  if (!x || !y || !z) return std::nullopt;
  return GSensor{static_cast<float>(*x), static_cast<float>(*y), static_cast<float>(*z)};
}

}  // namespace

bool looks_like_nmea_sidecar(std::string_view text) {
  bool found = false;
  std::size_t lines = 0;
  for_each_line(text, [&](std::string_view line) {
    found = !find_rmc_sentences(line).empty() && parse_rmc(line, Checksum::checked_if_present).has_value();
    return !found && ++lines < kProbeLines;
  });
  return found;
}

Decoded decode_nmea_sidecar(std::string_view text) {
  Decoded decoded;
  for_each_line(text, [&](std::string_view line) {
    if (line.substr(0, kDecimalGsensor.size()) == kDecimalGsensor) {
      if (const auto g = decimal_gsensor(line)) decoded.accel.push_back(*g);
      note_once(decoded, "$GSENSORD values read as g");
    } else if (line.substr(0, kIntegerGsensor.size()) == kIntegerGsensor) {
      note_once(decoded, "$GSENSOR integer lines skipped: their scale is not known");
    } else if (const auto fix = parse_rmc(line, Checksum::checked_if_present)) {
      decoded.fixes.push_back(*fix);
    }
    return true;
  });
  return decoded;
}

bool looks_like_map_sidecar(std::string_view text) {
  bool found = false;
  std::size_t lines = 0;
  for_each_line(text, [&](std::string_view line) {
    found = parse_ddmm_row(line, kMapExtras).has_value();
    return !found && ++lines < kProbeLines;
  });
  return found;
}

Decoded decode_map_sidecar(std::string_view text) {
  Decoded decoded;
  for_each_line(text, [&](std::string_view line) {
    for (const auto& row : base::split(line, ';')) {
      if (const auto parsed = parse_ddmm_row(row, kMapExtras)) decoded.fixes.push_back(parsed->fix);
    }
    return true;
  });
  note_once(decoded, "map speed read as km/h; its raw biased acceleration counts are not used");
  return decoded;
}

std::vector<std::filesystem::path> text_sidecars(const std::filesystem::path& clip) {
  std::vector<std::filesystem::path> paths;
  for (const char* extension : {".nmea", ".NMEA", ".map", ".MAP"})
    paths.push_back(std::filesystem::path(clip).replace_extension(extension));
  const auto folder = clip.parent_path().parent_path();
  for (const char* gps_folder : {"103gps", "203gps"})
    paths.push_back(folder / gps_folder / std::filesystem::path(clip.filename()).replace_extension(".gpx"));
  return paths;
}

}  // namespace vek::track::formats
