// vek-track: the track extraction of the viewer's import, from a shell.

#include "base/files/StaleTemporaries.h"
#include "base/files/TemporaryCleanup.h"
#include "track/LibraryNames.h"
#include "track/TrackPath.h"
#include "track/cli/ExportCommand.h"
#include "track/cli/ProgressLine.h"
#include "track/formats/Registry.h"
#include "track/io/ClipProbe.h"
#include "track/io/Extract.h"
#include "track/io/FileSource.h"
#include "track/io/Home.h"
#include "track/io/MappedFile.h"
#include "track/io/RouteExport.h"
#include "track/route/Gpx.h"
#include "track/route/RouteFormats.h"

#include <unistd.h>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;
namespace track = vek::track;
namespace cli = vek::track::cli;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // a clip was missing, unreadable or not written
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "Usage: vek-track extract [--force] [--form close] [--full-scan] [--quiet] CLIP...\n"
    "       vek-track export [--format gpx|kml|csv] [--gap SECONDS] CLIP...\n"
    "       vek-track gpx CLIP\n"
    "       vek-track probe CLIP...\n"
    "\n"
    "extract  Write each clip's track data file to ~/VEK/data/NAME.data, the file\n"
    "         the viewer's import writes (NAME is the clip's file name with .MOV or\n"
    "         .mov replaced by .data). A clip whose track file exists is skipped.\n"
    "  --force        extract again and replace an existing track file\n"
    "  --form close   use the close variant of the gps0 parser, with G-sensor\n"
    "                 values from the clip's \"gsen\" records\n"
    "  --full-scan    search every byte of the clip instead of reading only the\n"
    "                 parts its index or its top-level atoms point at\n"
    "  --quiet        do not copy the parser's diagnostic lines to standard error\n"
    "                 (the close form logs eight lines per record), and show no\n"
    "                 progress line (shown only when standard error is a terminal)\n"
    "export   Write the clips' route to standard output: clips whose times follow\n"
    "         each other within the gap (default 120 s) form one trip. GPX 1.1 has a\n"
    "         track per trip, KML a time-stamped line per trip (both UTC, fixes only,\n"
    "         GPS glitches left out), CSV one row per sample with every field.\n"
    "gpx      Write the clip's samples, from whichever camera family or sidecar\n"
    "         holds them, as a GPX 1.1 track (UTC times, latitude, longitude, speed\n"
    "         in m/s) to standard output.\n"
    "probe    Name the camera family whose GPS data each clip holds (or \"no GPS\n"
    "         data found\" / \"encrypted, not readable\"), its sample count, first\n"
    "         and last time (UTC), and why each other reader declined the clip.\n"
    "  -h, --help     show this help\n";

struct ExtractOptions {
  bool force = false;
  bool quiet = false;
  bool full_scan = false;
  track::Form form = track::Form::standard;
  std::vector<std::string> clips;
};

int usage_error(const std::string& message) {
  std::cerr << "vek-track: " << message << "\nTry 'vek-track --help'.\n";
  return kExitUsage;
}

void log_to_stderr(std::string_view line) {
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fputc('\n', stderr);
}

// Missing, folder or unreadable: the message for the user, or empty when the clip can be read.
std::string unreadable_reason(const std::string& clip) {
  std::error_code ec;
  const fs::file_status status = fs::status(clip, ec);
  if (!fs::exists(status)) return "no such file";
  if (fs::is_directory(status)) return "is a folder, not a clip";
  if (::access(clip.c_str(), R_OK) != 0) return "cannot be read (permission denied)";
  return {};
}

bool extract_one(const std::string& clip, const ExtractOptions& options, const fs::path& home) {
  if (const std::string reason = unreadable_reason(clip); !reason.empty()) {
    std::cerr << "vek-track: " << clip << ": " << reason << "\n";
    return false;
  }
  const std::string_view fns = track::clip_file_name(clip);
  const std::string savepath = track::relative_track_path(fns);
  const fs::path target(home.string() + savepath);
  if (!track::is_track_file_path(savepath)) {
    std::cerr << "vek-track: " << clip << ": not a clip name (.MOV), so it has no track file\n";
    return false;
  }
  std::error_code ec;
  if (!options.force && fs::exists(target, ec)) {
    std::cout << clip << ": skipped, " << target.string() << " exists (--force extracts again)\n";
    return true;
  }
  const track::LogSink log = options.quiet ? track::LogSink{} : track::LogSink{log_to_stderr};
  const auto mode = options.full_scan ? track::io::ReadMode::full_scan : track::io::ReadMode::located;
  const track::io::ExtractResult result =
      track::io::extract_clip(clip, home, savepath, fns, options.form, log, nullptr, mode);
  if (!result.written) {
    std::cerr << "vek-track: " << result.error.message << " (" << result.error.detail << ")\n";
    return false;
  }
  std::cout << clip << ": wrote " << result.track_path.string() << "\n";
  return true;
}

