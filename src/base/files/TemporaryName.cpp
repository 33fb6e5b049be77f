#include "base/files/TemporaryName.h"

#include <unistd.h>

#include <atomic>
#include <charconv>
#include <random>

namespace vek::base {
namespace {

// The older writer named its temporaries ".NAME.tmp-PID-COUNTER-RANDOM".
constexpr std::string_view kOlderMarker = ".tmp-";

std::optional<pid_t> leading_pid(std::string_view text) {
  pid_t pid = 0;
  const auto [end, code] = std::from_chars(text.data(), text.data() + text.size(), pid);
  if (code != std::errc() || end == text.data() || pid <= 0 || end == text.data() + text.size() || *end != '-') {
    return std::nullopt;
  }
  return pid;
}

}  // namespace

std::string temporary_name() {
  static std::atomic<unsigned> serial{0};
  thread_local std::mt19937 random{std::random_device{}()};
  std::string name(kTemporaryPrefix);
  name += std::to_string(::getpid());
  name += '-';
  name += std::to_string(serial++);
  name += '-';
  name += std::to_string(random() % 1000000U);
  return name;
}

std::optional<pid_t> temporary_owner(std::string_view name) {
  if (name.starts_with(kTemporaryPrefix)) {
    return leading_pid(name.substr(kTemporaryPrefix.size()));
  }
  const std::size_t marker = name.rfind(kOlderMarker);
  if (name.starts_with('.') && marker != std::string_view::npos && marker > 1) {
    return leading_pid(name.substr(marker + kOlderMarker.size()));
  }
  return std::nullopt;
}

}  // namespace vek::base
