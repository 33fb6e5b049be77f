// Media work against ffmpeg doing the same on the same clips, measured in the
// same run: a frame snapshot at random positions of one clip, and a merged
// export of three clips, and the exports with options of three clips (overlay
// against plain re-encoding, original-quality join against ffmpeg's stream
// copy and against re-encoding). Clips come from the project's fixture tool.
// Usage: vek-media-bench [--runs N] [--seconds S] [--size WxH] [--dir PATH] [--only snapshot|merge|exports]

#include <ges/ges.h>
#include <gst/gst.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "ExportBench.h"
#include "MergeBench.h"
#include "SnapshotBench.h"
#include "Spawn.h"

namespace {

constexpr int kMaxRuns = 1000;    // beyond this a run takes hours
constexpr int kMaxSeconds = 600;  // per clip; the fixture tool writes testsrc2 at about real time
constexpr int kMergedClips = 3;
constexpr double kSnapshotTarget = 1.5;
constexpr double kMergeTarget = 1.3;
constexpr double kOverlayTarget = 1.25;    // overlay export against the plain re-encoding one
constexpr double kCopyTarget = 1.5;        // original-quality join against ffmpeg's stream copy
constexpr double kCopySpeedupTarget = 10;  // re-encoding export against the original-quality join

struct Options {
  int runs = 7;
  int seconds = 10;
  std::string size = "1920x1080";
  std::filesystem::path dir = std::filesystem::temp_directory_path();
  std::string only;  // empty: both
};

std::optional<int> parse_count(std::string_view text, int most) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || value < 1 || value > most) {
    return std::nullopt;
  }
  return value;
}

bool apply_count(int& field, std::string_view value, int most) {
  const auto count = parse_count(value, most);
  field = count.value_or(0);
  return count.has_value();
}

bool apply_option(Options& options, std::string_view flag, const char* value) {
  if (flag == "--runs") {
    return apply_count(options.runs, value, kMaxRuns);
  }
  if (flag == "--seconds") {
    return apply_count(options.seconds, value, kMaxSeconds);
  }
  if (flag == "--size") {
    options.size = value;
  } else if (flag == "--dir") {
    options.dir = value;
  } else if (flag == "--only" && (std::string_view(value) == "snapshot" || std::string_view(value) == "merge" ||
                                  std::string_view(value) == "exports")) {
    options.only = value;
  } else {
    return false;
  }
  return true;
}

std::optional<Options> parse_options(std::span<char*> arguments) {
  Options options;
  if (arguments.size() % 2 == 0) {
    return std::nullopt;
  }
  for (std::size_t i = 1; i + 1 < arguments.size(); i += 2) {
    if (!apply_option(options, arguments[i], arguments[i + 1])) {
      return std::nullopt;
    }
  }
  return options;
}

std::filesystem::path make_clip(const Options& options, const std::filesystem::path& folder, int seed) {
  const auto clip = folder / ("clip" + std::to_string(seed) + ".MOV");
  if (!vek::bench::run_program({"python3", VEK_SOURCE_DIR "/tools/vek-fixture.py", "--kind", "freegps", "--seconds",
                                std::to_string(options.seconds), "--size", options.size, "--audio", "--seed",
                                std::to_string(seed), "--out", clip.string(), "--json", clip.string() + ".json"})) {
    throw std::runtime_error("the fixture tool could not make " + clip.string());
  }
  return clip;
}

void report(const char* what, const vek::bench::Rounds& rounds, double target) {
  const double ours = vek::bench::median(rounds.ours);
  const double ffmpeg = vek::bench::median(rounds.ffmpeg);
  std::printf("%s: ours median %.3f s, ffmpeg median %.3f s (%zu rounds)\n", what, ours, ffmpeg, rounds.ours.size());
  std::printf("%s ratio ours/ffmpeg: median %.3f (target <= %.1f)\n", what, ours / ffmpeg, target);
  std::fflush(stdout);
}

void report_exports(const vek::bench::ExportRounds& rounds) {
  using vek::bench::median;
  const double reencode = median(rounds.reencode);
  const double overlay = median(rounds.overlay);
  const double copy = median(rounds.copy);
  const double ffmpeg_copy = median(rounds.ffmpeg_copy);
  std::printf(
      "exports: re-encode median %.3f s, overlay %.3f s, copy join %.3f s, ffmpeg -c copy %.3f s (%zu rounds)\n",
      reencode, overlay, copy, ffmpeg_copy, rounds.copy.size());
  std::printf("overlay ratio overlay/re-encode: median %.3f (target <= %.2f)\n", overlay / reencode, kOverlayTarget);
  std::printf("copy ratio ours/ffmpeg: median %.3f (target <= %.1f)\n", copy / ffmpeg_copy, kCopyTarget);
  std::printf("copy speed-up re-encode/copy: median %.1f (target >= %.0f)\n", reencode / copy, kCopySpeedupTarget);
  std::fflush(stdout);
}

std::vector<std::filesystem::path> make_clips(const Options& options, const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> clips;
  for (int seed = 1; seed <= kMergedClips; ++seed) {
    clips.push_back(make_clip(options, folder, seed));
  }
  return clips;
}

void run_benchmarks(const Options& options, const std::filesystem::path& folder) {
  std::printf("clips: %s, %d s each, with sound\n", options.size.c_str(), options.seconds);
  if (options.only.empty() || options.only == "snapshot") {
    const auto clip = make_clip(options, folder, 1);
    report("snapshot", vek::bench::bench_snapshot(clip, options.seconds, options.runs, folder), kSnapshotTarget);
  }
  if (options.only.empty() || options.only == "merge") {
    report("merge", vek::bench::bench_merge(make_clips(options, folder), options.runs, folder), kMergeTarget);
  }
  if (options.only.empty() || options.only == "exports") {
    report_exports(vek::bench::bench_exports(make_clips(options, folder), options.runs, folder));
  }
}

}  // namespace

int main(int argc, char** argv) {
  const auto options = parse_options(std::span<char*>(argv, static_cast<std::size_t>(argc)));
  if (!options) {
    std::fprintf(stderr,
                 "usage: vek-media-bench [--runs 1..%d] [--seconds 1..%d] [--size WxH] [--dir PATH] "
                 "[--only snapshot|merge|exports]\n",
                 kMaxRuns, kMaxSeconds);
    return 2;
  }
  gst_init(nullptr, nullptr);
  ges_init();
  std::string pattern = (options->dir / "vek-media-bench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::fprintf(stderr, "vek-media-bench: cannot make a folder in %s\n", options->dir.c_str());
    return 1;
  }
  int status = 0;
  try {
    run_benchmarks(*options, pattern);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vek-media-bench: %s\n", error.what());
    status = 1;
  }
  std::filesystem::remove_all(pattern);
  return status;
}
