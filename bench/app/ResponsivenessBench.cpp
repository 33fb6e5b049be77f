// A card's worth of clips taken in by the real app while its page plays a
// clip: the GTK main loop's worst stall (the app's heartbeat probe) and the
// page's animation-frame interval p95, each against its target and against
// the same figures measured in the same run just before, with the clip
// playing and nothing taken in.
// Last, the bare WebKit window plays the same clip, alone and then while two
// command-line extractions read the same card over and over: the frame
// interval p95 the machine allows a page at best, and under the same reading.
// Usage: xvfb-run -a vek-responsiveness-bench [--clips 200] [--baseline 10] [--size 1280x720] [--clip CLIP]
//        [--profile]
// (--clip plays a clip of your own, long enough for the baseline and the
// intake; --profile times the page's own functions and lists what ran in the
// intake's longest frames; the timing itself costs a little)

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "BenchClip.h"
#include "PageProfile.h"
#include "ProbedRun.h"

namespace {

using namespace std::chrono_literals;

constexpr double kStallTargetMs = 50;
constexpr double kFrameP95TargetMs = 20;
constexpr double kProbeWindowMs = 1000;  // the app's probe reports once a second
constexpr int kDistinctClips = 4;
constexpr int kIntakeAllowanceSeconds = 60;  // the playing clip outlasts the intake
constexpr std::size_t kMostSlowCallbacksShown = 12;

struct Options {
  int clips = 200;
  int baseline_seconds = 10;
  std::string size = "1280x720";
  std::string clip;
  bool profile = false;
};

struct Phase {
  double started_ms = 0;
  double ended_ms = 0;
  double frame_p95_ms = 0;
  double longest_frame_ms = 0;
  double slow_frames = 0;
  double video_seconds = 0;
  double worst_stall_ms = 0;
};

// The probe's "EPOCH_MS STALL_MS" lines: the end of each one-second window.
struct StallWindow {
  double ended_ms = 0;
  double stall_ms = 0;
};

Options parse_options(std::span<char*> arguments) {
  Options options;
  bool valid = true;
  for (std::size_t i = 1; i < arguments.size() && valid; ++i) {
    const std::string_view flag = arguments[i];
    const bool has_value = i + 1 < arguments.size();
    if (flag == "--profile")
      options.profile = true;
    else if (flag == "--clips" && has_value)
      options.clips = std::atoi(arguments[++i]);
    else if (flag == "--baseline" && has_value)
      options.baseline_seconds = std::atoi(arguments[++i]);
    else if (flag == "--size" && has_value)
      options.size = arguments[++i];
    else if (flag == "--clip" && has_value)
      options.clip = arguments[++i];
    else
      valid = false;
  }
  if (!valid || options.clips < 1 || options.clips > 10000 || options.baseline_seconds < 1 ||
      options.baseline_seconds > 600)
    throw std::invalid_argument(
        "usage: vek-responsiveness-bench [--clips 1..10000] [--baseline 1..600] [--size WxH] [--clip CLIP] "
        "[--profile]");
  return options;
}

// A card folder as the app's test cards stand for one: CARD/DCIM with
// `clips` distinctly named hard links of a few clips generated in `sources`.
void make_card(const std::filesystem::path& sources, const std::filesystem::path& dcim, int clips) {
  std::filesystem::create_directories(sources);
  std::filesystem::create_directories(dcim);
  const int distinct = std::min(clips, kDistinctClips);
  std::vector<std::filesystem::path> made;
  made.reserve(static_cast<std::size_t>(distinct));
  for (int k = 0; k < distinct; ++k)
    made.push_back(vek::bench::make_bench_clip(sources / ("SOURCE" + std::to_string(k) + ".MOV"), 10 + k, "320x180"));
  for (int i = 0; i < clips; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "FILE%05d.MOV", i + 1);
    std::filesystem::create_hard_link(made[static_cast<std::size_t>(i) % made.size()], dcim / name);
  }
}

std::vector<StallWindow> read_stalls(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::vector<StallWindow> windows;
  for (StallWindow w; in >> w.ended_ms >> w.stall_ms;)
    windows.push_back(w);
  return windows;
}

}  // namespace

