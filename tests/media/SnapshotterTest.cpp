#include "media/gst/GstSnapshotter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "MediaTestSupport.h"

namespace vek::media {
namespace {

using vek::test::ScratchFolder;

constexpr std::int32_t kTimescale = 30;
constexpr std::int64_t kOneMinuteFive = 1980;  // (1 × 60 + 5) × 30 + 30
constexpr double kBrightnessPerSecond = 255.0 / 80.0;
constexpr int kBrightnessTolerance = 4;  // encoding noise, about a second of brightening

class SnapshotterTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    testing::init_media();
    clips_ = std::make_unique<ScratchFolder>();
    brightening_ = testing::make_brightening_clip(*clips_ / "bright.MOV", 70);
  }
  static void TearDownTestSuite() { clips_.reset(); }

  void SetUp() override {
    const std::string missing =
        testing::missing_element({"uridecodebin", "qtdemux", "avdec_h264", "videoflip", "pngenc", "appsink"});
    if (!missing.empty()) {
      GTEST_SKIP() << "GStreamer element missing: " << missing;
    }
    ASSERT_FALSE(brightening_.empty()) << "ffmpeg could not make the test clip";
  }

  // Expected mean brightness of the brightening clip at `seconds`.
  static int brightness_at(double seconds) { return static_cast<int>(seconds * kBrightnessPerSecond + 0.5); }

  static inline std::unique_ptr<ScratchFolder> clips_;
  static inline std::filesystem::path brightening_;
  ScratchFolder out_;
  GstSnapshotter snapshotter_;
};

TEST_F(SnapshotterTest, FixtureClipAtOneMinuteFiveGivesPngOfClipSize) {
  const auto clip = testing::make_fixture_clip(out_ / "clip.MOV", 67, "320x180");
  ASSERT_FALSE(clip.empty());
  const auto png = out_ / "2026_1205_203259.png";
  const FrameResult result = snapshotter_.save_frame(testing::file_uri(clip), kOneMinuteFive, kTimescale, png);
  EXPECT_EQ(result.error, "");
  EXPECT_EQ(result.width, 320);
  EXPECT_EQ(result.height, 180);
  const auto picture = testing::read_png(png);
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->width, 320);
  EXPECT_EQ(picture->height, 180);
}

TEST_F(SnapshotterTest, FrameIsTheOneAtTheRequestedTime) {
  struct Case {
    std::int64_t value;
    double expected_seconds;
  };
  // Before the start: the first frame. Past the end (70 s): the last frame.
  const Case cases[] = {{kOneMinuteFive, 66.0}, {30, 1.0}, {615, 20.5}, {-300, 0.0}, {3000, 70.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    const auto png = out_ / ("at" + std::to_string(c.value) + ".png");
    const FrameResult result = snapshotter_.save_frame(testing::file_uri(brightening_), c.value, kTimescale, png);
    ASSERT_EQ(result.error, "");
    const auto picture = testing::read_png(png);
    ASSERT_TRUE(picture.has_value());
    EXPECT_NEAR(picture->brightness(160, 120), brightness_at(c.expected_seconds), kBrightnessTolerance);
  }
}

TEST_F(SnapshotterTest, RotatedClipComesOutUpright) {
  // Turned 90° clockwise, the white top half of the picture is on the right.
  const auto clip = testing::make_half_white_clip(out_ / "rotated.MOV", 90);
  ASSERT_FALSE(clip.empty());
  const auto png = out_ / "rotated.png";
  const FrameResult result = snapshotter_.save_frame(testing::file_uri(clip), 30, kTimescale, png);
  ASSERT_EQ(result.error, "");
  EXPECT_EQ(result.width, 240);
  EXPECT_EQ(result.height, 320);
  const auto picture = testing::read_png(png);
  ASSERT_TRUE(picture.has_value());
  ASSERT_EQ(picture->width, 240);
  ASSERT_EQ(picture->height, 320);
  EXPECT_GT(picture->brightness(200, 160), 230);
  EXPECT_LT(picture->brightness(40, 160), 25);
}

TEST_F(SnapshotterTest, SnapshotReplacesFileOfTheSameName) {
  const auto png = out_ / "same.png";
  std::ofstream(png) << "an earlier snapshot";
  ASSERT_EQ(snapshotter_.save_frame(testing::file_uri(brightening_), 30, kTimescale, png).error, "");
  EXPECT_TRUE(testing::read_png(png).has_value());
  EXPECT_EQ(ScratchFolder::names(out_.path()), "same.png");
}

TEST_F(SnapshotterTest, BadInputGivesErrorAndWritesNothing) {
  const auto corrupt = out_ / "corrupt.MOV";
  std::ofstream(corrupt) << std::string(4096, 'x');
  const auto empty = out_ / "empty.MOV";
  std::ofstream{empty};
  struct Case {
    const char* name;
    std::string uri;
    std::int32_t timescale;
    std::filesystem::path png;
  };
  const Case cases[] = {
      {"missing clip", testing::file_uri(out_ / "absent.MOV"), kTimescale, out_ / "a.png"},
      {"corrupt clip", testing::file_uri(corrupt), kTimescale, out_ / "b.png"},
      {"empty clip", testing::file_uri(empty), kTimescale, out_ / "c.png"},
      {"not a URL", "no url here", kTimescale, out_ / "d.png"},
      {"zero time scale", testing::file_uri(brightening_), 0, out_ / "e.png"},
      {"missing output folder", testing::file_uri(brightening_), kTimescale, out_ / "absent" / "f.png"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FrameResult result = snapshotter_.save_frame(c.uri, 30, c.timescale, c.png);
    EXPECT_NE(result.error, "");
    EXPECT_FALSE(std::filesystem::exists(c.png));
  }
  EXPECT_EQ(ScratchFolder::names(out_.path()), "corrupt.MOV empty.MOV");
}

class ScreenSnapshotTest : public SnapshotterTest {
 protected:
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) {
      GTEST_SKIP() << "no X display (run under xvfb-run)";
    }
    if (const std::string missing = testing::missing_element({"ximagesrc", "pngenc"}); !missing.empty()) {
      GTEST_SKIP() << "GStreamer element missing: " << missing;
    }
  }
};

