#include "AppRun.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace vek::e2e {
namespace {

constexpr auto kPoll = 50ms;
// A clip long enough to hold two seconds of camera data, quick to encode.
constexpr int kClipSeconds = 2;

void install_with_cmake(const std::filesystem::path& prefix, const std::filesystem::path& log) {
  const std::string command = std::string("'") + VEK_CMAKE + "' --install '" + VEK_BUILD_DIR + "' --prefix '" +
                              prefix.string() + "' > '" + log.string() + "' 2>&1";
  if (std::system(command.c_str()) != 0) {
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    throw std::runtime_error("cannot install: " + command + "\n" + text.str());
  }
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

std::vector<char*> pointers(std::vector<std::string>& texts) {
  std::vector<char*> list;
  for (std::string& text : texts) {
    list.push_back(text.data());
  }
  list.push_back(nullptr);
  return list;
}

pid_t spawn(std::vector<std::string> argv_texts, std::vector<std::string> env_texts, const std::filesystem::path& out,
            const std::filesystem::path& err) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  // Its own process group, so that ending it also ends the web processes it
  // started before they write into a HOME that is being removed.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  std::vector<char*> argv = pointers(argv_texts);
  std::vector<char*> envp = pointers(env_texts);
  pid_t pid = -1;
  const int error = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), envp.data());
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    throw std::runtime_error("cannot start " + argv_texts[0]);
  }
  return pid;
}

}  // namespace

std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string json_string(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out.push_back('\\');
    }
    out.push_back(c);
  }
  return out + "\"";
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
  if (pid_ > 0) {
    kill(-pid_, SIGKILL);
    if (!status_) {
      waitpid(pid_, nullptr, 0);
    }
  }
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

void AppRun::install(const RunOptions& options) {
  if (options.cmake_install) {
    install_with_cmake(prefix_, root_ / "install.log");
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
  pid_ = spawn(argv, child_environment(home_, extra_env), root_ / "stdout", root_ / "stderr");
}

Helper::Helper(const std::vector<std::string>& argv, const std::filesystem::path& stderr_file)
    : pid_(spawn(argv, child_environment(std::getenv("HOME") != nullptr ? std::getenv("HOME") : "/", {}), "/dev/null",
                 stderr_file)) {}

Helper::~Helper() {
  kill(-pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
}

bool run_command(const std::string& command) {
  return std::system(command.c_str()) == 0;
}

bool AppRun::running() {
  if (status_) {
    return false;
  }
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) == pid_) {
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return false;
  }
  return true;
}

std::optional<int> AppRun::wait_exit(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (running() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(kPoll);
  }
  return status_;
}

bool AppRun::wait_for(const std::filesystem::path& file, const std::string& text, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (read_file(file).find(text) != std::string::npos) {
      return true;
    }
    if (!running()) {
      return read_file(file).find(text) != std::string::npos;
    }
    std::this_thread::sleep_for(kPoll);
  }
  return false;
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
    const std::string command = "python3 " VEK_FIXTURE_TOOL " --kind freegps --seconds " +
                                std::to_string(kClipSeconds) + " --out " + path.string() + " --json " +
                                (dir / "FILE0001.json").string() + " > /dev/null 2>&1";
    if (std::system(command.c_str()) != 0) {
      throw std::runtime_error("cannot make a test clip: " + command);
    }
    return path;
  }();
  return clip;
}

}  // namespace vek::e2e
