#include "track/route/RouteFixes.h"
#include "track/route/Trips.h"

#include <gtest/gtest.h>

namespace vek::track::route {
namespace {

constexpr double kT0 = 1456822800;  // 2016-03-01 09:00:00 UTC

// A clip of `n` one-second fixes heading north at about 36 km/h (10 m/s).
ClipSamples drive(const std::string& name, double start, int n, double lat0 = 25.0) {
  ClipSamples clip{name, {}};
  for (int i = 0; i < n; ++i) {
    RouteSample s;
    s.utc = start + i;
    s.latitude = lat0 + i * 10 / 111195.0;
    s.longitude = 121.5;
    s.status = 'A';
    clip.samples.push_back(s);
  }
  return clip;
}

std::vector<bool> kept(const ClipSamples& clip) {
  std::vector<bool> flags;
  for (const RouteSample& s : clip.samples)
    flags.push_back(s.on_route);
  return flags;
}

TEST(Trips, ClipsWithinTheGapFormOneTripAndALongerPauseStartsAnother) {
  std::vector<ClipSamples> clips{drive("A.MOV", kT0, 60), drive("B.MOV", kT0 + 60, 60),
                                 drive("C.MOV", kT0 + 119 + 120, 60), drive("D.MOV", kT0 + 298 + 121, 60)};
  const std::vector<Trip> trips = group_trips(clips, 120);
  ASSERT_EQ(trips.size(), 2U);
  EXPECT_EQ(trips[0].name, "A.MOV");
  EXPECT_EQ(trips[0].clips.size(), 3U) << "C starts exactly 120 s after B ends";
  EXPECT_EQ(trips[1].clips.at(0).name, "D.MOV") << "D starts 121 s after C ends";
}

TEST(Trips, ClipsOutOfOrderOrWithoutTimesStandAlone) {
  ClipSamples untimed = drive("U.MOV", kT0, 5);
  for (RouteSample& s : untimed.samples)
    s.utc.reset();
  std::vector<ClipSamples> clips{drive("B.MOV", kT0 + 60, 60), drive("A.MOV", kT0, 60), untimed,
                                 drive("C.MOV", kT0 + 120, 10)};
  const std::vector<Trip> trips = group_trips(clips, 120);
  ASSERT_EQ(trips.size(), 4U) << "an earlier clip after a later one, and a clip after one without time";
  EXPECT_EQ(group_trips({}, 120).size(), 0U);
}

TEST(RouteFixes, NoFixZeroZeroAndIsolatedJumpsAreLeftOffTheRoute) {
  ClipSamples clip = drive("A.MOV", kT0, 10);
  clip.samples[2].status = 'V';
  clip.samples[4].latitude = 0;
  clip.samples[4].longitude = 0;
  clip.samples[6].latitude += 0.05;  // 5.5 km in a second
  clip.samples[8].utc.reset();
  std::vector<ClipSamples> clips{clip};
  mark_route_fixes(clips);
  EXPECT_EQ(kept(clips[0]), (std::vector<bool>{true, true, false, true, false, true, false, true, false, true}));
  EXPECT_EQ(clips[0].samples.size(), 10U) << "glitches stay in the data";
}

TEST(RouteFixes, AGlitchAtEitherEndIsDroppedButALastingMoveIsKept) {
  ClipSamples clip = drive("A.MOV", kT0, 8);
  clip.samples.front().latitude = 40;
  clip.samples.back().latitude = 40;
  std::vector<ClipSamples> clips{clip};
  mark_route_fixes(clips);
  EXPECT_EQ(kept(clips[0]), (std::vector<bool>{false, true, true, true, true, true, true, false}));

  ClipSamples moved = drive("M.MOV", kT0, 8);
  for (std::size_t i = 4; i < moved.samples.size(); ++i)
    moved.samples[i].latitude += 0.5;  // a position that stays where it jumped to
  std::vector<ClipSamples> more{moved};
  mark_route_fixes(more);
  EXPECT_EQ(kept(more[0]), (std::vector<bool>(8, true)));
}

TEST(RouteFixes, FixesAreJudgedAcrossClipBoundaries) {
  ClipSamples a = drive("A.MOV", kT0, 5);
  ClipSamples b = drive("B.MOV", kT0 + 5, 5, a.samples.back().latitude + 10 / 111195.0);
  b.samples[0].longitude = 122.5;
  std::vector<Trip> trips = group_trips({a, b}, 120);
  ASSERT_EQ(trips.size(), 1U);
  EXPECT_FALSE(trips[0].clips[1].samples[0].on_route);
  EXPECT_TRUE(trips[0].clips[1].samples[1].on_route);
}

TEST(RouteFixes, GreatCircleDistanceMatchesKnownFigures) {
  EXPECT_NEAR(great_circle_m(0, 0, 0, 1), 111195.08, 0.5);
  EXPECT_NEAR(great_circle_m(52.5200, 13.4050, 48.8566, 2.3522), 877464, 900);  // Berlin to Paris
  EXPECT_DOUBLE_EQ(great_circle_m(10, 10, 10, 10), 0);
}

}  // namespace
}  // namespace vek::track::route
