// The families that carry telemetry as samples of a movie track: GPMF and
// camm metadata tracks, and subtitle or text tracks holding binary structs,
// XOR-0xAA records or NMEA text.

#include "track/formats/Camm.h"
#include "track/formats/Detector.h"
#include "track/formats/Gpmf.h"
#include "track/formats/Notes.h"
#include "track/formats/SubtitleBinary.h"
#include "track/formats/SubtitleNmea.h"
#include "track/formats/XorText.h"

#include <functional>

namespace vek::track::formats {
namespace {

using container::TrackTable;
using SampleBytes = std::vector<std::vector<std::byte>>;

// Text cues spread signatures over the first seconds (a G-sensor line may come first).
constexpr std::size_t kCuesTried = 16;
// A second of any family's telemetry is a few KiB; a larger sample is not telemetry.
constexpr std::uint64_t kMaxSignatureSample = std::uint64_t{1} << 20;

bool is_text_track(const TrackTable& t) {
  return t.format_is("tx3g") || t.format_is("text") || t.handler_is("sbtl") || t.handler_is("text");
}

// Whether one of the first `tried` samples passes `signature`, read alone.
bool early_sample_matches(ClipView& clip, const TrackTable& t, std::size_t tried,
                          const std::function<bool(Bytes)>& signature) {
  for (std::size_t i = 0; i < t.samples.size() && i < tried; ++i) {
    if (t.samples[i].size > kMaxSignatureSample) continue;
    const auto bytes = clip.source().block(t.samples[i].offset, t.samples[i].size);
    if (bytes && signature(*bytes)) return true;
  }
  return false;
}

struct FoundTrack {
  const TrackTable* track = nullptr;
  SampleBytes samples;
};

// The first track of the carrier whose early samples show the signature, with all its samples.
std::optional<FoundTrack> find_track(ClipView& clip, const std::function<bool(const TrackTable&)>& carrier,
                                     std::size_t tried, const std::function<bool(Bytes)>& signature) {
  for (const TrackTable& t : clip.tables().tracks) {
    if (!carrier(t) || !early_sample_matches(clip, t, tried, signature)) continue;
    auto samples = container::read_samples(clip.source(), t, kMaxTrackBytes);
    if (samples) return FoundTrack{&t, std::move(*samples)};
  }
  return std::nullopt;
}

std::vector<Bytes> views(const SampleBytes& samples) {
  return {samples.begin(), samples.end()};
}

std::vector<TrackSample> timed(const FoundTrack& found) {
  std::vector<TrackSample> samples;
  for (std::size_t i = 0; i < found.samples.size(); ++i) {
    const container::SampleRef& ref = found.track->samples[i];
    samples.push_back({found.samples[i], ref.start_seconds, ref.duration_seconds});
  }
  return samples;
}

}  // namespace

Detection detect_gpmd(ClipView& clip) {
  const auto found = find_track(
      clip, [](const TrackTable& t) { return t.format_is("gpmd"); }, 1, looks_like_gpmf);
  if (!found) return declined("no gpmd track whose samples start with a GPMF DEVC container");
  Decoded decoded;
  for (const TrackSample& s : timed(*found))
    append(decoded, decode_gpmf(s.bytes, s.duration_seconds));
  return validated_detection(std::move(decoded), "a gpmd track of GPMF samples");
}

Detection detect_camm(ClipView& clip) {
  const auto found = find_track(
      clip, [](const TrackTable& t) { return t.format_is("camm"); }, 1, looks_like_camm);
  if (!found) return declined("no camm track whose samples are whole camm packets");
  return validated_detection(decode_camm(timed(*found), CammClock{clip.tables().creation_unix}), "a camm track");
}

Detection detect_subtitle_binary(ClipView& clip) {
  const auto found = find_track(clip, is_text_track, 1, looks_like_subtitle_binary);
  if (!found) return declined("no subtitle or text track of 290- or 1048-byte samples prefixed 0x0120 or 0x0416");
  return validated_detection(decode_subtitle_binary(views(found->samples)), "binary subtitle samples");
}

Detection detect_xor_track(ClipView& clip) {
  const auto carrier = [](const TrackTable& t) { return is_text_track(t) || t.format_is("gpmd"); };
  const auto found = find_track(clip, carrier, 1, looks_like_xor_text);
  if (!found) return declined("no text or gpmd track whose samples carry the f2 e1 f0 ee 54 54 signature");
  return validated_detection(decode_xor_text(views(found->samples)), "XOR-0xAA samples");
}

Detection detect_subtitle_nmea(ClipView& clip) {
  const auto found = find_track(clip, is_text_track, kCuesTried, looks_like_subtitle_nmea);
  if (!found) return declined("no subtitle or text track whose cues hold NMEA (plain or offset-scrambled)");
  return validated_detection(decode_subtitle_nmea(views(found->samples)), "NMEA cues");
}

}  // namespace vek::track::formats