namespace {

// The baseline counts only windows wholly inside it; the intake counts every
// window that overlaps it, so no stall of the intake goes uncounted.
double worst_stall(const std::vector<StallWindow>& windows, const Phase& phase, bool whole_windows) {
  double worst = 0;
  for (const StallWindow& w : windows) {
    const double from = w.ended_ms - kProbeWindowMs;
    const bool counted = whole_windows ? from >= phase.started_ms && w.ended_ms <= phase.ended_ms
                                       : w.ended_ms > phase.started_ms && from < phase.ended_ms;
    if (counted) worst = std::max(worst, w.stall_ms);
  }
  return worst;
}

Phase phase_of(const vek::test::Json& report) {
  Phase phase;
  phase.started_ms = report["startedAt"].number();
  phase.ended_ms = report["endedAt"].number();
  phase.frame_p95_ms = report["p95Ms"].number();
  phase.longest_frame_ms = report["longestMs"].number();
  phase.slow_frames = report["slowFrames"].number();
  phase.video_seconds = report["videoSeconds"].number();
  return phase;
}

void print_figure(const char* what, double intake, double baseline, double target) {
  std::printf(
      "%s: %.1f ms during intake, %.1f ms baseline; ratio intake/baseline %.2f, ratio to the %.0f ms target %.2f\n",
      what, intake, baseline, intake / std::max(baseline, 1.0), target, intake / target);
}

double slow_per_second(const Phase& phase) {
  return phase.slow_frames * 1000 / std::max(phase.ended_ms - phase.started_ms, 1.0);
}

void print_results(const Options& options, const Phase& baseline, const Phase& intake) {
  const double seconds = (intake.ended_ms - intake.started_ms) / 1000;
  const std::string clip = options.clip.empty() ? "a " + options.size + " clip" : options.clip;
  std::printf(
      "%d clips taken in from a card in %.1f s while %s played (video advanced %.1f s; %.1f s in the %d s baseline)\n",
      options.clips, seconds, clip.c_str(), intake.video_seconds, baseline.video_seconds, options.baseline_seconds);
  print_figure("main loop worst stall", intake.worst_stall_ms, baseline.worst_stall_ms, kStallTargetMs);
  print_figure("page frame interval p95", intake.frame_p95_ms, baseline.frame_p95_ms, kFrameP95TargetMs);
  std::printf("longest page frame interval: %.0f ms during intake, %.0f ms baseline\n", intake.longest_frame_ms,
              baseline.longest_frame_ms);
  // How often frames come late tells what the p95 hides: past one in twenty
  // frames the p95 is a late frame's length.
  std::printf("page frames over 25 ms per second: %.1f during intake, %.1f baseline; ratio %.2f\n",
              slow_per_second(intake), slow_per_second(baseline),
              slow_per_second(intake) / std::max(slow_per_second(baseline), 0.1));
}

// The app's own account of its callbacks (FILE.callbacks beside the probe's
// figures): the ones of 20 ms or more during the intake, and its window
// with the worst stall, so a stall can be told apart from our own work.
void print_callbacks(const std::filesystem::path& file, const Phase& intake) {
  std::ifstream in(file);
  std::size_t slow = 0;
  std::string worst_window;
  double worst_stall = -1;
  for (std::string line; std::getline(in, line);) {
    const double at = std::atof(line.c_str());
    if (at < intake.started_ms || at - kProbeWindowMs > intake.ended_ms) continue;
    if (line.find(" slow ") != std::string::npos && ++slow <= kMostSlowCallbacksShown) {
      std::printf("  our callback: %s\n", line.c_str());
    } else if (const auto stall = line.find("stall "); stall != std::string::npos) {
      const double ms = std::atof(line.c_str() + stall + 6);
      if (ms > worst_stall) {
        worst_stall = ms;
        worst_window = line;
      }
    }
  }
  std::printf("our callbacks of 20 ms or more during intake: %zu\nworst window: %s\n", slow, worst_window.c_str());
}

struct Measured {
  Phase baseline;
  Phase intake;
};

std::vector<std::filesystem::path> probes_for(const Options& options) {
  std::vector<std::filesystem::path> probes{VEK_PROBE_DIR "/responsiveness-probe.js"};
  if (options.profile) probes.emplace_back(VEK_PROBE_DIR "/profile-probe.js");
  return probes;
}

// The intake's longest frames against the longest main-thread task in each.
void print_profile(vek::bench::ProbedRun& run, const vek::test::Json& intake) {
  std::printf("the intake's longest frames (start ms+length ms, longest page task in it):");
  for (const auto& frame : intake["longFrames"].array())
    std::printf(" %.0f+%.0f/%.0f", frame[0].number(), frame[1].number(), frame[2].number());
  std::printf("\n");
  const auto profile = run.wait_report("profile", 10s);
  if (profile) vek::bench::print_page_profile(*profile, "intake frames");
}

Measured measure_app(const std::filesystem::path& clip, const std::filesystem::path& cards, const Options& options) {
  vek::bench::ProbedRun run("responsiveness");
  const auto stalls = run.root() / "main-loop.txt";
  const std::string settings = "{\"baselineSeconds\": " + std::to_string(options.baseline_seconds) + "}";
  run.start_vek({clip.string()}, probes_for(options), {settings},
                {"VEK_TEST_CARDS=" + cards.string(), "VEK_MAIN_LOOP_PROBE=" + stalls.string()});
  const auto report = run.wait_report("responsiveness",
                                      std::chrono::seconds(options.baseline_seconds + kIntakeAllowanceSeconds) + 10min);
  if (!report) throw std::runtime_error("no responsiveness report");
  const std::size_t written = vek::bench::tracks_in(run.home() / "VEK" / "data");
  if (written < static_cast<std::size_t>(options.clips) + 1)
    throw std::runtime_error("only " + std::to_string(written) + " tracks were written");
  Measured measured{phase_of((*report)["baseline"]), phase_of((*report)["intake"])};
  const auto windows = read_stalls(stalls);
  if (windows.empty()) throw std::runtime_error("the app wrote no main loop figures");
  measured.baseline.worst_stall_ms = worst_stall(windows, measured.baseline, true);
  measured.intake.worst_stall_ms = worst_stall(windows, measured.intake, false);
  print_results(options, measured.baseline, measured.intake);
  print_callbacks(stalls.string() + ".callbacks", measured.intake);
  if (options.profile) print_profile(run, (*report)["intake"]);
  return measured;
}

// The clips of the card, in name order, dealt out to `ways` lists.
std::vector<std::vector<std::string>> card_clips(const std::filesystem::path& dcim, std::size_t ways) {
  std::vector<std::string> clips;
  for (const auto& entry : std::filesystem::directory_iterator(dcim))
    clips.push_back(entry.path().string());
  std::sort(clips.begin(), clips.end());
  std::vector<std::vector<std::string>> dealt(ways);
  for (std::size_t i = 0; i < clips.size(); ++i)
    dealt[i % ways].push_back(clips[i]);
  return dealt;
}

// The card read again and again by command-line extractions, one per reading
// thread the app's intake uses, until this goes out of scope.
class RepeatedExtraction {
 public:
  RepeatedExtraction(const std::filesystem::path& dcim, const std::filesystem::path& home) {
    const auto env = vek::test::environment_with({"HOME=" + home.string()});
    for (auto& clips : card_clips(dcim, kReadingThreads)) {
      std::vector<std::string> argv{"/bin/sh", "-c", "while :; do \"$0\" extract --force --quiet \"$@\"; done",
                                    VEK_TRACK_BINARY};
      argv.insert(argv.end(), clips.begin(), clips.end());
      readers_.emplace_back(std::make_unique<vek::test::Child>(argv, vek::test::Child::Streams{}, env));
    }
  }

