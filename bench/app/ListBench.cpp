// Many clips taken in at once by the real app (as a drag or "Open With" of a
// whole card passes them): when the native side has written every track,
// when the page's list holds every clip, and the longest the page's main
// thread was busy meanwhile. The native side's finish, measured in the same
// run, is the baseline of the list's completion.
// Usage: xvfb-run -a vek-list-bench [--clips 500]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "BenchClip.h"
#include "ProbedRun.h"
#include "support/Wait.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::system_clock;

// The targets: the list complete within a second of the native side, and
// no page task longer than 100 ms.
constexpr double kListLagTargetMs = 1000;
constexpr double kTaskTargetMs = 100;
constexpr auto kRunTimeout = 30min;

int parse_clips(std::span<char*> arguments) {
  if (arguments.size() == 1) return 500;
  const int clips = arguments.size() == 3 && std::string_view(arguments[1]) == "--clips" ? std::atoi(arguments[2]) : 0;
  if (clips < 1 || clips > 100000) throw std::invalid_argument("usage: vek-list-bench [--clips 1..100000]");
  return clips;
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

double milliseconds_since(Clock::time_point start, double epoch_ms) {
  return epoch_ms -
         static_cast<double>(std::chrono::duration_cast<std::chrono::milliseconds>(start.time_since_epoch()).count());
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const int clips = parse_clips(std::span<char*>(argv, static_cast<std::size_t>(argc)));
    vek::bench::ProbedRun run("list");
    const std::vector<std::string> paths = card_of(run.root() / "card", clips);
    const auto start = Clock::now();
    run.start_vek(paths, {VEK_PROBE_DIR "/list-probe.js"}, {"{\"clips\": " + std::to_string(clips) + "}"});
    const auto data = run.home() / "VEK" / "data";
    const auto all_written = [&] { return vek::bench::tracks_in(data) >= static_cast<std::size_t>(clips); };
    if (!vek::test::wait_until(all_written, kRunTimeout)) throw std::runtime_error("the tracks were not all written");
    const double native_ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const auto report = run.wait_report("list", kRunTimeout);
    if (!report) throw std::runtime_error("the page's list never held every clip");
    const double list_ms = milliseconds_since(start, (*report)["completeAt"].number());
    const double gap = (*report)["longestGapMs"].number();
    std::printf("%d clips: native side done %.2f s after start, page list complete %.2f s after start\n", clips,
                native_ms / 1000, list_ms / 1000);
    std::printf("list lag after native: %.0f ms (ratio to the %.0f ms target %.2f)\n", list_ms - native_ms,
                kListLagTargetMs, (list_ms - native_ms) / kListLagTargetMs);
    std::printf("longest page task: %.0f ms (ratio to the %.0f ms target %.2f)%s\n", gap, kTaskTargetMs,
                gap / kTaskTargetMs, (*report)["longestTaskMs"].is_null() ? ", from the heartbeat" : "");
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vek-list-bench: %s\n", error.what());
    return 1;
  }
}
