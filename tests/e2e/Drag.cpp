#include "Drag.h"

#include <gtest/gtest.h>

#include <thread>

#include "support/Wait.h"

namespace vek::e2e {
namespace {

// Where the drag source (DragSource.cpp) puts its window, and a point inside
// the app's window, which starts at the screen's top-left corner.
constexpr const char* kSourcePoint = "1450 250";
constexpr const char* kPathPoints[] = {"1440 260", "1200 300", "800 300", "500 320", "480 330"};
constexpr const char* kDropPoint = "470 340";

void mouse(const std::string& action) {
  ASSERT_TRUE(run_command("xdotool " + action));
  std::this_thread::sleep_for(150ms);
}

std::vector<std::string> source_command(const std::vector<std::string>& files) {
  std::vector<std::string> argv{VEK_DRAG_SOURCE};
  argv.insert(argv.end(), files.begin(), files.end());
  return argv;
}

// A drop that neither side finished within this is a fault of its own.
constexpr auto kSourceTimeout = 20s;

}  // namespace

Drag::Drag(const AppRun& app, const std::vector<std::string>& files)
    : log_(app.root() / "source.err"), source_(source_command(files), log_) {
  const bool shown =
      test::wait_until([&] { return read_file(log_).find("ready") != std::string::npos; }, kSourceTimeout);
  EXPECT_TRUE(shown) << "the drag source's window was never shown";
  mouse(std::string("mousemove ") + kSourcePoint + " mousedown 1");
  for (const char* point : kPathPoints) {
    mouse(std::string("mousemove ") + point);
  }
}

void Drag::drop() {
  mouse(std::string("mousemove ") + kDropPoint);
  mouse("mouseup 1");
  const bool ended =
      test::wait_until([&] { return read_file(log_).find("ended") != std::string::npos; }, kSourceTimeout);
  EXPECT_TRUE(ended) << "the window never finished the drop";
}

}  // namespace vek::e2e
