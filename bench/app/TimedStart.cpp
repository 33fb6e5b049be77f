#include "TimedStart.h"

#include <optional>
#include <stdexcept>

#include "support/Process.h"

namespace vek::bench {

StartTime time_until_marker(const std::vector<std::string>& argv, const std::filesystem::path& home,
                            const std::string& marker, std::chrono::milliseconds timeout) {
  using Clock = std::chrono::steady_clock;
  const std::vector<std::string> env = test::environment_with({"HOME=" + home.string()});
  test::Child::Streams streams;
  streams.err_piped = true;
  std::optional<test::Child> program;
  const Clock::time_point start = Clock::now();
  try {
    program.emplace(argv, streams, env);
  } catch (const std::runtime_error& error) {
    return {false, 0, error.what()};
  }
  const bool reached = program->read_err_until(marker, timeout);
  const std::chrono::duration<double, std::milli> elapsed = Clock::now() - start;
  if (!reached) {
    return {false, 0, argv.front() + " did not write \"" + marker + "\"; its last output:\n" + program->err_read()};
  }
  return {true, elapsed.count(), ""};
}

}  // namespace vek::bench
