#pragma once
// Start of GTK, GStreamer and GES for the process.

namespace vek::platform {

// False when there is no display to show a window on.
bool init_toolkits(int& argc, char**& argv);

}  // namespace vek::platform