TEST_F(ScreenSnapshotTest, AreaGivesPngOfItsSize) {
  const auto png = out_ / "window.png";
  ASSERT_TRUE(snapshotter_.save_screen_area({10, 20, 200, 100}, png));
  const auto picture = testing::read_png(png);
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->width, 200);
  EXPECT_EQ(picture->height, 100);
}

TEST_F(ScreenSnapshotTest, AreaShowsTheSamePixelsAsTheWholeScreen) {
  // A one-pixel checkerboard in a window at the origin: any shift shows.
  const testing::ScreenPattern pattern;
  ASSERT_TRUE(pattern.shown());
  ASSERT_TRUE(snapshotter_.save_screen_area({0, 0, 1920, 1080}, out_ / "screen.png"));
  ASSERT_TRUE(snapshotter_.save_screen_area({101, 51, 40, 30}, out_ / "area.png"));
  const auto screen = testing::read_png(out_ / "screen.png");
  const auto area = testing::read_png(out_ / "area.png");
  ASSERT_TRUE(screen.has_value() && area.has_value());
  ASSERT_EQ(area->width, 40);
  EXPECT_NE(area->pixel(0, 0), area->pixel(1, 0));
  for (int y = 0; y < area->height; y += 7) {
    for (int x = 0; x < area->width; x += 3) {
      ASSERT_EQ(area->pixel(x, y), screen->pixel(101 + x, 51 + y)) << x << "," << y;
    }
  }
}

TEST_F(ScreenSnapshotTest, PartOffTheScreenIsCutOff) {
  struct Case {
    ScreenRect area;
    int width;
    int height;
  };
  // The tests run on a 1920 x 1080 screen.
  const Case cases[] = {{{-50, -10, 200, 100}, 150, 90}, {{1800, 1000, 200, 200}, 120, 80}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.area.x);
    const auto png = out_ / "cut.png";
    ASSERT_TRUE(snapshotter_.save_screen_area(c.area, png));
    const auto picture = testing::read_png(png);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->width, c.width);
    EXPECT_EQ(picture->height, c.height);
  }
}

TEST_F(ScreenSnapshotTest, EmptyAreaOrMissingFolderWritesNothing) {
  EXPECT_FALSE(snapshotter_.save_screen_area({10, 10, 0, 100}, out_ / "empty.png"));
  EXPECT_FALSE(snapshotter_.save_screen_area({-300, 10, 200, 100}, out_ / "offscreen.png"));
  EXPECT_FALSE(snapshotter_.save_screen_area({1920, 10, 200, 100}, out_ / "beyond.png"));
  EXPECT_FALSE(snapshotter_.save_screen_area({10, 10, 100, 100}, out_ / "absent" / "x.png"));
  EXPECT_TRUE(ScratchFolder::names(out_.path()).empty());
}

}  // namespace
}  // namespace vek::media
