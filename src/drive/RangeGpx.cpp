#include "drive/RangeGpx.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "base/text/Xml.h"
#include "drive/FrameReadings.h"
#include "drive/TimeKey.h"

namespace vek::drive {
namespace {

constexpr double kKmhPerMetrePerSecond = 3.6;
constexpr std::size_t kPointCapacity = 160;

// "2016-03-01T09:05:07.5Z"
std::string utc_text(double seconds) {
  const double whole = std::floor(seconds);
  std::string text = format_date_time(whole);
  text[10] = 'T';
  std::array<char, 8> tenths{};
  std::snprintf(tenths.data(), tenths.size(), ".%d", static_cast<int>(std::floor((seconds - whole) * 10 + 1e-6)) % 10);
  return text + tenths.data() + "Z";
}

void append_point(std::string& out, double utc_start, const Sample& sample) {
  const double utc = utc_start + sample.t;
  std::array<char, kPointCapacity> point{};
  std::snprintf(point.data(), point.size(), "<trkpt lat=\"%.7f\" lon=\"%.7f\"><time>", sample.lat, sample.lon);
  out += point.data();
  out += utc_text(utc);
  out += "</time>";
  if (std::isfinite(sample.speed_kmh)) {
    std::snprintf(point.data(), point.size(),
                  "<extensions><gpxtpx:TrackPointExtension><gpxtpx:speed>%.2f</gpxtpx:speed>"
                  "</gpxtpx:TrackPointExtension></extensions>",
                  sample.speed_kmh / kKmhPerMetrePerSecond);
    out += point.data();
  }
  out += "</trkpt>\n";
}

}  // namespace

std::string range_gpx(const std::vector<ClipTrack>& tracks, const std::vector<Segment>& segments,
                      const TimeSettings& settings, const ZoneOffset& zones, std::string_view name) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<gpx version=\"1.1\" creator=\"vek\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
      "xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v2\">\n<trk><name>";
  out += base::xml_escaped(name);
  out += "</name><trkseg>\n";
  std::vector<double> utc_starts;
  utc_starts.reserve(tracks.size());
  for (const ClipTrack& track : tracks) {
    utc_starts.push_back(key_to_utc(track.start, track.key_offset, settings, zones));
  }
  for (const auto& [clip, sample] : samples_in_range(tracks, segments)) {
    if (sample.valid) {
      append_point(out, utc_starts[clip], sample);
    }
  }
  out += "</trkseg></trk>\n</gpx>\n";
  return out;
}

}  // namespace vek::drive
