#include "app/PagePath.h"

#include <system_error>

namespace vek::app {

std::filesystem::path page_path(const std::filesystem::path& executable) {
  return (executable.parent_path() / VEK_PAGE_FROM_BINDIR / "index.html").lexically_normal();
}

std::filesystem::path absolute_clip_path(const std::filesystem::path& argument) {
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(argument, error);
  return error ? argument : absolute.lexically_normal();
}

}  // namespace vek::app
