// The application among other windows: a real drag from another window, and
// closing through a window manager.

#include <gtest/gtest.h>

#include <thread>

#include "AppRun.h"
#include "Drag.h"

namespace vek::e2e {
namespace {

// Seconds a window manager may take to start under a loaded test machine.
constexpr int kCloseAttempts = 20;

RunOptions test_page() {
  return {VEK_TEST_PAGE_DIR, {}};
}

std::string report(const std::string& data, const std::string& clips, const std::string& current) {
  return "[" + json_string(data) + "," + json_string(clips) + "," + json_string(current) + "]";
}

TEST(Desktop, ADragOfAClipIsTakenInOnce) {
  const auto clip = generated_clip();
  AppRun app("drag", test_page());
  app.start();
  ASSERT_TRUE(app.wait_for_stderr("vek: finish")) << app.err();
  Drag drag(app, {clip.string()});
  const auto track = app.home() / "VEK" / "data" / "FILE0001.data";
  const std::string taken_in = report(track.string() + ",", clip.string() + ",", clip.string());
  EXPECT_TRUE(app.wait_for_stderr(taken_in, 20s)) << "taken in while the drag hovers\n" << app.err();
  drag.drop();
  EXPECT_EQ(app.page_calls("file_list_fun"), (std::vector<std::string>{report("", "", "0"), taken_in}));
  EXPECT_TRUE(std::filesystem::exists(track));
  EXPECT_TRUE(app.running()) << "the drop did not replace the page";
}

TEST(Desktop, ClosingTheWindowEndsWithStatusZero) {
  AppRun app("close", test_page());
  const Helper window_manager({"openbox"}, app.root() / "openbox.err");
  app.start();
  ASSERT_TRUE(app.wait_for_stderr("vek: finish")) << app.err();
  // The window manager may still be starting: ask again until it closes.
  std::optional<int> status;
  for (int attempt = 0; attempt < kCloseAttempts && !status; ++attempt) {
    // A key chained after a window search goes to that window itself, past the
    // window manager's bindings, so the shortcut is sent on its own.
    run_command("xdotool search --sync --onlyvisible --name '^VEK$' windowactivate --sync");
    run_command("xdotool key --clearmodifiers alt+F4");
    status = app.wait_exit(1s);
  }
  EXPECT_EQ(status, 0) << app.err();
}

}  // namespace
}  // namespace vek::e2e
