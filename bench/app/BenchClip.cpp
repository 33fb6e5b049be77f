#include "BenchClip.h"

#include <chrono>
#include <stdexcept>

#include "support/Process.h"

namespace vek::bench {

std::filesystem::path make_bench_clip(const std::filesystem::path& out, int seconds, const std::string& size) {
  const test::RunResult made =
      test::run_process({"python3", VEK_FIXTURE_TOOL, "--kind", "freegps", "--seconds", std::to_string(seconds),
                         "--size", size, "--fps", "30", "--out", out.string(), "--json", out.string() + ".json"},
                        test::RunOptions::with_timeout(std::chrono::minutes(20)));
  if (!made.ok()) throw std::runtime_error("the fixture tool could not make " + out.string() + ": " + made.describe());
  return out;
}

std::size_t tracks_in(const std::filesystem::path& folder) {
  std::size_t n = 0;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error))
    n += entry.path().extension() == ".data" ? 1U : 0U;
  return n;
}

}  // namespace vek::bench
