// Test tool: runs one family decoder over payloads of a fixture clip or over a
// sidecar file and prints what it decoded as JSON, for the fixture tests.
// Usage: vek-family-dump KIND FILE [OFFSET SIZE [START DURATION]]...
// (the sample-track kinds take START and DURATION in seconds per payload);
// vek-family-dump registry CLIP runs every registry detector over the clip;
// vek-family-dump names - prints every family name a track's record can hold.

#include "track/formats/AitgTrailer.h"
#include "track/formats/Camm.h"
#include "track/formats/FreeChildren.h"
#include "track/formats/FreeGpsInt32.h"
#include "track/formats/FreeGpsText.h"
#include "track/formats/Gpmf.h"
#include "track/formats/GpsBox.h"
#include "track/formats/Notes.h"
#include "track/formats/Registry.h"
#include "track/formats/Sidecars.h"
#include "track/formats/SrtTelemetry.h"
#include "track/formats/SubtitleBinary.h"
#include "track/formats/SubtitleNmea.h"
#include "track/formats/TextSidecar.h"
#include "track/formats/V02Csv.h"
#include "track/formats/Validate.h"
#include "track/formats/XorText.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace vek::track;
using namespace vek::track::formats;

void print_accel(const GSensor& g) {
  std::printf("[%.17g,%.17g,%.17g]", g.x, g.y, g.z);
}

void print(const Decoded& d) {
  std::printf("{\"fixes\":[");
  for (std::size_t i = 0; i < d.fixes.size(); ++i) {
    const Fix& f = d.fixes[i];
    std::printf("%s{\"utc\":[%d,%d,%d,%d,%d,%.17g],\"lat\":%.17g,\"lon\":%.17g,\"speed_kmh\":%.17g,\"valid\":%s,",
                i ? "," : "", f.time.year, f.time.month, f.time.day, f.time.hour, f.time.minute, f.time.second,
                f.latitude, f.longitude, f.speed_kmh, f.valid ? "true" : "false");
    f.course ? std::printf("\"course\":%.17g,\"accel\":", *f.course) : std::printf("\"course\":null,\"accel\":");
    f.accel ? print_accel(*f.accel) : (void)std::printf("null");
    std::printf("}");
  }
  std::printf("],\"accel\":[");
  for (std::size_t i = 0; i < d.accel.size(); ++i)
    std::printf("%s", i ? "," : ""), print_accel(d.accel[i]);
  std::printf("],\"notes\":%zu}\n", d.notes.size());
}

// The kinds read from the whole clip (their readers find their own place in it) or from a card-wide log.
Decoded decode_whole(const std::string& kind, Bytes file, const std::vector<Bytes>& spans) {
  const std::string_view text(reinterpret_cast<const char*>(file.data()), file.size());
  container::SpanSource source(file);
  ClipView clip(source, container::walk_atoms(source, 0, file.size()).value_or(std::vector<container::Atom>{}));
  if (kind == "gps-box") return detect_gps_box(clip).decoded;
  if (kind == "aitg-trailer") return detect_aitg_trailer(clip).decoded;
  if (kind == "gps0-xor") return detect_gps0_xor(clip).decoded;
  if (kind == "freegps-int32") return decode_int32_blocks(spans);
  // The log mixes clips, void and (0, 0) rows by design: what a reader takes is what validation keeps.
  return looks_like_v02_log(text) ? validated(decode_v02_log(text, "FILE.MOV")) : Decoded{};
}

Decoded decode(const std::string& kind, Bytes file, const std::vector<TrackSample>& samples) {
  const std::string_view text(reinterpret_cast<const char*>(file.data()), file.size());
  std::vector<Bytes> spans;
  spans.reserve(samples.size());
  for (const auto& s : samples)
    spans.push_back(s.bytes);
  Decoded d;
  if (kind == "gpmd") {
    for (const auto& s : samples)
      append(d, decode_gpmf(s.bytes, s.duration_seconds));
  } else if (kind == "freegps-text") {
    for (const auto& s : samples)
      append(d, decode_freegps_text(s.bytes));
  } else if (kind == "free-children") {
    for (const auto& s : samples)
      append(d, decode_free_children(s.bytes));
  } else if (kind == "gps-log") {
    d = decode_gps_log(text);
  } else if (kind == "3gf-log") {
    d = decode_3gf_log(file);
  } else if (kind == "subtitle-nmea") {
    d = decode_subtitle_nmea(spans);
  } else if (kind == "subtitle-binary") {
    d = decode_subtitle_binary(spans);
  } else if (kind == "xor-text") {
    d = decode_xor_text(spans);
  } else if (kind == "camm") {
    d = decode_camm(samples, {});
  } else if (kind == "nmea-sidecar") {
    d = decode_nmea_sidecar(text);
  } else if (kind == "map-sidecar") {
    d = decode_map_sidecar(text);
  } else if (kind == "srt-sidecar") {
    d = decode_srt_telemetry(text);
  } else if (kind == "gps-box" || kind == "aitg-trailer" || kind == "gps0-xor" || kind == "freegps-int32" ||
             kind == "v02-log") {
    d = decode_whole(kind, file, spans);
  }
  return d;
}

// Each detector of the registry on its own over the clip's structure.
void print_detectors(Bytes file) {
  container::SpanSource source(file);
  const auto top = container::walk_atoms(source, 0, file.size());
  std::printf("[");
  const char* separator = "";
  for (const Detector& detector : family_detectors()) {
    ClipView clip(source, top.value_or(std::vector<container::Atom>{}));
    const Detection d = detector.detect(clip);
    std::printf("%s{\"family\":\"%s\",\"taken\":%s,\"recognised\":%s,\"fixes\":%zu}", separator, detector.family,
                d.taken ? "true" : "false", d.recognised ? "true" : "false", d.decoded.fixes.size());
    separator = ",";
  }
  std::printf("]\n");
}

void print_names() {
  for (const Detector& detector : family_detectors())
    std::printf("%s\n", detector.family);
  for (const auto kind :
       {SidecarKind::gps_log, SidecarKind::nmea, SidecarKind::map, SidecarKind::srt, SidecarKind::v02_log})
    std::printf("%s\n", sidecar_family(kind));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s KIND FILE [OFFSET SIZE [START DURATION]]...\n", argv[0]);
    return 2;
  }
  std::ifstream in(argv[2], std::ios::binary);
  const std::vector<char> chars((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const Bytes file = std::as_bytes(std::span<const char>(chars));
  const std::string kind = argv[1];
  if (kind == "registry") {
    print_detectors(file);
    return 0;
  }
  if (kind == "names") {
    print_names();
    return 0;
  }
  const bool timed = kind == "gpmd" || kind == "camm";
  const int step = timed ? 4 : 2;
  std::vector<TrackSample> samples;
  for (int i = 3; i + step - 1 < argc; i += step) {
    const auto offset = std::stoull(argv[i]);
    const auto size = std::stoull(argv[i + 1]);
    if (offset > file.size() || size > file.size() - offset) return 2;
    samples.push_back(
        {file.subspan(offset, size), timed ? std::stod(argv[i + 2]) : 0, timed ? std::stod(argv[i + 3]) : 0});
  }
  print(decode(kind, file, samples));
  return 0;
}
