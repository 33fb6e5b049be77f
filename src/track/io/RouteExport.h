#pragma once
// Route files from clips: each clip's samples decoded from its bytes, the
// clips grouped into trips, the text published under a new stamped name in
// the output folder, never over an existing file.

#include "track/io/IoError.h"
#include "track/route/RouteFormats.h"

#include <ctime>
#include <filesystem>
#include <optional>
#include <vector>

namespace vek::track::io {

// The clip's samples, or nothing (and `error`) when it cannot be read whole.
std::optional<route::ClipSamples> read_route_samples(const std::filesystem::path& clip, IoError& error);

// "route_yyyyMMdd_HHmmss.gpx", with "-2", "-3"... before the extension for `attempt` 2, 3...
std::string route_file_name(const std::tm& local, route::RouteFormat format, int attempt = 1);

struct RouteExportResult {
  bool written = false;
  std::filesystem::path path;  // the file written
  std::size_t trips = 0;
  std::size_t points = 0;  // samples on the route
  IoError error;
};

// Reads every clip (all or nothing), groups them into trips and publishes
// the text in `folder`, which must exist.
RouteExportResult export_route_file(const std::vector<std::filesystem::path>& clips, route::RouteFormat format,
                                    double gap_s, const std::filesystem::path& folder, const std::tm& local);

}  // namespace vek::track::io