 private:
  static constexpr std::size_t kReadingThreads = 2;
  std::vector<std::unique_ptr<vek::test::Child>> readers_;
};

// The bare WebKit window playing the same clip for the baseline's length,
// once the app has gone: the frame interval this machine allows a page.
double bare_frame_p95(const std::filesystem::path& clip, const Options& options) {
  vek::bench::ProbedRun bare("responsiveness-bare");
  const std::string settings = "{\"seconds\": " + std::to_string(options.baseline_seconds) + "}";
  bare.start_bare("<video src=\"file://" + clip.string() + "\" autoplay playsinline width=\"960\"></video>",
                  {VEK_PROBE_DIR "/playback-probe.js"}, {settings});
  const auto report = bare.wait_report("playback", std::chrono::seconds(options.baseline_seconds) + 3min);
  if (!report) throw std::runtime_error("no playback report from the bare window");
  return (*report)["p95FrameGapMs"].number();
}

double bare_frame_p95_while_reading(const std::filesystem::path& clip, const std::filesystem::path& dcim,
                                    const Options& options) {
  const vek::test::ScratchFolder home("vek-responsiveness-reader");
  const RepeatedExtraction reading(dcim, home.path());
  return bare_frame_p95(clip, options);
}

void run_bench(const Options& options) {
  const vek::test::ScratchFolder folder("vek-responsiveness-clip");
  const int play_seconds = options.baseline_seconds + kIntakeAllowanceSeconds;
  const auto clip = options.clip.empty()
                        ? vek::bench::make_bench_clip(folder / "PLAY0001.MOV", play_seconds, options.size)
                        : std::filesystem::absolute(options.clip);
  const auto cards = folder / "cards";
  const auto dcim = cards / "CARD" / "DCIM";
  make_card(folder / "sources", dcim, options.clips);
  const Measured app = measure_app(clip, cards, options);
  const double bare = bare_frame_p95(clip, options);
  std::printf("bare WebKit frame interval p95: %.1f ms; ratio vek/bare %.2f during intake, %.2f baseline\n", bare,
              app.intake.frame_p95_ms / std::max(bare, 1.0), app.baseline.frame_p95_ms / std::max(bare, 1.0));
  const double reading = bare_frame_p95_while_reading(clip, dcim, options);
  std::printf(
      "bare WebKit frame interval p95 while the card is read from the command line: %.1f ms; "
      "ratio vek during intake/bare while read %.2f\n",
      reading, app.intake.frame_p95_ms / std::max(reading, 1.0));
}

}  // namespace

int main(int argc, char** argv) {
  try {
    run_bench(parse_options(std::span<char*>(argv, static_cast<std::size_t>(argc))));
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vek-responsiveness-bench: %s\n", error.what());
    return 1;
  }
}
