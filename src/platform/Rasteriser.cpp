#include "platform/Rasteriser.h"

#include <cstdlib>
#include <string_view>
#include <system_error>

namespace vek::platform {

bool has_render_node(const std::filesystem::path& dri) {
  std::error_code error;
  for (std::filesystem::directory_iterator it(dri, error), end; !error && it != end; it.increment(error)) {
    if (std::string_view(it->path().filename().native()).starts_with("renderD")) {
      return true;
    }
  }
  return false;
}

void rasterise_on_cpu_without_gpu(const std::filesystem::path& dri) {
  constexpr const char* kCpuRendering = "WEBKIT_SKIA_ENABLE_CPU_RENDERING";
  if (std::getenv(kCpuRendering) == nullptr && !has_render_node(dri)) {
    ::setenv(kCpuRendering, "1", 0);
  }
}

}  // namespace vek::platform
