#include <gtest/gtest.h>

#include <algorithm>

#include "AppFixture.h"

namespace vek::app::testing {
namespace {

using Lifecycle = AppFixture;

TEST_F(Lifecycle, StartUpLoadsThePageThenTheFirstLoadReportsAnEmptyList) {
  app_->applicationDidFinishLaunching();
  ASSERT_FALSE(events_.empty());
  EXPECT_EQ(events_.front(), std::string("load:") + kPage);
  app_->webViewDidFinishLoad(true);
  EXPECT_EQ(wv_.scripts, std::vector<std::string>{"file_list_fun('','','0');user_path='" + library() + "'"});
  EXPECT_TRUE(std::filesystem::is_directory(files()));
  EXPECT_EQ(log_.lines.back(), "finish");
}

TEST_F(Lifecycle, SubFrameLoadsReportNothing) {
  app_->webViewDidFinishLoad(false);
  EXPECT_TRUE(wv_.scripts.empty());
  EXPECT_FALSE(std::filesystem::exists(library()));
}

TEST_F(Lifecycle, EveryReloadReportsTheCurrentList) {
  const std::string clip = make_file("cards/CLIP0001.MOV");
  app_->webViewDidFinishLoad(true);
  app_->take_in_dragged({clip});
  settle();
  app_->webViewDidFinishLoad(true);
  EXPECT_EQ(reports().back(),
            "file_list_fun('" + library() + "/CLIP0001.data,','" + clip + ",','0');user_path='" + library() + "'");
}

TEST_F(Lifecycle, AnEndedPageProcessIsLoggedReloadedAndToldOnce) {
  const std::string clip = make_file("cards/CLIP0001.MOV");
  app_->webViewDidFinishLoad(true);
  app_->take_in_dragged({clip});
  settle();
  events_.clear();
  wv_.scripts.clear();
  app_->webProcessDidTerminate("crashed");
  EXPECT_EQ(events_, std::vector<std::string>{std::string("load:") + kPage});
  EXPECT_EQ(log_.lines.back(), "page process crashed");
  app_->webViewDidFinishLoad(true);
  ASSERT_EQ(wv_.scripts.size(), 2U);
  EXPECT_NE(wv_.scripts[0].find("','" + clip + ",','0')"), std::string::npos) << "the list comes back";
  EXPECT_EQ(wv_.scripts[1], "if(window.page_restarted)page_restarted('crashed')");
  app_->webViewDidFinishLoad(true);
  EXPECT_EQ(wv_.scripts.size(), 3U) << "a later load is an ordinary one";
}

TEST_F(Lifecycle, APageThatKeepsEndingItsProcessIsNotReloadedForEver) {
  for (int i = 0; i < 5; ++i) {
    app_->webProcessDidTerminate("exceeded its memory limit");
  }
  EXPECT_EQ(std::count(events_.begin(), events_.end(), std::string("load:") + kPage), 3);
  navigate("http://open_dir/");
  app_->webProcessDidTerminate("crashed");
  EXPECT_EQ(std::count(events_.begin(), events_.end(), std::string("load:") + kPage), 4)
      << "a page that ran a command counts as working again";
}

TEST_F(Lifecycle, ClosingTheWindowEndsTheProcessWithStatusZero) {
  app_->start();
  app_->windowShouldClose();
  EXPECT_EQ(events_.back(), "exit:0");
}

TEST_F(Lifecycle, ThePageLoadIsAllowedAndRealLinksOpenElsewhere) {
  EXPECT_EQ(navigate(std::string("file://") + kPage), bridge::Navigation::Allow);
  EXPECT_EQ(navigate("https://example.org/"), bridge::Navigation::OpenExternally);
  EXPECT_EQ(events_, (Events{"decided", "decided", "open_uri:https://example.org/"}));
}

TEST_F(Lifecycle, TheDecisionComesBeforeTheImportDialog) {
  EXPECT_EQ(navigate("http://file_copy_fun/http://get_photo/u;1;2"), bridge::Navigation::Ignore);
  ASSERT_GE(events_.size(), 2U);
  EXPECT_EQ(events_[0], "decided");
  EXPECT_EQ(events_[1], "chooser");
  EXPECT_TRUE(snapshotter_->frames.empty());
}

TEST_F(Lifecycle, CombinedCommandsRunInOrder) {
  app_->webViewDidFinishLoad(true);
  events_.clear();
  navigate("http://open_dir/http://save_set/mi,DEU");
  EXPECT_EQ(events_, (Events{"decided", "open_folder:" + files()}));
  std::ifstream in(home_ + "/VEK/data/ini.txt");
  std::string settings;
  std::getline(in, settings);
  EXPECT_EQ(settings, "http://open_dir/mi,DEU") << "settings are the whole text without their own marker";
}

}  // namespace
}  // namespace vek::app::testing
