#include <gtest/gtest.h>

#include <algorithm>

#include "AppFixture.h"

namespace vek::app::testing {
namespace {

class MediaCommands : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    app_->webViewDidFinishLoad(true);
    events_.clear();
    wv_.scripts.clear();
    log_.lines.clear();
  }
};

TEST_F(MediaCommands, FrameSnapshotOneSecondAfterThePosition) {
  navigate("http://get_photo/file:///c/A.MOV;1;5");
  EXPECT_EQ(snapshotter_->frames,
            std::vector<std::string>{"file:///c/A.MOV@1980/30->" + files() + "/2026_1205_203307.png"});
  EXPECT_EQ(log_.lines,
            (std::vector<std::string>{"photo:file:///c/A.MOV,1,5", "err==(null), imageRef==<frame 1920x1080>"}));
  EXPECT_EQ(wv_.scripts, std::vector<std::string>{"get_act()"});
}

TEST_F(MediaCommands, FailedFrameTellsThePageWhy) {
  snapshotter_->frame_result = {"no such clip", 0, 0};
  navigate("http://get_photo/file:///gone.MOV;x;y");
  EXPECT_NE(snapshotter_->frames.at(0).find("@30/30"), std::string::npos);
  EXPECT_EQ(log_.lines.at(1), "err==no such clip, imageRef==(null)");
  EXPECT_EQ(wv_.scripts, std::vector<std::string>{"if(window.snapshot_failed)snapshot_failed('no such clip')"});
}

TEST_F(MediaCommands, SnapshotsThatLeaveNoFileAreFailures) {
  snapshotter_->writes_files = false;
  navigate("http://get_photo/file:///c/A.MOV;1;5");
  navigate("http://get_full_photo/");
  EXPECT_EQ(wv_.scripts,
            std::vector<std::string>(2, "if(window.snapshot_failed)snapshot_failed('no file was written')"));
  snapshotter_->writes_files = true;
  snapshotter_->area_result = false;
  navigate("http://get_full_photo/");
  EXPECT_EQ(wv_.scripts.back(), "if(window.snapshot_failed)snapshot_failed('the screen could not be captured')");
  wv_.area.reset();
  navigate("http://get_full_photo/");
  EXPECT_EQ(snapshotter_->areas.size(), 2U) << "nothing to capture while the window is not shown";
  EXPECT_EQ(wv_.scripts.back(), "if(window.snapshot_failed)snapshot_failed('the window is not shown')");
}

TEST_F(MediaCommands, FrameSnapshotWithMissingFieldsDoesNothing) {
  navigate("http://get_photo/file:///c/A.MOV;1");
  EXPECT_TRUE(snapshotter_->frames.empty());
  EXPECT_TRUE(wv_.scripts.empty());
}

TEST_F(MediaCommands, WindowSnapshotIsExactlyTheViewsAreaOnScreen) {
  window_.current = {120, 230, 960, 600};
  wv_.area = ports::ScreenArea{1920 + 120, 230 + 37, 960, 578};  // second monitor, below a title bar
  navigate("http://get_full_photo/");
  ASSERT_EQ(snapshotter_->areas.size(), 1U);
  const media::ScreenRect area = snapshotter_->areas[0];
  EXPECT_EQ(area.x, 2040);
  EXPECT_EQ(area.y, 267);
  EXPECT_EQ(area.width, 960);
  EXPECT_EQ(area.height, 578);
  EXPECT_EQ(log_.lines, (std::vector<std::string>{"get_photo", "y:267.000000"}));
  EXPECT_EQ(wv_.scripts, std::vector<std::string>{"get_act()"});
}

TEST_F(MediaCommands, MergeSkipsPiecesThatNameNothing) {
  const std::string clip = make_file("my cards/B \xE4\xB8\xAD.MOV");
  navigate("http://merger//nowhere/A.MOV," + (root_ / "my%20cards/B%20%E4%B8%AD.MOV").string() + ",");
  EXPECT_EQ(log_.lines, (std::vector<std::string>{"merger_start", "merger:" + clip}));
  EXPECT_EQ(exporter_->started_clips, std::vector<std::filesystem::path>{clip});
  EXPECT_EQ(exporter_->started_output, files() + "/exp_20261205_203307.mov");
}

TEST_F(MediaCommands, EmptyMergeStillExports) {
  navigate("http://merger/");
  EXPECT_TRUE(exporter_->started_clips.empty());
  EXPECT_TRUE(exporter_->done);
}

TEST_F(MediaCommands, ExportOutcomeReachesThePageOnTheMainThread) {
  navigate("http://merger/");
  exporter_->progress(42);
  EXPECT_EQ(wv_.scripts, std::vector<std::string>{"if(window.exp_progress)exp_progress('42')"});
  exporter_->done(media::ExportStatus::Completed);
  EXPECT_EQ(log_.lines.back(), "SUCCESS");
  EXPECT_EQ(wv_.scripts.size(), 1U) << "nothing touches the page off the main thread";
  main_thread_.run_all();
  EXPECT_EQ(wv_.scripts.back(), "exp('Export Completed');");
  EXPECT_EQ(events_.back(), "open_folder:" + files());
}

TEST_F(MediaCommands, FailedAndCancelledExports) {
  navigate("http://merger/");
  exporter_->done(media::ExportStatus::Failed);
  main_thread_.run_all();
  EXPECT_EQ(log_.lines.back(), "FAIL");
  EXPECT_EQ(wv_.scripts, std::vector<std::string>{"exp('Export Failed');"});
  EXPECT_EQ(std::count(events_.begin(), events_.end(), "open_folder:" + files()), 0)
      << "a failed export has nothing to show in the output folder";
  const std::size_t lines = log_.lines.size();
  exporter_->done(media::ExportStatus::Cancelled);
  main_thread_.run_all();
  EXPECT_EQ(log_.lines.size(), lines);
  EXPECT_EQ(wv_.scripts.size(), 1U);
  EXPECT_EQ(std::count(events_.begin(), events_.end(), "open_folder:" + files()), 0);
}

TEST_F(MediaCommands, RecordingStartAndStop) {
  navigate("http://recode/");
  navigate("http://norecode/");
  const std::string file = files() + "/Recording-202612339203307.mov";
  EXPECT_EQ(app_->file(), file);
  EXPECT_EQ(events_, (Events{"decided", "record:" + file, "decided", "record_stop", "open_folder:" + files()}));
}

TEST_F(MediaCommands, TogglePausesThenResumes) {
  app_->start();
  EXPECT_FALSE(app_->toggle());
  EXPECT_TRUE(app_->toggle());
}

}  // namespace
}  // namespace vek::app::testing
