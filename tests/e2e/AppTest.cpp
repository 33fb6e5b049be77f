// The real application under Xvfb, with a test page that records what it
// receives and sends the commands it is told to.

#include <gtest/gtest.h>

#include <thread>

#include "AppRun.h"

namespace vek::e2e {
namespace {

RunOptions test_page(std::vector<std::string> plan = {}) {
  return {VEK_TEST_PAGE_DIR, std::move(plan)};
}

std::string report(const std::string& data, const std::string& clips, const std::string& current) {
  return "[" + json_string(data) + "," + json_string(clips) + "," + json_string(current) + "]";
}

TEST(App, FirstLoadCreatesTheLibraryAndReportsAnEmptyList) {
  AppRun app("startup", test_page());
  app.start();
  ASSERT_TRUE(app.wait_for_stderr("vek: finish\n")) << app.err();
  ASSERT_TRUE(app.wait_for_stderr("VEKTEST user_path")) << app.err();
  const auto library = (app.home() / "VEK" / "data").string();
  EXPECT_EQ(app.page_calls("file_list_fun"), std::vector<std::string>{report("", "", "0")});
  EXPECT_EQ(app.page_calls("user_path"), std::vector<std::string>{"[" + json_string(library) + "]"});
  EXPECT_EQ(read_file(app.home() / "VEK" / "data" / "ini.txt"), "km,ENG");
  EXPECT_TRUE(std::filesystem::is_directory(app.home() / "VEK" / "files"));
  EXPECT_NE(app.err().find("vek: rr:1.600000,w:960.000014,h:600.000000,rh:1080.000000"), std::string::npos)
      << app.err();
}

TEST(App, SettingsAndClipLookupRoundTrip) {
  const auto clip_dir = std::filesystem::temp_directory_path() / "vek-e2e-lookup \xE8\xBB\x8A";
  std::filesystem::create_directories(clip_dir);
  const auto clip = clip_dir / "CLIP 1.MOV";
  std::filesystem::copy_file(generated_clip(), clip, std::filesystem::copy_options::overwrite_existing);
  AppRun app("lookup", test_page({"http://save_set/mi,DEU%20x", "http://check_file//nowhere/A.MOV," + clip.string()}));
  app.start();
  ASSERT_TRUE(app.wait_for_stderr("VEKTEST video1_show")) << app.err();
  EXPECT_EQ(app.page_calls("video1_show"), std::vector<std::string>{"[" + json_string(clip.string()) + "]"});
  EXPECT_NE(app.err().find("vek: yes:" + clip.string()), std::string::npos);
  EXPECT_EQ(read_file(app.home() / "VEK" / "data" / "ini.txt"), "mi,DEU%20x");
  EXPECT_TRUE(app.running()) << "commands leave the page in place";
  std::filesystem::remove_all(clip_dir);
}

TEST(App, ClipOnTheCommandLineIsTakenInAfterTheFirstLoad) {
  const auto clip = generated_clip();
  AppRun app("argument", test_page());
  app.start({clip.string()});
  const auto track = app.home() / "VEK" / "data" / "FILE0001.data";
  const std::string data = track.string() + ",";
  const std::string taken_in = report(data, clip.string() + ",", clip.string());
  ASSERT_TRUE(app.wait_for_stderr(taken_in)) << app.err();
  EXPECT_EQ(app.page_calls("file_list_fun").front(), report("", "", "0"));
  EXPECT_NE(read_file(track).find("FILE0001.MOV"), std::string::npos) << "the track names its clip";
}

TEST(App, RemovalReloadsThePageWithTheShortenedList) {
  const auto clip = generated_clip();
  AppRun app("removal", test_page({"http://file_del_fun/" + clip.string() + ","}));
  app.start({clip.string()});
  ASSERT_TRUE(app.wait_for_stderr("vek: del_res1:\n")) << app.err();
  // The first report, the one after the intake, then the one after the reload.
  app.wait_for_calls("file_list_fun", 3);
  const auto calls = app.page_calls("file_list_fun");
  ASSERT_GE(calls.size(), 3U) << app.err();
  EXPECT_EQ(calls.back(), report("", "", "0"));
  EXPECT_TRUE(std::filesystem::exists(app.home() / "VEK" / "data" / "FILE0001.data"));
}

TEST(App, AReloadedPageReadsTheSettingsAsTheyAreNow) {
  AppRun app("settings", test_page({"http://save_set/mi,CHT", "http://file_del_fun/"}));
  app.start();
  app.wait_for_calls("settings", 2);
  const auto reads = app.page_calls("settings");
  ASSERT_EQ(reads.size(), 2U) << app.err();
  EXPECT_EQ(reads[0], "[\"km,ENG\"]");
  EXPECT_EQ(reads[1], "[\"mi,CHT\"]") << "the reload after the removal must not see the file as it was at start";
}

TEST(App, MissingPageIsShownAndLogged) {
  AppRun app("nopage", RunOptions{});
  app.start();
  ASSERT_TRUE(app.wait_for_stderr("vek: page not found: ")) << app.err();
  EXPECT_TRUE(app.wait_for_stderr("vek: finish"));
  EXPECT_TRUE(app.running());
}

TEST(App, NoDisplayEndsWithAMessageAndFailure) {
  AppRun app("nodisplay", test_page());
  app.start({}, {"DISPLAY=:9999"});
  EXPECT_EQ(app.wait_exit(kStartTimeout), 1);
  EXPECT_NE(app.err().find("vek: cannot open the display"), std::string::npos) << app.err();
}

TEST(App, TheRealPageLoadsAndTakesInAClip) {
  const auto clip = generated_clip();
  AppRun app("realpage", RunOptions{VEK_REAL_PAGE_DIR, {}});
  app.start({clip.string()});
  ASSERT_TRUE(app.wait_for_stderr("vek: finish")) << app.err();
  const auto track = app.home() / "VEK" / "data" / "FILE0001.data";
  for (int i = 0; i < 100 && !std::filesystem::exists(track); ++i) {
    app.wait_for_stderr("never", 100ms);
  }
  EXPECT_TRUE(std::filesystem::exists(track));
  EXPECT_TRUE(app.running());
  EXPECT_EQ(app.err().find("CONSOLE JS ERROR"), std::string::npos) << app.err();
}

}  // namespace
}  // namespace vek::e2e
