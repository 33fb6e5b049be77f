#include "track/formats/V02Csv.h"

#include "base/text/Strings.h"
#include "track/formats/Globe.h"
#include "track/formats/Notes.h"
#include "track/formats/TextFields.h"
#include "track/formats/UtcClock.h"

#include <algorithm>
#include <cctype>

namespace vek::track::formats {
namespace {

constexpr std::string_view kHeader = "$V02";
constexpr std::string_view kNamePrefix = "GPSData";
constexpr std::size_t kNameDigits = 6;
constexpr std::string_view kNameExtension = ".txt";
constexpr std::size_t kFields = 13;
constexpr std::size_t kNameField = 9;
constexpr double kKmhPerMetrePerSecond = 3.6;
constexpr double kHundredths = 100.0;
// A row longer than this is not one of the log's.
constexpr std::size_t kMaxLineLength = 256;

bool same_letters(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view base_name(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::optional<Fix> row_fix(const std::vector<std::string>& f) {
  const auto seconds = decimal(f[0]), lat = decimal(f[2]), lon = decimal(f[3]), course = decimal(f[4]),
             speed = decimal(f[5]), x = decimal(f[6]), y = decimal(f[7]), z = decimal(f[8]);
  if (!seconds || !lat || !lon || !course || !speed || !x || !y || !z || (f[1] != "A" && f[1] != "V"))
    return std::nullopt;
  if (!on_globe(*lat, *lon) || *speed < 0) return std::nullopt;
  const auto time = utc_from_unix(*seconds + kV02ClockBehindUtcSeconds);
  if (!time) return std::nullopt;
  Fix fix;
  fix.time = *time;
  fix.valid = f[1] == "A";
  fix.latitude = *lat;
  fix.longitude = *lon;
  fix.course = *course / kHundredths;
  fix.speed_kmh = *speed / kHundredths * kKmhPerMetrePerSecond;
  fix.accel = GSensor{static_cast<float>(*x / kHundredths), static_cast<float>(*y / kHundredths),
                      static_cast<float>(*z / kHundredths)};
  return fix;
}

// One row for this clip, noted when it is not one of the log's rows.
void read_row(std::string_view line, std::string_view clip_name, Decoded& decoded) {
  std::vector<std::string> fields = base::split(line, ',');
  if (fields.size() != kFields) {
    note_once(decoded, "rows without 13 fields (a line cut off while written) skipped");
    return;
  }
  for (std::string& field : fields)
    field = std::string(trimmed(field));
  if (!same_letters(base_name(fields[kNameField]), clip_name)) return;
  if (const auto fix = row_fix(fields)) decoded.fixes.push_back(*fix);
}

}  // namespace

bool is_v02_log_name(std::string_view file_name) {
  const std::size_t digits_at = kNamePrefix.size();
  if (file_name.size() != digits_at + kNameDigits + kNameExtension.size()) return false;
  return same_letters(file_name.substr(0, digits_at), kNamePrefix) &&
         fixed_digits(file_name, digits_at, kNameDigits).has_value() &&
         same_letters(file_name.substr(digits_at + kNameDigits), kNameExtension);
}

bool looks_like_v02_log(std::string_view text) {
  return trimmed(text.substr(0, text.find('\n'))) == kHeader;
}

Decoded decode_v02_log(std::string_view text, std::string_view clip_name) {
  Decoded decoded;
  note_once(decoded, "row times read as the camera's clock 8 h behind UTC");
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = trimmed(text.substr(start, end - start));
    const bool ended = end < text.size();
    start = end + 1;
    if (line.empty() || line == kHeader) continue;  // a repeated header starts a new session
    if (!ended) {
      note_once(decoded, "a last line without its line end (still being written) skipped");
      continue;
    }
    if (line.size() <= kMaxLineLength) read_row(line, clip_name, decoded);
  }
  return decoded;
}

}  // namespace vek::track::formats
