#pragma once
// Where WebKit rasterises the page. Without a GPU, GL is software (Mesa's
// llvmpipe): WebKit's GPU rasteriser then runs on the cores the video and the
// page need as well, and its CPU rasteriser draws the same page in less time.

#include <filesystem>

namespace vek::platform {

// True when `dri` holds a render node ("renderD128", ...), the device through
// which GL reaches a GPU.
bool has_render_node(const std::filesystem::path& dri);

// Asks WebKit to rasterise on the CPU when there is no render node, unless
// WEBKIT_SKIA_ENABLE_CPU_RENDERING is set already (the user's choice either
// way). Before the first web view.
void rasterise_on_cpu_without_gpu(const std::filesystem::path& dri = "/dev/dri");

}  // namespace vek::platform
