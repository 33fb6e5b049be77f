// Many clips taken in at once by the real app (as a drag or "Open With" of a
// whole card passes them): when the native side has written every track,
// when the page's list holds every clip, and the longest the page's main
// thread was busy meanwhile and until the page has settled (every track
// read, the trips made and shown). The native side's finish, measured in
// the same run, is the baseline of the list's completion.
// Last, a bare WebKit page starts the same clip as often as a viewer goes from
// clip to clip: the longest task the engine itself takes to start a video.
// Usage: xvfb-run -a vek-list-bench [--clips 500] [--profile] [--tracks-ready]
// (--profile times the page's own functions and lists where the long tasks
// went; the timing itself costs a little. --tracks-ready writes every track
// with vek-track first, as a card taken in before: the intake then lists
// every clip at once and the page gets the whole list in one report, the
// most the page has to take in one go)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "BenchClip.h"
#include "PageProfile.h"
#include "ProbedRun.h"
#include "support/Process.h"
#include "support/ScratchFolder.h"
#include "support/Wait.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::system_clock;

// The targets: the list complete within a second of the native side, and
// no page task longer than 100 ms.
constexpr double kListLagTargetMs = 1000;
constexpr double kTaskTargetMs = 100;
constexpr auto kRunTimeout = 30min;
constexpr int kBareStarts = 6;
constexpr auto kBareTimeout = 2min;

struct Options {
  int clips = 500;
  bool profile = false;
  bool tracks_ready = false;
};

Options parse_options(std::span<char*> arguments) {
  Options options;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string_view flag = arguments[i];
    if (flag == "--profile")
      options.profile = true;
    else if (flag == "--tracks-ready")
      options.tracks_ready = true;
    else if (flag == "--clips" && i + 1 < arguments.size())
      options.clips = std::atoi(arguments[++i]);
    else
      options.clips = 0;
  }
  if (options.clips < 1 || options.clips > 100000)
    throw std::invalid_argument("usage: vek-list-bench [--clips 1..100000] [--profile] [--tracks-ready]");
  return options;
}

std::vector<std::string> card_of(const std::filesystem::path& card, int clips) {
  std::filesystem::create_directories(card);
  const auto clip = vek::bench::make_bench_clip(card / "source.mov", 2, "160x96");
  std::vector<std::string> paths;
  for (int i = 1; i <= clips; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "FILE%05d.MOV", i);
    std::filesystem::create_hard_link(clip, card / name);
    paths.push_back((card / name).string());
  }
  return paths;
}

// Every clip's track, written as the viewer's intake would, before it starts.
void write_tracks(const std::vector<std::string>& paths, const std::filesystem::path& home) {
  std::vector<std::string> argv{VEK_TRACK_BINARY, "extract", "--quiet"};
  argv.insert(argv.end(), paths.begin(), paths.end());
  vek::test::RunOptions options = vek::test::RunOptions::with_timeout(kRunTimeout);
  options.env = vek::test::environment_with({"HOME=" + home.string()});
  const vek::test::RunResult written = vek::test::run_process(argv, options);
  if (!written.ok()) throw std::runtime_error("vek-track could not write the tracks: " + written.describe());
}

double milliseconds_since(Clock::time_point start, double epoch_ms) {
  return epoch_ms -
         static_cast<double>(std::chrono::duration_cast<std::chrono::milliseconds>(start.time_since_epoch()).count());
}

std::vector<std::filesystem::path> probes_for(const Options& options) {
  std::vector<std::filesystem::path> probes{VEK_PROBE_DIR "/list-probe.js"};
  if (options.profile) probes.emplace_back(VEK_PROBE_DIR "/profile-probe.js");
  return probes;
}

void print_list(const vek::test::Json& report, int clips, double native_ms, double list_ms) {
  const double gap = report["longestGapMs"].number();
  std::printf("%d clips: native side done %.2f s after start, page list complete %.2f s after start\n", clips,
              native_ms / 1000, list_ms / 1000);
  std::printf("list lag after native: %.0f ms (ratio to the %.0f ms target %.2f)\n", list_ms - native_ms,
              kListLagTargetMs, (list_ms - native_ms) / kListLagTargetMs);
  if (!report["afterReportMs"].is_null())
    std::printf("page list complete %.0f ms after the last clip-list report reached the page\n",
                report["afterReportMs"].number());
  std::printf("longest page task: %.0f ms (ratio to the %.0f ms target %.2f)%s\n", gap, kTaskTargetMs,
              gap / kTaskTargetMs, report["longestTaskMs"].is_null() ? ", from the heartbeat" : "");
  if (!report["rowsInPage"].is_null())
    std::printf("rows in the page when complete: %.0f of %.0f\n", report["rowsInPage"].number(),
                report["rows"].number());
}

