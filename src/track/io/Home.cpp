#include "track/io/Home.h"

#include <pwd.h>
#include <unistd.h>
#include <cstdlib>
#include <vector>

namespace vek::track::io {

std::filesystem::path home_directory() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  constexpr std::size_t kFallbackBuffer = 16384;  // when sysconf gives no size hint
  const long hint = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(hint > 0 ? static_cast<std::size_t>(hint) : kFallbackBuffer);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr)
    return found->pw_dir;
  return "/";
}

}  // namespace vek::track::io
