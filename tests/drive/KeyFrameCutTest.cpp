#include "drive/KeyFrameCut.h"

#include <gtest/gtest.h>

namespace vek::drive {
namespace {

// A 10 s clip with a key frame every 2 s, and a 6 s one with one every second.
const std::vector<double> kDurations = {10, 6};
const std::vector<std::vector<double>> kKeys = {{0, 2, 4, 6, 8}, {0, 1, 2, 3, 4, 5}};

struct Expected {
  std::size_t clip;
  double inpoint;
  double duration;
  double offset;
};

void expect_segments(const std::vector<Segment>& got, const std::vector<Expected>& want, const char* why = "") {
  SCOPED_TRACE(why);
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(got[i].clip, want[i].clip) << i;
    EXPECT_DOUBLE_EQ(got[i].inpoint, want[i].inpoint) << i;
    EXPECT_DOUBLE_EQ(got[i].duration, want[i].duration) << i;
    EXPECT_DOUBLE_EQ(got[i].offset, want[i].offset) << i;
  }
}

std::vector<Segment> snapped(std::optional<ClipPoint> in, std::optional<ClipPoint> out,
                             const std::vector<std::vector<double>>& keys = kKeys) {
  return snap_to_key_frames(export_segments(kDurations, in, out), keys, kDurations);
}

TEST(KeyFrameCut, InsideOneClipTheRangeGrowsOutToTheKeyFramesAroundIt) {
  expect_segments(snapped(ClipPoint{0, 3.1}, ClipPoint{0, 6.5}), {{0, 2, 6, 0}});
  expect_segments(snapped(ClipPoint{0, 4}, ClipPoint{0, 6}), {{0, 4, 2, 0}},
                  "points on key frames stay: the out point's key frame starts what is left out");
  expect_segments(snapped(ClipPoint{0, 4 + 1e-5}, ClipPoint{0, 6 - 1e-5}), {{0, 4, 2, 0}},
                  "a point within rounding of a key frame is on it");
}

TEST(KeyFrameCut, RangesAtTheClipsStartAndEnd) {
  expect_segments(snapped(ClipPoint{0, 0}, ClipPoint{0, 1}), {{0, 0, 2, 0}});
  expect_segments(snapped(ClipPoint{0, 8.5}, ClipPoint{0, 10}), {{0, 8, 2, 0}},
                  "no key frame after the out point: the clip's end");
  expect_segments(snapped(ClipPoint{0, 9}, std::nullopt), {{0, 8, 2, 0}, {1, 0, 6, 2}}, "on to the selection's end");
  expect_segments(snapped(std::nullopt, std::nullopt), {{0, 0, 10, 0}, {1, 0, 6, 10}});
}

TEST(KeyFrameCut, ARangeAcrossClipsKeepsTheMiddleWholeAndRecountsOffsets) {
  expect_segments(snapped(ClipPoint{0, 7}, ClipPoint{1, 2.5}), {{0, 6, 4, 0}, {1, 0, 3, 4}});
  const std::vector<Segment> three = snap_to_key_frames(
      export_segments({10, 6, 10}, ClipPoint{0, 9.5}, ClipPoint{2, 0.5}), {kKeys[0], kKeys[1], kKeys[0]}, {10, 6, 10});
  expect_segments(three, {{0, 8, 2, 0}, {1, 0, 6, 2}, {2, 0, 2, 8}});
}

TEST(KeyFrameCut, AnEmptyRangeStaysEmpty) {
  const std::vector<Segment> empty_range = {{0, 3, 0, 0}};
  EXPECT_TRUE(snap_to_key_frames(empty_range, kKeys, kDurations).empty()) << "in == out between key frames";
  const std::vector<Segment> on_key = {{0, 4, 0, 0}};
  EXPECT_TRUE(snap_to_key_frames(on_key, kKeys, kDurations).empty()) << "in == out on a key frame";
  EXPECT_TRUE(snapped(ClipPoint{0, 5}, ClipPoint{0, 5}).empty());
}

TEST(KeyFrameCut, WithoutAKeyFrameBeforeTheInPointTheCopyStartsAtTheFirstOne) {
  const std::vector<std::vector<double>> late_keys = {{1.5, 5.5}, {}};
  expect_segments(snapped(ClipPoint{0, 1}, ClipPoint{0, 3}, late_keys), {{0, 1.5, 4, 0}},
                  "frames before the first key frame cannot be decoded");
  EXPECT_TRUE(snapped(ClipPoint{0, 0.2}, ClipPoint{0, 1}, late_keys).empty()) << "wholly before the first key frame";
  expect_segments(snapped(ClipPoint{1, 2}, ClipPoint{1, 3}, late_keys), {{1, 0, 6, 0}},
                  "a clip whose key frames are unknown goes whole");
}

}  // namespace
}  // namespace vek::drive
