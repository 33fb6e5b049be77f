#pragma once
// One run of a WebKit program (vek itself, or the bare window as a baseline)
// whose page carries a benchmark probe. The probe reports through the
// console as "VEKBENCH NAME JSON" lines, which WebKit writes to stderr.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/Json.h"
#include "support/Process.h"
#include "support/ScratchFolder.h"

namespace vek::bench {

// What the probe scripts read: `window.VEK_BENCH = {...}`.
struct ProbeSettings {
  std::string json = "{}";
};

class ProbedRun {
 public:
  explicit ProbedRun(const std::string& label);

  // vek from a fresh prefix with its page, the probes first in its <head>.
  void start_vek(const std::vector<std::string>& arguments, const std::vector<std::filesystem::path>& probes,
                 const ProbeSettings& settings, const std::vector<std::string>& env = {});
  // The bare window showing a page of `body` HTML with the probes in its <head>.
  void start_bare(const std::string& body, const std::vector<std::filesystem::path>& probes,
                  const ProbeSettings& settings, const std::vector<std::string>& env = {});

  // The JSON of the probe's first NAME report; nullopt when it did not come
  // within `timeout` or the program ended first (the reason goes to stderr).
  std::optional<test::Json> wait_report(const std::string& name, std::chrono::milliseconds timeout);
  // Every NAME report the probe has written so far, in order.
  std::vector<test::Json> reports(const std::string& name) const;

  const std::filesystem::path& home() const { return home_; }
  const std::filesystem::path& root() const { return scratch_.path(); }

 private:
  std::filesystem::path place_probes(const std::filesystem::path& www, const std::vector<std::filesystem::path>& probes,
                                     const ProbeSettings& settings) const;
  void start(const std::vector<std::string>& argv, const std::vector<std::string>& env);

  test::ScratchFolder scratch_;
  std::filesystem::path home_;
  std::optional<test::Child> child_;
};

}  // namespace vek::bench
