// Start-up time of vek against a bare WebKitGTK window showing the same page,
// measured in the same run on the current display: from just before the
// process starts to its first "finish" line (vek: the page has loaded; the
// bare window: WEBKIT_LOAD_FINISHED). The two alternate, each with a fresh
// HOME, after one untimed start of each. The cache folder is shared across
// runs, as on a user's machine, so the GStreamer plugin registry is built once
// by the untimed starts rather than on every start. The bare window loads the
// page that the given vek loads.
// Usage: vek-start-bench [--runs N] [--vek PATH] [--bare PATH]

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "TimedStart.h"
#include "app/PagePath.h"
#include "support/ScratchFolder.h"

namespace {

using namespace std::chrono_literals;

constexpr int kDefaultRuns = 10;
// More would take hours with sanitizers; fewer than one says nothing.
constexpr int kMaxRuns = 1000;
// Generous: a sanitized vek on a loaded machine starts in several seconds.
constexpr auto kStartTimeout = 60s;

struct Options {
  int runs = kDefaultRuns;
  std::string vek = VEK_BINARY;
  std::string bare = VEK_BARE_VIEW;
};

struct Program {
  std::string name;
  std::vector<std::string> argv;
  std::string marker;
  std::vector<double> times;
};

std::optional<int> parse_runs(std::string_view text) {
  int runs = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), runs);
  if (error != std::errc{} || end != text.data() + text.size() || runs < 1 || runs > kMaxRuns) {
    return std::nullopt;
  }
  return runs;
}

std::optional<Options> parse_options(std::span<char*> arguments) {
  Options options;
  for (std::size_t i = 1; i + 1 < arguments.size(); i += 2) {
    const std::string_view flag = arguments[i];
    const char* value = arguments[i + 1];
    if (flag == "--runs") {
      const auto runs = parse_runs(value);
      if (!runs) {
        return std::nullopt;
      }
      options.runs = *runs;
    } else if (flag == "--vek") {
      options.vek = value;
    } else if (flag == "--bare") {
      options.bare = value;
    } else {
      return std::nullopt;
    }
  }
  return arguments.size() % 2 == 1 ? std::optional(options) : std::nullopt;
}

// One timed start; false (with the reason on stderr) when it did not finish.
bool run_once(Program& program, bool counted) {
  // A fresh HOME per start: no library or settings left over from another run.
  const vek::test::ScratchFolder home("vek-start-bench");
  const vek::bench::StartTime time =
      vek::bench::time_until_marker(program.argv, home.path(), program.marker, kStartTimeout);
  if (!time.reached) {
    std::fprintf(stderr, "vek-start-bench: %s\n", time.failure.c_str());
    return false;
  }
  if (counted) {
    program.times.push_back(time.milliseconds);
  }
  return true;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double best(const std::vector<double>& values) {
  return *std::min_element(values.begin(), values.end());
}

void print_results(const Program& bare, const Program& vek, int runs) {
  std::printf("start to first page load, %d runs each, alternating, fresh HOME per run, shared cache\n", runs);
  std::printf("%-8s %12s %12s\n", "program", "median ms", "best ms");
  for (const Program* program : {&bare, &vek}) {
    std::printf("%-8s %12.1f %12.1f\n", program->name.c_str(), median(program->times), best(program->times));
  }
  std::printf("ratio vek/bare: median %.3f, best %.3f\n", median(vek.times) / median(bare.times),
              best(vek.times) / best(bare.times));
}

// Alternates the two, swapping which goes first each round so that neither
// always follows the other's exit.
bool measure(Program& bare, Program& vek, int runs) {
  if (!run_once(bare, false) || !run_once(vek, false)) {
    return false;
  }
  for (int round = 0; round < runs; ++round) {
    Program& first = round % 2 == 0 ? bare : vek;
    Program& second = round % 2 == 0 ? vek : bare;
    if (!run_once(first, true) || !run_once(second, true)) {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const auto options = parse_options(std::span<char*>(argv, static_cast<std::size_t>(argc)));
  if (!options) {
    std::fprintf(stderr, "usage: vek-start-bench [--runs 1..%d] [--vek PATH] [--bare PATH]\n", kMaxRuns);
    return 2;
  }
  if (std::getenv("DISPLAY") == nullptr) {
    std::fputs("vek-start-bench: no DISPLAY; run it under xvfb-run or in a desktop session\n", stderr);
    return 2;
  }
  const std::string page = vek::app::page_path(std::filesystem::weakly_canonical(options->vek)).string();
  Program bare{"bare", {options->bare, page}, "bare: finish\n", {}};
  Program vek{"vek", {options->vek}, "vek: finish\n", {}};
  try {
    const vek::test::ScratchFolder cache("vek-start-bench");
    setenv("XDG_CACHE_HOME", cache.path().c_str(), 1);
    const bool measured = measure(bare, vek, options->runs);
    if (!measured) {
      return 1;
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vek-start-bench: %s\n", error.what());
    return 1;
  }
  print_results(bare, vek, options->runs);
  return 0;
}
