#include "drive/FrameReadings.h"

#include <gtest/gtest.h>

#include <cmath>

#include "TrackTexts.h"
#include "drive/RangeGpx.h"

namespace vek::drive {
namespace {

std::size_t count_of(const std::string& text, const std::string& needle) {
  std::size_t count = 0;
  for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) {
    ++count;
  }
  return count;
}

// Two clips of 3 s each with samples every tenth from their start, 10 km/h and up.
std::vector<ClipTrack> two_tracks() {
  return {read_track_text(testing::freegps_run(30)), read_track_text(testing::freegps_run(30, 20))};
}

TEST(FrameReadings, EachMomentShowsThePagesSampleOfTheClipUnderIt) {
  const auto segments = export_segments({3, 3}, ClipPoint{0, 1.0}, ClipPoint{1, 2.0});
  const DriveOverlayModel model(two_tracks(), segments, TimeSettings{}, {}, false);
  const FrameReadings first = model.at(0);
  ASSERT_TRUE(first.has_sample);
  EXPECT_EQ(first.speed, "20") << "in point 1.0 s: the sample keyed 1.0";
  EXPECT_EQ(first.speed_unit, "km/h");
  EXPECT_EQ(first.clock, "2016-03-01 09:05:01") << "freeGPS keys run an hour ahead of UTC; no zone known: UTC";
  EXPECT_EQ(first.position, "25\u00b00'0.00\" N  121\u00b00'0.00\" E");
  EXPECT_EQ(first.gy, "\u22120.20");
  EXPECT_EQ(model.at(1.95).speed, "39");
  const FrameReadings second = model.at(2.0 + 1.5);
  EXPECT_EQ(second.speed, "25") << "second clip, 1.5 s in";
  EXPECT_EQ(second.clock, "2016-03-01 09:05:21");
}

TEST(FrameReadings, AClipWithoutTrackShowsDashes) {
  const auto segments = export_segments({3, 3}, std::nullopt, std::nullopt);
  const DriveOverlayModel model({ClipTrack{}, read_track_text(testing::freegps_run(30))}, segments, TimeSettings{}, {},
                                true);
  EXPECT_FALSE(model.at(1).has_sample);
  EXPECT_EQ(model.at(1).speed, "\u2013");
  EXPECT_EQ(model.at(4).position, "25.000000, 121.010000") << "decimal degrees when asked; 1 s into the second clip";
}

TEST(FrameReadings, TheRouteFitsTheInsetAndTheCurrentPlaceLiesOnIt) {
  const auto segments = export_segments({3, 3}, std::nullopt, std::nullopt);
  const DriveOverlayModel model(two_tracks(), segments, TimeSettings{}, {}, false);
  ASSERT_EQ(model.route().size(), 60U);
  for (const RoutePoint& point : model.route()) {
    EXPECT_GE(point.x, 0);
    EXPECT_LE(point.x, 1);
    EXPECT_DOUBLE_EQ(point.y, 0.5) << "a drive due east is centred vertically";
  }
  EXPECT_DOUBLE_EQ(model.route().front().x, 0);
  EXPECT_DOUBLE_EQ(model.route().back().x, 1);
  const auto here = model.at(0.5).here;
  ASSERT_TRUE(here.has_value());
  EXPECT_DOUBLE_EQ(here->x, model.route()[5].x);
}

TEST(RangeGpx, HoldsExactlyTheSamplesTheRangeShows) {
  const auto tracks = two_tracks();
  const auto segments = export_segments({3, 3}, ClipPoint{0, 1.0}, ClipPoint{1, 0.5});
  const std::string gpx = range_gpx(tracks, segments, TimeSettings{}, {}, "exp_1 <&>");
  // 1.0 .. 2.9 of the first clip (20) and 0.0 .. 0.4 of the second (5).
  EXPECT_EQ(count_of(gpx, "<trkpt "), 25U);
  EXPECT_NE(gpx.find("<name>exp_1 &lt;&amp;&gt;</name>"), std::string::npos);
  EXPECT_NE(gpx.find("<trkpt lat=\"25.0000000\" lon=\"121.0100000\"><time>2016-03-01T09:05:01.0Z</time>"),
            std::string::npos)
      << "freeGPS keys run an hour ahead of UTC:\n"
      << gpx;
  EXPECT_NE(gpx.find("<time>2016-03-01T09:05:20.4Z</time>"), std::string::npos);
  EXPECT_EQ(gpx.find("<time>2016-03-01T09:05:20.5Z</time>"), std::string::npos) << "the out point is not shown";
  EXPECT_NE(gpx.find("<gpxtpx:speed>5.56</gpxtpx:speed>"), std::string::npos) << "20 km/h in m/s";
}

TEST(RangeGpx, ANameThatIsNotUtf8StaysWellFormed) {
  const auto segments = export_segments({3}, std::nullopt, std::nullopt);
  const std::string gpx =
      range_gpx({read_track_text(testing::freegps_run(3))}, segments, TimeSettings{}, {}, "exp_\xe9t\xe9\x01");
  EXPECT_NE(gpx.find("<name>exp_\uFFFDt\uFFFD\uFFFD</name>"), std::string::npos) << gpx;
}

TEST(RangeGpx, SettingsNameTheCameraZoneAndCorrectTheClock) {
  TimeSettings settings;
  settings.camera_zone = "UTC";
  settings.correction = 2;
  const auto segments = export_segments({3}, std::nullopt, ClipPoint{0, 0.1});
  const std::string gpx = range_gpx({read_track_text(testing::freegps_run(30))}, segments, settings, {}, "x");
  EXPECT_EQ(count_of(gpx, "<trkpt "), 1U);
  EXPECT_NE(gpx.find("<time>2016-03-01T10:05:02.0Z</time>"), std::string::npos) << gpx;
}

}  // namespace
}  // namespace vek::drive
