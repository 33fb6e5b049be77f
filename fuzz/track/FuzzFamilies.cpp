// Fuzz target: every camera family decoder over arbitrary payload bytes, whole
// and cut into samples. libFuzzer hands over a heap block of exactly the
// input's size, so AddressSanitizer stops any read outside it; every fix that
// comes out must have a real date, coordinates in range and a finite speed,
// and no decoder may read past the bytes it was given.

#include "track/ByteReader.h"
#include "track/formats/AitgTrailer.h"
#include "track/formats/Camm.h"
#include "track/formats/Detector.h"
#include "track/formats/FreeChildren.h"
#include "track/formats/FreeGpsInt32.h"
#include "track/formats/FreeGpsText.h"
#include "track/formats/Gpmf.h"
#include "track/formats/GpsBox.h"
#include "track/formats/Sidecars.h"
#include "track/formats/SrtTelemetry.h"
#include "track/formats/SubtitleBinary.h"
#include "track/formats/SubtitleNmea.h"
#include "track/formats/TextSidecar.h"
#include "track/formats/UtcClock.h"
#include "track/formats/V02Csv.h"
#include "track/formats/XorText.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace vek::track;
using namespace vek::track::formats;

void check(const Decoded& decoded) {
  for (const Fix& fix : decoded.fixes) {
    if (!is_valid_utc(fix.time) || !(std::abs(fix.latitude) <= 90) || !(std::abs(fix.longitude) <= 180) ||
        !std::isfinite(fix.speed_kmh) || fix.speed_kmh < 0 || (fix.course && !std::isfinite(*fix.course)))
      std::abort();
  }
}

// The input cut into samples of (first byte + 1) bytes, the last one shorter.
std::vector<Bytes> samples_of(Bytes input) {
  std::vector<Bytes> samples;
  if (input.empty()) return samples;
  const std::size_t size = std::to_integer<std::size_t>(input[0]) + 1;
  for (std::size_t at = 1; at < input.size(); at += size)
    samples.push_back(input.subspan(at, std::min(size, input.size() - at)));
  return samples;
}

void samples_decoders(Bytes input) {
  for (const auto& samples : {std::vector<Bytes>{input}, samples_of(input)}) {
    check(decode_subtitle_nmea(samples));
    check(decode_subtitle_binary(samples));
    check(decode_xor_text(samples));
    std::vector<TrackSample> timed;
    for (std::size_t i = 0; i < samples.size(); ++i)
      timed.push_back({samples[i], static_cast<double>(i), 1.0});
    check(decode_camm(timed, {}));
    check(decode_camm(timed, CammClock{1456823100.0}));
    for (const Bytes sample : samples) {
      (void)looks_like_subtitle_nmea(sample), (void)looks_like_subtitle_binary(sample);
      (void)looks_like_xor_text(sample), (void)looks_like_camm(sample), (void)looks_like_gpmf(sample);
      check(decode_gpmf(sample, 1.0));
    }
  }
}

void text_decoders(std::string_view text) {
  (void)looks_like_gps_log(text), (void)looks_like_nmea_sidecar(text), (void)looks_like_map_sidecar(text);
  (void)looks_like_srt_telemetry(text);
  check(decode_gps_log(text));
  check(decode_nmea_sidecar(text));
  check(decode_map_sidecar(text));
  check(decode_srt_telemetry(text));
  (void)looks_like_v02_log(text), (void)is_v02_log_name(text.substr(0, 32));
  check(decode_v02_log(text, "FILE.MOV"));
  for (const auto kind : {SidecarKind::gps_log, SidecarKind::accel_log, SidecarKind::nmea, SidecarKind::map,
                          SidecarKind::srt, SidecarKind::v02_log})
    check(decode_sidecar(kind, text, "FILE.MOV"));
}

// The readers that find their own place in a whole clip.
void clip_readers(Bytes input) {
  container::SpanSource source(input);
  ClipView clip(source, container::walk_atoms(source, 0, input.size()).value_or(std::vector<container::Atom>{}));
  check(detect_gps_box(clip).decoded);
  check(detect_gps0_xor(clip).decoded);
  check(detect_aitg_trailer(clip).decoded);
  check(detect_int32_blocks(clip).decoded);
  check(decode_gps_box(input, 1456823107.0));
  check(decode_aitg_trailer(input));
  check(decode_xor_text(xor_records_of_gps0(input)));
  check(decode_int32_blocks({input}));
  check(decode_int32_blocks(samples_of(input)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::uint64_t overflows_before = ByteReader::overflows_on_this_thread();
  const Bytes input(reinterpret_cast<const std::byte*>(data), size);
  (void)looks_like_freegps_text(input), (void)looks_like_free_children(input);
  check(decode_freegps_text(input));
  check(decode_free_children(input));
  check(decode_3gf_log(input));
  samples_decoders(input);
  clip_readers(input);
  text_decoders(std::string_view(reinterpret_cast<const char*>(data), size));
  if (ByteReader::overflows_on_this_thread() != overflows_before) std::abort();
  return 0;
}
