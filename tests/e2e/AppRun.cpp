#include "AppRun.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "support/Json.h"
#include "support/ScratchFolder.h"
#include "support/Wait.h"

namespace vek::e2e {
namespace {

constexpr auto kPoll = 50ms;
// A clip long enough to hold two seconds of camera data, quick to encode.
constexpr int kClipSeconds = 2;

void install_with_cmake(const std::filesystem::path& prefix) {
  const test::RunResult result =
      test::run_process({VEK_CMAKE, "--install", VEK_BUILD_DIR, "--prefix", prefix.string()});
  if (!result.ok()) throw std::runtime_error("cannot install into " + prefix.string() + ": " + result.describe());
}

// What the app needs from the test's environment; HOME is its own.
constexpr const char* kPassedVariables[] = {
    "PATH",         "DISPLAY",       "XAUTHORITY", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR",
    "ASAN_OPTIONS", "UBSAN_OPTIONS", "LANG"};

bool overridden(const std::string& name, const std::vector<std::string>& extra) {
  for (const std::string& entry : extra) {
    if (entry.starts_with(name + "=")) {
      return true;
    }
  }
  return false;
}

std::vector<std::string> child_environment(const std::filesystem::path& home, const std::vector<std::string>& extra) {
  std::vector<std::string> env{"HOME=" + home.string()};
  for (const char* name : kPassedVariables) {
    const char* value = std::getenv(name);
    if (value != nullptr && !overridden(name, extra)) {
      env.push_back(std::string(name) + "=" + value);
    }
  }
  env.insert(env.end(), extra.begin(), extra.end());
  return env;
}

}  // namespace

std::string read_file(const std::filesystem::path& path) {
  return test::ScratchFolder::read(path);
}

std::string json_string(const std::string& text) {
  return test::json_quote(text);
}

AppRun::AppRun(const std::string& name, RunOptions options)
    : root_(std::filesystem::temp_directory_path() / ("vek-e2e-" + name + "-" + std::to_string(getpid()))),
      home_(root_ / "home"),
      prefix_(root_ / "prefix") {
  std::filesystem::remove_all(root_);
  std::filesystem::create_directories(home_);
  install(options);
}

AppRun::~AppRun() {
  // The app's group goes first, so that its web processes stop writing into
  // the HOME that is removed next.
  child_.reset();
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

void AppRun::install(const RunOptions& options) {
  if (options.cmake_install) {
    install_with_cmake(prefix_);
    return;
  }
  std::filesystem::create_directories(prefix_ / "bin");
  std::filesystem::copy_file(VEK_BINARY, prefix_ / "bin" / "vek");
  std::filesystem::permissions(prefix_ / "bin" / "vek", std::filesystem::perms::owner_all);
  if (options.page_dir.empty()) {
    return;
  }
  const auto www = prefix_ / "share" / "vek" / "www";
  std::filesystem::create_directories(www);
  std::filesystem::copy(options.page_dir, www, std::filesystem::copy_options::recursive);
  // The test page reads settings with the viewer's own code.
  std::filesystem::create_directories(www / "js");
  for (const char* script : {"paths.js", "settings.js"}) {
    std::filesystem::copy(std::filesystem::path(VEK_REAL_PAGE_DIR) / "js" / script, www / "js" / script,
                          std::filesystem::copy_options::skip_existing);
  }
  std::ofstream plan(www / "plan.js");
  plan << "window.VEK_PLAN = [";
  for (const std::string& command : options.plan) {
    plan << json_string(command) << ",";
  }
  plan << "];\n";
}

void AppRun::start(const std::vector<std::string>& arguments, const std::vector<std::string>& extra_env) {
  std::vector<std::string> argv{(prefix_ / "bin" / "vek").string()};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  child_.emplace(argv, test::Child::Streams{root_ / "stdout", root_ / "stderr"}, child_environment(home_, extra_env));
}

bool run_command(const std::string& command) {
  return test::run_process({"sh", "-c", command}).ok();
}

bool AppRun::running() {
  return child_ && child_->running();
}

std::optional<int> AppRun::wait_exit(std::chrono::milliseconds timeout) {
  return child_ ? child_->wait_exit(timeout) : std::nullopt;
}

bool AppRun::wait_for(const std::filesystem::path& file, const std::string& text, std::chrono::milliseconds timeout) {
  const auto holds = [&] { return read_file(file).find(text) != std::string::npos; };
  // An app that has ended writes nothing more: no need to wait out the timeout.
  return test::wait_until([&] { return holds() || !running(); }, timeout, kPoll) && holds();
}

bool AppRun::wait_for_calls(const std::string& name, std::size_t count, std::chrono::milliseconds timeout) {
  const auto enough = [&] { return page_calls(name).size() >= count; };
  return test::wait_until([&] { return enough() || !running(); }, timeout, kPoll) && enough();
}

bool AppRun::wait_for_stderr(const std::string& text, std::chrono::milliseconds timeout) {
  return wait_for(root_ / "stderr", text, timeout);
}

std::string AppRun::out() const {
  return read_file(root_ / "stdout");
}

std::string AppRun::err() const {
  return read_file(root_ / "stderr");
}

std::vector<std::string> AppRun::page_calls(const std::string& name) const {
  std::vector<std::string> calls;
  std::istringstream lines(err());
  const std::string marker = "VEKTEST " + name + " ";
  for (std::string line; std::getline(lines, line);) {
    const std::size_t at = line.find(marker);
    if (at != std::string::npos) {
      calls.push_back(line.substr(at + marker.size()));
    }
  }
  return calls;
}

// The folder of generated clips, removed when the test process ends.
struct ClipFolder {
  ClipFolder() : path(std::filesystem::temp_directory_path() / ("vek-e2e-clips-" + std::to_string(getpid()))) {
    std::filesystem::create_directories(path);
  }
  ClipFolder(const ClipFolder&) = delete;
  ClipFolder& operator=(const ClipFolder&) = delete;
  ~ClipFolder() { std::filesystem::remove_all(path); }
  std::filesystem::path path;
};

std::filesystem::path generated_clip() {
  static const ClipFolder folder;
  static const std::filesystem::path clip = [] {
    const auto& dir = folder.path;
    const auto path = dir / "FILE0001.MOV";
    const test::RunResult made =
        test::run_process({"python3", VEK_FIXTURE_TOOL, "--kind", "freegps", "--seconds", std::to_string(kClipSeconds),
                           "--out", path.string(), "--json", (dir / "FILE0001.json").string()});
    if (!made.ok()) throw std::runtime_error("cannot make a test clip: " + made.describe());
    return path;
  }();
  return clip;
}

}  // namespace vek::e2e
