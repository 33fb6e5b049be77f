#include "drive/ExportRange.h"

#include <gtest/gtest.h>

namespace vek::drive {
namespace {

TEST(ExportRange, WholeClipsEndToEndWithoutPoints) {
  const auto segments = export_segments({60, 30, 45}, std::nullopt, std::nullopt);
  ASSERT_EQ(segments.size(), 3U);
  EXPECT_DOUBLE_EQ(segments[2].offset, 90);
  EXPECT_DOUBLE_EQ(segments[2].duration, 45);
  EXPECT_DOUBLE_EQ(total_duration(segments), 135);
}

TEST(ExportRange, InAndOutAcrossClips) {
  const auto segments = export_segments({60, 30, 45}, ClipPoint{0, 50}, ClipPoint{2, 10});
  ASSERT_EQ(segments.size(), 3U);
  EXPECT_EQ(segments[0].clip, 0U);
  EXPECT_DOUBLE_EQ(segments[0].inpoint, 50);
  EXPECT_DOUBLE_EQ(segments[0].duration, 10);
  EXPECT_DOUBLE_EQ(segments[1].offset, 10);
  EXPECT_DOUBLE_EQ(segments[1].duration, 30);
  EXPECT_DOUBLE_EQ(segments[2].inpoint, 0);
  EXPECT_DOUBLE_EQ(segments[2].duration, 10);
  EXPECT_DOUBLE_EQ(total_duration(segments), 50);
}

TEST(ExportRange, PointsOutsideTheSelectionAreHeldAndAReversedRangeIsEmpty) {
  EXPECT_TRUE(export_segments({60, 30}, ClipPoint{1, 5}, ClipPoint{0, 50}).empty());
  EXPECT_TRUE(export_segments({60}, ClipPoint{0, 20}, ClipPoint{0, 20}).empty());
  EXPECT_TRUE(export_segments({}, std::nullopt, std::nullopt).empty());
  const auto held = export_segments({60, 30}, ClipPoint{0, -4}, ClipPoint{7, 0});
  ASSERT_EQ(held.size(), 2U);
  EXPECT_DOUBLE_EQ(held[0].inpoint, 0);
  EXPECT_DOUBLE_EQ(total_duration(held), 90);
  const auto past_end = export_segments({60, 30}, ClipPoint{0, 75}, std::nullopt);
  ASSERT_EQ(past_end.size(), 1U) << "an in point past its clip's end starts the next clip";
  EXPECT_EQ(past_end[0].clip, 1U);
  EXPECT_EQ(export_segments({60, 0, 30}, std::nullopt, std::nullopt).size(), 2U);
}

TEST(ExportRange, ExportTimeMapsToTheClipsOwnTime) {
  const auto segments = export_segments({60, 30, 45}, ClipPoint{0, 50}, ClipPoint{2, 10});
  const auto at = [&](double t) { return clip_point_at(segments, t); };
  EXPECT_EQ(at(0)->clip, 0U);
  EXPECT_DOUBLE_EQ(at(0)->time, 50);
  EXPECT_DOUBLE_EQ(at(9.99)->time, 59.99);
  EXPECT_EQ(at(10)->clip, 1U);
  EXPECT_DOUBLE_EQ(at(10)->time, 0);
  EXPECT_EQ(at(45)->clip, 2U);
  EXPECT_DOUBLE_EQ(at(45)->time, 5);
  EXPECT_DOUBLE_EQ(at(80)->time, 10) << "held at the end";
  EXPECT_FALSE(at(-1).has_value());
  EXPECT_FALSE(clip_point_at({}, 1).has_value());
}

}  // namespace
}  // namespace vek::drive
