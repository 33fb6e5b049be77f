#include "track/io/RouteExport.h"

#include "base/files/Publisher.h"
#include "track/TrackPath.h"
#include "track/io/ClipProbe.h"
#include "track/io/FileSource.h"
#include "track/io/MappedFile.h"

namespace vek::track::io {
namespace {

constexpr int kNameAttempts = 100;  // files exported within the same second

std::size_t route_points(const std::vector<route::Trip>& trips) {
  std::size_t n = 0;
  for (const route::Trip& trip : trips)
    for (const route::ClipSamples& clip : trip.clips)
      for (const route::RouteSample& s : clip.samples)
        n += s.on_route ? 1 : 0;
  return n;
}

bool publish_new(RouteExportResult& result, const std::string& text, const std::filesystem::path& folder,
                 const std::tm& local, route::RouteFormat format) {
  for (int attempt = 1; attempt <= kNameAttempts; ++attempt) {
    const std::filesystem::path target = folder / route_file_name(local, format, attempt);
    std::error_code ec;
    if (std::filesystem::exists(target, ec)) continue;
    if (base::publish_file(target, text, base::PublishMode::NoReplace, &result.error)) {
      result.path = target;
      return true;
    }
    if (!std::filesystem::exists(target, ec)) return false;  // failed for another reason than a name taken meanwhile
  }
  return false;
}

}  // namespace

std::optional<route::ClipSamples> read_route_samples(const std::filesystem::path& clip, IoError& error) {
  // The sidecars a track is written from when the clip needs no search give the same samples here.
  const std::unique_ptr<FileSource> source = FileSource::open(clip, error);
  if (!source) return std::nullopt;
  if (const auto beside = sidecars_instead_of_search(*source, clip, formats::probe_clip(*source)))
    return route::ClipSamples{std::string(clip_file_name(clip.string())),
                              route::route_samples(beside->probe.decoded.fixes)};
  const auto mapped = MappedFile::open(clip, error);
  if (!mapped) return std::nullopt;
  // Another family's clip, or a clip read from its sidecars, gives the fixes its track file holds.
  const ClipReading reading = with_sidecars(clip, formats::probe_clip(mapped->bytes()));
  const formats::Verdict verdict = reading.probe.verdict;
  const bool family = verdict == formats::Verdict::family || verdict == formats::Verdict::encrypted;
  route::ClipSamples samples{
      std::string(clip_file_name(clip.string())),
      family ? route::route_samples(reading.probe.decoded.fixes) : route::route_samples(mapped->bytes())};
  if (!mapped->intact()) {
    error = {clip.string() + ": changed or removed while it was read", "the mapped file shrank"};
    return std::nullopt;
  }
  return samples;
}

std::string route_file_name(const std::tm& local, route::RouteFormat format, int attempt) {
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "route_%Y%m%d_%H%M%S", &local);
  std::string name = stamp;
  if (attempt > 1) name += "-" + std::to_string(attempt);
  return name + "." + std::string(route::file_extension(format));
}

RouteExportResult export_route_file(const std::vector<std::filesystem::path>& clips, route::RouteFormat format,
                                    double gap_s, const std::filesystem::path& folder, const std::tm& local) {
  RouteExportResult result;
  std::vector<route::ClipSamples> samples;
  for (const std::filesystem::path& clip : clips) {
    std::optional<route::ClipSamples> one = read_route_samples(clip, result.error);
    if (!one) return result;
    samples.push_back(std::move(*one));
  }
  const std::vector<route::Trip> trips = route::group_trips(std::move(samples), gap_s);
  result.trips = trips.size();
  result.points = route_points(trips);
  result.written = publish_new(result, route::route_text(trips, format), folder, local, format);
  return result;
}

}  // namespace vek::track::io
