#include "ProbedRun.h"

#include <iostream>
#include <limits>
#include <sstream>
#include <stdexcept>

#include "support/Wait.h"

namespace vek::bench {
namespace {

constexpr const char* kReportMarker = "VEKBENCH ";

// The probe tags, to stand first in a page's <head>.
std::string probe_tags(const std::vector<std::filesystem::path>& probes) {
  std::string tags = "<script src=\"bench-settings.js\"></script>";
  for (const auto& probe : probes)
    tags += "<script src=\"" + probe.filename().string() + "\"></script>";
  return tags;
}

// The NAME reports in `output`, the first `most` of them.
std::vector<test::Json> reports_in(const std::string& output, const std::string& name, std::size_t most) {
  std::vector<test::Json> found;
  std::istringstream lines(output);
  const std::string marker = kReportMarker + name + " ";
  for (std::string line; found.size() < most && std::getline(lines, line);) {
    const std::size_t at = line.find(marker);
    if (at == std::string::npos) continue;
    auto report = test::Json::parse(std::string_view(line).substr(at + marker.size()));
    if (report) found.push_back(std::move(*report));
  }
  return found;
}

std::optional<test::Json> report_in(const std::string& output, const std::string& name) {
  auto found = reports_in(output, name, 1);
  if (found.empty()) return std::nullopt;
  return std::move(found.front());
}

}  // namespace

ProbedRun::ProbedRun(const std::string& label) : scratch_("vek-bench-" + label), home_(scratch_ / "home") {
  std::filesystem::create_directories(home_);
}

std::filesystem::path ProbedRun::place_probes(const std::filesystem::path& www,
                                              const std::vector<std::filesystem::path>& probes,
                                              const ProbeSettings& settings) const {
  for (const auto& probe : probes)
    std::filesystem::copy_file(probe, www / probe.filename(), std::filesystem::copy_options::overwrite_existing);
  scratch_.write(std::filesystem::relative(www / "bench-settings.js", scratch_.path()).string(),
                 "window.VEK_BENCH = " + settings.json + ";\n");
  return www;
}

void ProbedRun::start_vek(const std::vector<std::string>& arguments, const std::vector<std::filesystem::path>& probes,
                          const ProbeSettings& settings, const std::vector<std::string>& env) {
  const auto prefix = scratch_ / "prefix";
  const auto www = prefix / "share" / "vek" / "www";
  std::filesystem::create_directories(prefix / "bin");
  std::filesystem::create_directories(www.parent_path());
  std::filesystem::copy_file(VEK_BINARY, prefix / "bin" / "vek");
  std::filesystem::copy(VEK_WWW_BUILD_DIR, www, std::filesystem::copy_options::recursive);
  place_probes(www, probes, settings);
  std::string page = test::ScratchFolder::read(www / "index.html");
  const std::size_t head = page.find("<head>");
  if (head == std::string::npos) throw std::runtime_error("the page has no <head>");
  page.insert(head + 6, probe_tags(probes));
  scratch_.write("prefix/share/vek/www/index.html", page);
  std::vector<std::string> argv{(prefix / "bin" / "vek").string()};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  start(argv, env);
}

void ProbedRun::start_bare(const std::string& body, const std::vector<std::filesystem::path>& probes,
                           const ProbeSettings& settings, const std::vector<std::string>& env) {
  const auto www = scratch_ / "bare";
  std::filesystem::create_directories(www);
  place_probes(www, probes, settings);
  scratch_.write("bare/index.html", "<!DOCTYPE html><html><head><meta charset=\"utf-8\">" + probe_tags(probes) +
                                        "</head><body style=\"margin:0;background:#000\">" + body + "</body></html>");
  start({VEK_BARE_VIEW, "--stay", (www / "index.html").string()}, env);
}

void ProbedRun::start(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
  std::vector<std::string> overrides{"HOME=" + home_.string()};
  overrides.insert(overrides.end(), env.begin(), env.end());
  child_.emplace(argv, test::Child::Streams{scratch_ / "stdout", scratch_ / "stderr"},
                 test::environment_with(overrides));
}

std::vector<test::Json> ProbedRun::reports(const std::string& name) const {
  return reports_in(test::ScratchFolder::read(scratch_ / "stderr"), name, std::numeric_limits<std::size_t>::max());
}

std::optional<test::Json> ProbedRun::wait_report(const std::string& name, std::chrono::milliseconds timeout) {
  std::optional<test::Json> report;
  const auto arrived = [&] {
    // WebKit writes the page's console lines to the program's stderr.
    report = report_in(test::ScratchFolder::read(scratch_ / "stderr"), name);
    return report.has_value() || !child_ || !child_->running();
  };
  test::wait_until(arrived, timeout, std::chrono::milliseconds(20));
  if (!report) {
    const std::string err = test::ScratchFolder::read(scratch_ / "stderr");
    std::cerr << "no " << name << " report; the program's last words:\n"
              << err.substr(err.size() > 3000 ? err.size() - 3000 : 0) << "\n";
  }
  return report;
}

}  // namespace vek::bench
