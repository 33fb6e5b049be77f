// A card's worth of clips taken in by the real application: the list fills
// clip by clip with progress, and every track equals what vek-track writes.

#include <gtest/gtest.h>

#include <thread>

#include "AppRun.h"

namespace vek::e2e {
namespace {

namespace fs = std::filesystem;

constexpr int kClips = 30;

std::vector<std::string> card_of_clips(const fs::path& card) {
  fs::create_directories(card);
  std::vector<std::string> clips;
  for (int i = 1; i <= kClips; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "FILE%04d.MOV", i);
    fs::copy_file(generated_clip(), card / name, fs::copy_options::overwrite_existing);
    clips.push_back((card / name).string());
  }
  return clips;
}

TEST(Intake, ThirtyClipsFillTheListOneByOneAndMatchTheCommandLine) {
  AppRun app("intake30", {VEK_TEST_PAGE_DIR, {}});
  const std::vector<std::string> clips = card_of_clips(app.root() / "card");
  app.start(clips);
  ASSERT_TRUE(app.wait_for_stderr("VEKTEST intake_progress [\"finished\",\"30\",\"30\"")) << app.err();
  const std::vector<std::string> reports = app.page_calls("file_list_fun");
  ASSERT_EQ(reports.size(), 1U + kClips) << "the page load's report, then one per clip";
  for (int i = 1; i <= kClips; ++i) {
    const std::string& report = reports.at(static_cast<std::size_t>(i));
    const std::string newest = clips.at(static_cast<std::size_t>(kClips - i));
    EXPECT_NE(report.find(json_string(newest) + "]"), std::string::npos) << "clip " << i << ": " << report;
  }
  const std::vector<std::string> progress = app.page_calls("intake_progress");
  ASSERT_GE(progress.size(), 2U);
  EXPECT_EQ(progress.front().rfind("[\"running\",\"0\",\"30\",\"0\",", 0), 0U) << progress.front();

  // The same clips through vek-track, into another home.
  const fs::path cli_home = app.root() / "cli-home";
  std::string command = "HOME='" + cli_home.string() + "' " + VEK_TRACK_BINARY + " extract --quiet";
  for (const std::string& clip : clips) {
    command += " '" + clip + "'";
  }
  ASSERT_TRUE(run_command(command + " > /dev/null"));
  for (int i = 1; i <= kClips; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "FILE%04d.data", i);
    const std::string expected = read_file(cli_home / "VEK" / "data" / name);
    ASSERT_FALSE(expected.empty()) << name;
    EXPECT_EQ(read_file(app.home() / "VEK" / "data" / name), expected) << name;
  }
  EXPECT_TRUE(app.running()) << "the window stays";
}

}  // namespace
}  // namespace vek::e2e
