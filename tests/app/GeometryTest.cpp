#include <gtest/gtest.h>

#include "AppFixture.h"
#include "app/Geometry.h"

namespace vek::app::testing {
namespace {

class WindowGeometry : public AppFixture {
 protected:
  // Window systems that report size changes at once re-enter the pass, as the
  // adjustment was first written for; the end state must be the same.
  void deliver_resizes_synchronously() {
    window_.on_resize = [this] { app_->windowDidResize(); };
  }
  void set_height(double height, double width = 800) {
    window_.current.height = height;
    window_.current.width = width;
  }
};

TEST_F(WindowGeometry, FirstPassOnA600HighWindow) {
  set_height(600);
  app_->resizes();
  EXPECT_EQ(log_.lines, std::vector<std::string>{"rr:1.600000,w:960.000014,h:600.000000,rh:900.000000"});
  EXPECT_DOUBLE_EQ(window_.current.width, 600 * 1.60000002384185791015625);
  app_->windowDidResize();
  EXPECT_EQ(log_.lines.size(), 1U) << "the report of the new width ends at the height test";
}

TEST_F(WindowGeometry, AResizeByTheUserIsFittedAgain) {
  set_height(600);
  app_->resizes();
  set_height(700, 700);
  app_->windowDidResize();
  ASSERT_EQ(window_.set_frames.size(), 2U);
  EXPECT_DOUBLE_EQ(window_.current.width, 700 * 1.60000002384185791015625);
}

TEST_F(WindowGeometry, EveryPageLoadFitsTheWindowAfterReportingTheList) {
  set_height(600);
  app_->webViewDidFinishLoad(true);
  ASSERT_EQ(window_.set_frames.size(), 1U);
  ASSERT_EQ(wv_.scripts.size(), 1U);
  set_height(640, 640);
  app_->webViewDidFinishLoad(true);
  EXPECT_EQ(window_.set_frames.size(), 2U) << "a reload fits a window resized in between";
}

TEST_F(WindowGeometry, ATallWindowShrinksToTheScreenInOneStep) {
  set_height(1000);
  window_.current.y = 40;
  app_->resizes();
  ASSERT_EQ(window_.set_frames.size(), 1U);
  EXPECT_DOUBLE_EQ(window_.current.height, 850);
  EXPECT_DOUBLE_EQ(window_.current.y, 190) << "the bottom edge stays where it was";
  EXPECT_EQ(log_.lines, std::vector<std::string>(4, "rr:1.600000,w:1360.000020,h:850.000000,rh:900.000000"));
}

TEST_F(WindowGeometry, SynchronousReportsReachTheSameEndState) {
  deliver_resizes_synchronously();
  set_height(1000);
  app_->resizes();
  EXPECT_DOUBLE_EQ(window_.current.height, 850);
  EXPECT_EQ(geometry_line(window_.current, 900), "rr:1.600000,w:1360.000020,h:850.000000,rh:900.000000");
  EXPECT_EQ(log_.lines.size(), 4U);
}

TEST_F(WindowGeometry, AWindowAsHighAsTheScreenLogsTwice) {
  set_height(900);
  app_->resizes();
  EXPECT_EQ(log_.lines, std::vector<std::string>(2, "rr:1.600000,w:1360.000020,h:850.000000,rh:900.000000"));
}

TEST_F(WindowGeometry, TheMarginTestIsStrict) {
  set_height(850);
  app_->resizes();
  EXPECT_DOUBLE_EQ(window_.current.height, 850);
  set_height(851);
  app_->resizes();
  EXPECT_DOUBLE_EQ(window_.current.height, 801);
  EXPECT_EQ(log_.lines.back(), "rr:1.600000,w:1281.600019,h:801.000000,rh:900.000000");
}

TEST_F(WindowGeometry, SameHeightChangesNothing) {
  set_height(600);
  app_->resizes();
  set_height(600, 1234);
  app_->resizes();
  EXPECT_DOUBLE_EQ(window_.current.width, 1234) << "a width the user chose stays";
  EXPECT_EQ(window_.set_frames.size(), 1U);
  EXPECT_EQ(log_.lines.size(), 1U);
}

TEST_F(WindowGeometry, WidthIsNeverComparedWithTheScreen) {
  window_.screen = 1920;
  set_height(1200);
  app_->resizes();
  EXPECT_EQ(log_.lines, std::vector<std::string>{"rr:1.600000,w:1920.000029,h:1200.000000,rh:1920.000000"});
}

TEST_F(WindowGeometry, ATinyScreenDoesNotShrinkTheWindowAway) {
  window_.screen = 10;
  set_height(600);
  app_->resizes();
  EXPECT_GT(window_.current.height, 0);
}

}  // namespace
}  // namespace vek::app::testing
