#pragma once
// A real XDND drag of files onto the application's window: a second window
// offers the files as a file manager does, and xdotool moves the pointer.

#include <filesystem>
#include <string>
#include <vector>

#include "AppRun.h"

namespace vek::e2e {

class Drag {
 public:
  // Picks the files up in the source window and hovers over the app's
  // window, where the app takes them in before the drop.
  Drag(const AppRun& app, const std::vector<std::string>& files);
  Drag(const Drag&) = delete;
  Drag& operator=(const Drag&) = delete;

  // Releases the files over the app's window and waits until the window
  // has finished the drop, as the source is told.
  void drop();

 private:
  std::filesystem::path log_;
  Helper source_;
};

}  // namespace vek::e2e