void print_settled(const vek::test::Json& report) {
  const double gap = report["longestGapMs"].number();
  std::printf("page %s %.2f s after its list was complete\n",
              report["settled"].boolean() ? "settled (every track read, trips shown)" : "had not settled",
              report["afterListMs"].number() / 1000);
  std::printf("longest page task after the list was complete: %.0f ms (ratio to the %.0f ms target %.2f)\n", gap,
              kTaskTargetMs, gap / kTaskTargetMs);
  std::printf("the longest page tasks over %.0f ms (start ms+length ms):", kTaskTargetMs);
  for (const auto& entry : report["gaps"].array())
    std::printf(" %.0f+%.0f", entry[0].number(), entry[1].number());
  std::printf("\n");
}

// The idle page's longest heartbeat gap over the run so far.
double idle_longest_gap(const vek::bench::ProbedRun& idle) {
  double longest = 0;
  for (const auto& report : idle.reports("idle"))
    longest = std::max(longest, report["longestGapMs"].number());
  return longest;
}

std::string load_average() {
  std::ifstream file("/proc/loadavg");
  std::string one;
  std::string five;
  file >> one >> five;
  return one + " " + five;
}

// The longest task the engine itself takes to start the same clip in a bare
// page, as the viewer starts clip after clip: the share of a playing list's
// long tasks that no page can avoid.
double bare_video_start_gap(const std::filesystem::path& clip) {
  vek::bench::ProbedRun bare("list-video");
  bare.start_bare("<video playsinline width=\"960\"></video>", {VEK_PROBE_DIR "/video-start-probe.js"},
                  {"{\"starts\": " + std::to_string(kBareStarts) + ", \"clip\": \"file://" + clip.string() + "\"}"});
  const auto report = bare.wait_report("videostart", kBareTimeout);
  if (!report)
    throw std::runtime_error("the bare page never started its clip " + std::to_string(kBareStarts) + " times");
  return (*report)["longestGapMs"].number();
}

// The viewer taking in the card; returns its longest page task.
double measure_viewer(const Options& options, vek::bench::ProbedRun& run, const std::vector<std::string>& paths) {
  // The baseline of a long task: a page doing nothing, at the same time.
  vek::bench::ProbedRun idle("list-idle");
  idle.start_bare("", {VEK_PROBE_DIR "/idle-probe.js"}, {});
  std::printf("load average at start: %s\n", load_average().c_str());
  const auto start = Clock::now();
  run.start_vek(paths, probes_for(options), {"{\"clips\": " + std::to_string(options.clips) + "}"});
  const auto data = run.home() / "VEK" / "data";
  const auto all_written = [&] { return vek::bench::tracks_in(data) >= static_cast<std::size_t>(options.clips); };
  if (!vek::test::wait_until(all_written, kRunTimeout)) throw std::runtime_error("the tracks were not all written");
  const double native_ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  const auto list = run.wait_report("list", kRunTimeout);
  if (!list) throw std::runtime_error("the page's list never held every clip");
  if (options.tracks_ready) std::printf("tracks written beforehand: the list lag includes the app's start\n");
  print_list(*list, options.clips, native_ms, milliseconds_since(start, (*list)["completeAt"].number()));
  const auto settled = run.wait_report("settled", kRunTimeout);
  if (!settled) throw std::runtime_error("the page never reported settling");
  print_settled(*settled);
  std::printf(
      "an idle page meanwhile: longest heartbeat gap %.0f ms (the machine's share of a long task); "
      "load average at end: %s\n",
      idle_longest_gap(idle), load_average().c_str());
  if (options.profile) {
    const auto profile = run.wait_report("profile", 10s);
    if (profile) vek::bench::print_page_profile(*profile, "page tasks");
  }
  return std::max((*list)["longestGapMs"].number(), (*settled)["longestGapMs"].number());
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const Options options = parse_options(std::span<char*>(argv, static_cast<std::size_t>(argc)));
    const vek::test::ScratchFolder card("vek-list-card");
    const std::vector<std::string> paths = card_of(card.path(), options.clips);
    double longest_task = 0;
    {
      vek::bench::ProbedRun run("list");
      if (options.tracks_ready) write_tracks(paths, run.home());
      longest_task = measure_viewer(options, run, paths);
    }
    const double bare = bare_video_start_gap(card.path() / "source.mov");
    std::printf(
        "a bare WebKit page starting the same clip %d times: longest heartbeat gap %.0f ms; "
        "the viewer's longest page task over it: ratio %.2f\n",
        kBareStarts, bare, longest_task / std::max(bare, 1.0));
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vek-list-bench: %s\n", error.what());
    return 1;
  }
}
