#include "media/gst/GstScreenRecorder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <thread>

#include "MediaTestSupport.h"

namespace vek::media {
namespace {

using namespace std::chrono_literals;
using vek::test::ScratchFolder;

constexpr auto kRecordSpan = 1500ms;  // long enough for dozens of frames on a loaded machine
constexpr auto kPauseSpan = 2000ms;

class ScreenRecorderTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { testing::init_media(); }

  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) {
      GTEST_SKIP() << "no X display (run under xvfb-run)";
    }
    if (const std::string missing = testing::missing_element({"ximagesrc", "x264enc", "qtmux", "qtdemux"});
        !missing.empty()) {
      GTEST_SKIP() << "GStreamer element missing: " << missing;
    }
  }

  // A finished recording: a QuickTime movie with H.264 video that plays.
  static void expect_playable(const std::filesystem::path& file) {
    SCOPED_TRACE(file.filename().string());
    const auto found = testing::discover(file);
    ASSERT_TRUE(found.has_value()) << "does not play";
    EXPECT_EQ(found->container, "video/quicktime");
    EXPECT_EQ(found->video_codec, "video/x-h264");
    EXPECT_GT(found->duration, 0U);
  }

  static GstClockTime duration_of(const std::filesystem::path& file) {
    const auto found = testing::discover(file);
    return found.has_value() ? found->duration : 0;
  }

  ScratchFolder out_;
  std::unique_ptr<ScreenRecorder> recorder_ = std::make_unique<GstScreenRecorder>();
};

TEST_F(ScreenRecorderTest, StopLeavesOneFinishedFileAndNoTemporary) {
  const auto file = out_ / "Recording-20263390203307.mov";
  recorder_->start(file);
  std::this_thread::sleep_for(kRecordSpan);
  recorder_->stop();
  EXPECT_EQ(ScratchFolder::names(out_.path()), file.filename().string());
  expect_playable(file);
}

TEST_F(ScreenRecorderTest, PausedTimeIsCutOut) {
  const auto file = out_ / "paused.mov";
  const auto began = std::chrono::steady_clock::now();
  recorder_->start(file);
  std::this_thread::sleep_for(kRecordSpan);
  EXPECT_FALSE(recorder_->toggle());  // paused
  std::this_thread::sleep_for(kPauseSpan);
  EXPECT_TRUE(recorder_->toggle());  // resumed
  std::this_thread::sleep_for(kRecordSpan);
  recorder_->stop();
  const auto wall = std::chrono::steady_clock::now() - began;
  expect_playable(file);
  const auto recorded = std::chrono::nanoseconds(duration_of(file));
  // Without the pause cut out the movie would be about as long as the wall time.
  EXPECT_LT(recorded, wall - kPauseSpan / 2);
  EXPECT_GT(recorded, kRecordSpan);
}

TEST_F(ScreenRecorderTest, StartWhileRecordingSwitchesToTheNewFile) {
  const auto first = out_ / "first.mov";
  const auto second = out_ / "second.mov";
  recorder_->start(first);
  std::this_thread::sleep_for(kRecordSpan);
  recorder_->start(second);
  EXPECT_TRUE(std::filesystem::exists(first));
  EXPECT_FALSE(std::filesystem::exists(second)) << "a running recording has only its temporary name";
  std::this_thread::sleep_for(kRecordSpan);
  recorder_->stop();
  EXPECT_EQ(ScratchFolder::names(out_.path()), "first.mov second.mov");
  expect_playable(first);
  expect_playable(second);
}

TEST_F(ScreenRecorderTest, StartWhilePausedFinishesThePausedFile) {
  const auto first = out_ / "first.mov";
  recorder_->start(first);
  std::this_thread::sleep_for(kRecordSpan);
  EXPECT_FALSE(recorder_->toggle());
  recorder_->start(out_ / "second.mov");
  std::this_thread::sleep_for(kRecordSpan);
  EXPECT_FALSE(recorder_->toggle()) << "the new recording runs, so toggling pauses it";
  recorder_->stop();
  expect_playable(first);
  expect_playable(out_ / "second.mov");
}

TEST_F(ScreenRecorderTest, ExistingFileIsNeverOverwritten) {
  const auto file = out_ / "taken.mov";
  std::ofstream(file) << "an earlier recording";
  recorder_->start(file);
  std::this_thread::sleep_for(500ms);
  recorder_->stop();
  std::ifstream kept(file);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "an earlier recording");
  EXPECT_EQ(ScratchFolder::names(out_.path()), "taken.mov");
}

TEST_F(ScreenRecorderTest, IdleOrRefusedRecorderDoesNothing) {
  EXPECT_FALSE(recorder_->toggle());
  recorder_->stop();
  recorder_->start(out_ / "absent" / "x.mov");
  EXPECT_FALSE(recorder_->toggle());
  recorder_->stop();
  EXPECT_TRUE(ScratchFolder::names(out_.path()).empty());
  // A refused start leaves the recorder usable.
  recorder_->start(out_ / "after.mov");
  std::this_thread::sleep_for(kRecordSpan);
  recorder_->stop();
  expect_playable(out_ / "after.mov");
}

TEST_F(ScreenRecorderTest, StopRightAfterStartLeavesAPlayableFileOrNothing) {
  for (const bool pause_first : {false, true}) {
    SCOPED_TRACE(pause_first ? "paused at once" : "stopped at once");
    const ScratchFolder out;
    const auto file = out / "short.mov";
    recorder_->start(file);
    if (pause_first) {
      recorder_->toggle();
    }
    recorder_->stop();
    const auto entries = ScratchFolder::names(out.path());
    if (entries.empty()) {
      continue;
    }
    EXPECT_EQ(entries, "short.mov");
    expect_playable(file);
  }
}

TEST_F(ScreenRecorderTest, RecorderGoneWhilePausedFinishesTheFile) {
  const auto file = out_ / "left.mov";
  recorder_->start(file);
  std::this_thread::sleep_for(kRecordSpan);
  recorder_->toggle();
  recorder_.reset();
  EXPECT_EQ(ScratchFolder::names(out_.path()), "left.mov");
  expect_playable(file);
}

}  // namespace
}  // namespace vek::media