bool ensure_library_folder(const fs::path& home) {
  const fs::path folder = home / track::kDataFolder;
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) {
    std::cerr << "vek-track: cannot create " << folder.string() << ": " << ec.message() << "\n";
    return false;
  }
  return true;
}

int parse_extract(const std::vector<std::string>& args, ExtractOptions& options) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--force") {
      options.force = true;
    } else if (a == "--full-scan") {
      options.full_scan = true;
    } else if (a == "--quiet" || a == "-q") {
      options.quiet = true;
    } else if (a == "--form" || a.rfind("--form=", 0) == 0) {
      const bool inline_value = a != "--form";
      if (!inline_value && i + 1 == args.size()) return usage_error("--form needs a value (close or standard)");
      const std::string value = inline_value ? a.substr(7) : args[++i];
      if (value != "close" && value != "standard")
        return usage_error("unknown form '" + value + "' (close or standard)");
      options.form = value == "close" ? track::Form::close : track::Form::standard;
    } else if (a == "--") {
      options.clips.insert(options.clips.end(), args.begin() + static_cast<long>(i) + 1, args.end());
      break;
    } else if (a.size() > 1 && a[0] == '-') {
      return usage_error("unknown option '" + a + "'");
    } else {
      options.clips.push_back(a);
    }
  }
  return options.clips.empty() ? usage_error("extract needs at least one CLIP") : kExitOk;
}

constexpr const char* kEraseLine = "\r\033[K";

std::uintmax_t size_or_zero(const std::string& clip) {
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(clip, ec);
  return ec ? 0 : size;
}

std::uintmax_t total_size(const std::vector<std::string>& clips) {
  std::uintmax_t total = 0;
  for (const std::string& clip : clips)
    total += size_or_zero(clip);
  return total;
}

int run_extract(const std::vector<std::string>& args) {
  ExtractOptions options;
  if (const int status = parse_extract(args, options); status != kExitOk) return status;
  const fs::path home = track::io::home_directory();
  if (!ensure_library_folder(home)) return kExitFailed;
  vek::base::remove_stale_temporaries(home / track::kDataFolder);
  // The line goes to standard error and only to a terminal: a pipe or a
  // file gets the per-clip lines alone.
  const bool show_progress = !options.quiet && ::isatty(STDERR_FILENO) == 1;
  cli::ExtractProgress progress{.clips_total = options.clips.size(), .bytes_total = total_size(options.clips)};
  const auto started = std::chrono::steady_clock::now();
  bool all_ok = true;
  for (const std::string& clip : options.clips) {
    if (show_progress) std::cerr << kEraseLine << std::flush;  // the clip's own lines take its place
    all_ok = extract_one(clip, options, home) && all_ok;
    std::cout << std::flush;
    ++progress.clips_done;
    progress.bytes_done += size_or_zero(clip);
    progress.elapsed = std::chrono::steady_clock::now() - started;
    if (show_progress) std::cerr << kEraseLine << cli::progress_text(progress) << std::flush;
  }
  if (show_progress) std::cerr << "\n";
  return all_ok ? kExitOk : kExitFailed;
}

// The route as the registry reads it, the same samples `export` writes.
int run_gpx(const std::vector<std::string>& args) {
  if (args.size() != 1) return usage_error("gpx needs exactly one CLIP");
  const std::string& clip = args[0];
  if (const std::string reason = unreadable_reason(clip); !reason.empty()) {
    std::cerr << "vek-track: " << clip << ": " << reason << "\n";
    return kExitFailed;
  }
  track::io::IoError error;
  const auto samples = track::io::read_route_samples(clip, error);
  if (!samples) {
    std::cerr << "vek-track: " << error.message << " (" << error.detail << ")\n";
    return kExitFailed;
  }
  std::cout << track::route::gpx_track(*samples);
  std::cout.flush();
  return std::cout ? kExitOk : kExitFailed;
}

