#include "track/formats/SrtTelemetry.h"

#include "FamilyPayloads.h"

#include <gtest/gtest.h>

namespace vek::track::formats {
namespace {

TEST(SrtTelemetry, NewDialectWithDerivedSpeedAndCourse) {
  ASSERT_TRUE(looks_like_srt_telemetry(test::srt_new_dialect()));
  const Decoded d = decode_srt_telemetry(test::srt_new_dialect());
  ASSERT_EQ(d.fixes.size(), 2u);
  EXPECT_DOUBLE_EQ(d.fixes[0].latitude, 25.033964);
  EXPECT_DOUBLE_EQ(d.fixes[0].longitude, 121.564468);
  EXPECT_EQ(d.fixes[1].time.second, 8);
  // 0.0001 deg of latitude north in one second: 11.1 m/s.
  EXPECT_NEAR(d.fixes[1].speed_kmh, 40.03, 0.01);
  EXPECT_NEAR(d.fixes[1].course.value(), 0.0, 1e-6);
  EXPECT_DOUBLE_EQ(d.fixes[0].speed_kmh, d.fixes[1].speed_kmh);
}

TEST(SrtTelemetry, OldDialectIsLongitudeFirst) {
  const Decoded d = decode_srt_telemetry(test::srt_old_dialect());
  ASSERT_EQ(d.fixes.size(), 2u);
  EXPECT_DOUBLE_EQ(d.fixes[0].latitude, 25.033964);
  EXPECT_DOUBLE_EQ(d.fixes[1].longitude, 121.564568);
  EXPECT_NEAR(d.fixes[1].course.value(), 90.0, 0.01);
}

TEST(SrtTelemetry, CuesWithoutTimeOrPositionAreSkipped) {
  const std::string text =
      "1\n00:00:00,000 --> 00:00:01,000\nHello\n\n"
      "2\n00:00:01,000 --> 00:00:02,000\n2016-13-01 09:05:08.000 [latitude: 1] [longitude: 2]\n\n"
      "3\n00:00:02,000 --> 00:00:03,000\n2016-03-01 09:05:08 [latitude: 91] [longitude: 2]\n\n"
      "4\n00:00:02,000 --> 00:00:03,000\n2016-03-01 09:05:08 [latitude: x] [longitude: 2]\n\n"
      "5\n2016-03-01 09:05:08 [latitude: 1] [longitude: 2]\n\n";
  EXPECT_TRUE(decode_srt_telemetry(text).fixes.empty());
  EXPECT_FALSE(looks_like_srt_telemetry(text));
  EXPECT_TRUE(decode_srt_telemetry("").fixes.empty());
  EXPECT_EQ(srt_sidecars("/a/B.MOV").at(0), "/a/B.srt");
}

}  // namespace
}  // namespace vek::track::formats
