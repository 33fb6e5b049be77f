#include "media/core/Stamps.h"

#include <array>
#include <cstdio>

namespace vek::media {
namespace {

constexpr std::size_t kStampCapacity = 32;  // longest stamp is 15 characters

std::string format_time(const char* pattern, const std::tm& local) {
  std::array<char, kStampCapacity> out{};
  const std::size_t length = std::strftime(out.data(), out.size(), pattern, &local);
  return std::string(out.data(), length);
}

}  // namespace

std::string snapshot_stamp(const std::tm& local) {
  return format_time("%Y_%m%d_%H%M%S", local);
}

std::string export_stamp(const std::tm& local) {
  return format_time("%Y%m%d_%H%M%S", local);
}

std::string recording_stamp(const std::tm& local) {
  std::array<char, kStampCapacity> day_of_year{};
  std::snprintf(day_of_year.data(), day_of_year.size(), "%02d", local.tm_yday + 1);
  return format_time("%G%m", local) + day_of_year.data() + format_time("%H%M%S", local);
}

std::tm local_now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

}  // namespace vek::media