bool on_the_globe(const track::route::RouteSample& s) {
  return std::fabs(s.latitude) <= 90 && std::fabs(s.longitude) <= 180;
}

// Count, first and last time of today's layouts' samples with a position.
void print_today_samples(track::Bytes clip) {
  std::size_t count = 0;
  std::optional<double> first;
  std::optional<double> last;
  for (const track::route::RouteSample& s : track::route::route_samples(clip)) {
    if (!on_the_globe(s)) continue;
    ++count;
    if (s.utc) first = first.value_or(*s.utc), last = s.utc;
  }
  std::cout << "  samples: " << count;
  if (first) std::cout << ", first " << track::route::utc_text(*first) << ", last " << track::route::utc_text(*last);
  std::cout << "\n";
}

std::string utc_text(const track::formats::UtcTime& t) {
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%04.1fZ", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  return text;
}

// `bytes` is the whole clip when the probe searched it (today's layouts count their samples from it).
void print_probe(const std::string& clip, const track::io::ClipReading& reading, track::Bytes bytes) {
  using track::formats::Verdict;
  const track::formats::Probe& probe = reading.probe;
  std::cout << clip << ": " << (probe.verdict == Verdict::none ? "no GPS data found" : probe.family) << "\n";
  for (const fs::path& sidecar : reading.sidecars)
    std::cout << "  sidecar: " << sidecar.string() << "\n";
  if (probe.verdict == Verdict::today) print_today_samples(bytes);
  const auto& fixes = probe.decoded.fixes;
  if (probe.verdict == Verdict::family)
    std::cout << "  samples: " << fixes.size() << ", first " << utc_text(fixes.front().time) << ", last "
              << utc_text(fixes.back().time) << "\n";
  for (const std::string& note : probe.decoded.notes)
    std::cout << "  read as: " << note << "\n";
  for (const std::string& reason : probe.declined)
    std::cout << "  declined: " << reason << "\n";
}

// The structure first (positioned reads), then the sidecars where the
// structure shows no search is needed; the whole clip only when they decide
// nothing or today's layouts read it.
bool probe_one(const std::string& clip) {
  using track::formats::Verdict;
  track::io::IoError error;
  const auto source = track::io::FileSource::open(clip, error);
  const track::formats::Probe structure = source ? track::formats::probe_clip(*source) : track::formats::Probe{};
  if (source && structure.verdict != Verdict::undecided && structure.verdict != Verdict::today) {
    print_probe(clip, track::io::with_sidecars(clip, structure), {});
    return true;
  }
  const auto beside = source ? track::io::sidecars_instead_of_search(*source, clip, structure) : std::nullopt;
  if (beside) {
    print_probe(clip, *beside, {});
    return true;
  }
  const auto mapped = source ? track::io::MappedFile::open(clip, error) : std::nullopt;
  if (!mapped) {
    std::cerr << "vek-track: " << error.message << " (" << error.detail << ")\n";
    return false;
  }
  print_probe(clip, track::io::with_sidecars(clip, track::formats::probe_clip(mapped->bytes())), mapped->bytes());
  if (mapped->intact()) return true;
  std::cerr << "vek-track: " << clip << ": changed or removed while it was read\n";
  return false;
}

int run_probe(const std::vector<std::string>& args) {
  if (args.empty()) return usage_error("probe needs at least one CLIP");
  bool all_ok = true;
  for (const std::string& clip : args)
    all_ok = probe_one(clip) && all_ok;
  return all_ok ? kExitOk : kExitFailed;
}

int run(const std::vector<std::string>& args) {
  if (args.empty()) return usage_error("missing command (extract, export, gpx or probe)");
  const std::string& command = args[0];
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "-h" || command == "--help" || command == "help") {
    std::cout << kUsage;
    return kExitOk;
  }
  if (command == "extract") return run_extract(rest);
  if (command == "export") return vek::track::cli::run_export(rest);
  if (command == "gpx") return run_gpx(rest);
  if (command == "probe") return run_probe(rest);
  return usage_error("unknown command '" + command + "'");
}

}  // namespace

int main(int argc, char** argv) {
  try {
    vek::base::remove_temporaries_on_signals();
    return run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& e) {
    std::cerr << "vek-track: " << e.what() << "\n";
    return kExitFailed;
  }
}
