#include "track/cli/ExportCommand.h"

#include "track/io/RouteExport.h"

#include <charconv>
#include <iostream>

namespace vek::track::cli {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr double kMaxGapS = 86400;  // a day apart is never one drive

struct ExportOptions {
  route::RouteFormat format = route::RouteFormat::gpx;
  double gap_s = route::kDefaultTripGapS;
  std::vector<std::filesystem::path> clips;
};

int usage(const std::string& message) {
  std::cerr << "vek-track: " << message << "\nTry 'vek-track --help'.\n";
  return kExitUsage;
}

bool parse_gap(const std::string& text, double& gap) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), gap);
  return ec == std::errc{} && end == text.data() + text.size() && gap >= 0 && gap <= kMaxGapS;
}

int parse_option(const std::vector<std::string>& args, std::size_t& i, ExportOptions& options) {
  const std::string& a = args[i];
  if (i + 1 == args.size()) return usage(a + " needs a value");
  const std::string& value = args[++i];
  if (a == "--format") {
    const auto format = route::route_format(value);
    if (!format) return usage("unknown format '" + value + "' (gpx, kml or csv)");
    options.format = *format;
    return kExitOk;
  }
  return parse_gap(value, options.gap_s) ? kExitOk : usage("--gap takes seconds from 0 to 86400");
}

int parse(const std::vector<std::string>& args, ExportOptions& options) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--format" || a == "--gap") {
      if (const int status = parse_option(args, i, options); status != kExitOk) return status;
    } else if (a == "--") {
      options.clips.insert(options.clips.end(), args.begin() + static_cast<long>(i) + 1, args.end());
      break;
    } else if (a.size() > 1 && a[0] == '-') {
      return usage("unknown option '" + a + "'");
    } else {
      options.clips.emplace_back(a);
    }
  }
  return options.clips.empty() ? usage("export needs at least one CLIP") : kExitOk;
}

}  // namespace

int run_export(const std::vector<std::string>& args) {
  ExportOptions options;
  if (const int status = parse(args, options); status != kExitOk) return status;
  std::vector<route::ClipSamples> samples;
  for (const std::filesystem::path& clip : options.clips) {
    io::IoError error;
    auto one = io::read_route_samples(clip, error);
    if (!one) {
      std::cerr << "vek-track: " << error.message << " (" << error.detail << ")\n";
      return kExitFailed;
    }
    samples.push_back(std::move(*one));
  }
  std::cout << route::route_text(route::group_trips(std::move(samples), options.gap_s), options.format);
  std::cout.flush();
  return std::cout ? kExitOk : kExitFailed;
}

}  // namespace vek::track::cli
