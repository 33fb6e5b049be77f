#include "drive/ClipTrack.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <unordered_map>

#include "base/text/FloatValue.h"
#include "drive/TimeKey.h"

namespace vek::drive {
namespace {

constexpr std::string_view kObjectStart = "\"]={";
constexpr std::string_view kKeyStart = "\"][\"";
// The gps0 forms write status "2" throughout and add 8 hours to their keys;
// freeGPS adds 1. The page tells them apart by the first sample's status.
constexpr std::string_view kGps0Status = "2";
constexpr double kGps0KeyOffset = 8 * 3600.0;
constexpr double kFreeGpsKeyOffset = 1 * 3600.0;
// 7.5 s of video is the sample keyed 7.5, whatever rounding the addition does.
constexpr double kLookupSlack = 1e-6;

struct Entry {
  std::string key;
  double at = 0;
  Sample sample;
};

void set_field(Sample& sample, std::string_view name, std::string_view value) {
  if (name == "lbs" || name == "stat") {
    (name == "lbs" ? sample.label : sample.status) = std::string(value);
    return;
  }
  const double number = base::float_value(value);
  if (name == "speed")
    sample.speed_kmh = number;
  else if (name == "lat")
    sample.lat = number;
  else if (name == "lon")
    sample.lon = number;
  else if (name == "x")
    sample.x = number;
  else if (name == "y")
    sample.y = number;
  else if (name == "z")
    sample.z = number;
}

Sample blank_sample() {
  constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
  Sample sample;
  sample.speed_kmh = sample.lat = sample.lon = sample.x = sample.y = sample.z = kNone;
  return sample;
}

// Reads `'name':"value"` pairs from `body` (the object's text without braces);
// a pair that does not have this shape, such as a G-sensor placeholder, is skipped.
Sample read_object(std::string_view body) {
  Sample sample = blank_sample();
  std::size_t at = 0;
  while ((at = body.find('\'', at)) != std::string_view::npos) {
    const std::size_t name_end = body.find('\'', at + 1);
    if (name_end == std::string_view::npos || body.substr(name_end + 1, 2) != ":\"") {
      break;
    }
    const std::size_t value_start = name_end + 3;
    const std::size_t value_end = body.find('"', value_start);
    if (value_end == std::string_view::npos) {
      break;
    }
    set_field(sample, body.substr(at + 1, name_end - at - 1), body.substr(value_start, value_end - value_start));
    at = value_end + 1;
  }
  return sample;
}

bool is_position(double lat, double lon) {
  return std::isfinite(lat) && std::isfinite(lon) && std::fabs(lat) <= 90 && std::fabs(lon) <= 180 &&
         !(lat == 0 && lon == 0);
}

// The statement whose object starts at `object`: its time key and its values.
std::optional<Entry> read_statement(std::string_view text, std::size_t object) {
  const std::size_t key_start = text.rfind(kKeyStart, object);
  const std::size_t line_start = text.rfind('\n', object);
  if (key_start == std::string_view::npos || (line_start != std::string_view::npos && key_start < line_start)) {
    return std::nullopt;
  }
  const std::size_t body_start = object + kObjectStart.size();
  const std::size_t body_end = text.find("};", body_start);
  const std::string_view key = text.substr(key_start + kKeyStart.size(), object - key_start - kKeyStart.size());
  const std::optional<double> at = parse_time_key(key);
  if (!at || body_end == std::string_view::npos) {
    return std::nullopt;
  }
  Entry entry{std::string(key), *at, read_object(text.substr(body_start, body_end - body_start))};
  entry.sample.valid = is_position(entry.sample.lat, entry.sample.lon);
  return entry;
}

std::vector<Entry> read_entries(std::string_view text) {
  std::vector<Entry> entries;
  std::unordered_map<std::string, std::size_t> by_key;
  for (std::size_t object = text.find(kObjectStart); object != std::string_view::npos;
       object = text.find(kObjectStart, object + kObjectStart.size())) {
    std::optional<Entry> entry = read_statement(text, object);
    if (!entry) {
      continue;
    }
    // A key written twice is one property of the page's table: the last values win, the first place stays.
    const auto [slot, inserted] = by_key.try_emplace(entry->key, entries.size());
    if (inserted) {
      entries.push_back(std::move(*entry));
    } else {
      entries[slot->second] = std::move(*entry);
    }
  }
  std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.at < b.at; });
  return entries;
}

}  // namespace

ClipTrack read_track_text(std::string_view text) {
  const std::vector<Entry> entries = read_entries(text);
  ClipTrack track;
  track.key_offset = kFreeGpsKeyOffset;
  if (entries.empty()) {
    return track;
  }
  track.key_offset = entries.front().sample.status == kGps0Status ? kGps0KeyOffset : kFreeGpsKeyOffset;
  track.start = entries.front().at;
  track.samples.reserve(entries.size());
  for (const Entry& entry : entries) {
    track.samples.push_back(entry.sample);
    track.samples.back().t = entry.at - track.start;
  }
  return track;
}

std::ptrdiff_t sample_index_at(const ClipTrack& track, double video_time) {
  const auto& samples = track.samples;
  if (samples.empty()) {
    return -1;
  }
  const double target = video_time + kLookupSlack;
  const auto after = std::upper_bound(samples.begin(), samples.end(), target,
                                      [](double time, const Sample& sample) { return time < sample.t; });
  return after == samples.begin() ? 0 : std::distance(samples.begin(), after) - 1;
}

}  // namespace vek::drive
