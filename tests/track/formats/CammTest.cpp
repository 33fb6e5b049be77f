#include "track/formats/Camm.h"

#include "FamilyPayloads.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vek::track::formats {
namespace {

constexpr double kCreation = 1456823100.0;  // 2016-03-01T09:05:00Z

Decoded decode_one(const test::ByteWriter& bytes, std::optional<double> creation, double start = 0) {
  const TrackSample samples[] = {{bytes.view(), start, 0.1}};
  return decode_camm(samples, CammClock{creation});
}

TEST(Camm, GpsPacketGivesTimeSpeedCourseAndAccelPacketG) {
  const auto sample = test::camm_sample();
  ASSERT_TRUE(looks_like_camm(sample.view()));
  const Decoded d = decode_one(sample, kCreation);
  ASSERT_EQ(d.fixes.size(), 1u);
  EXPECT_EQ(d.fixes[0].time.hour, 9);
  EXPECT_EQ(d.fixes[0].time.minute, 5);
  EXPECT_NEAR(d.fixes[0].time.second, 7.0, 1e-6);
  EXPECT_DOUBLE_EQ(d.fixes[0].latitude, 25.033964);
  EXPECT_NEAR(d.fixes[0].speed_kmh, 18.0, 1e-9);  // 3 m/s east, 4 m/s north
  EXPECT_NEAR(d.fixes[0].course.value(), 36.8699, 1e-4);
  EXPECT_TRUE(d.fixes[0].valid);
  ASSERT_EQ(d.accel.size(), 1u);
  EXPECT_FLOAT_EQ(d.accel[0].z, 1.0f);
}

TEST(Camm, UnixEpochTimesAreRecognisedAgainstTheMovieDate) {
  test::ByteWriter s;
  s.u16le(0).u16le(6).f64le(1456823107.0).u32le(0).f64le(25.0).f64le(121.0).zeros(28);
  const Decoded unix_read = decode_one(s, kCreation);
  ASSERT_EQ(unix_read.fixes.size(), 1u);
  EXPECT_EQ(unix_read.fixes[0].time.year, 2016);
  EXPECT_FALSE(unix_read.fixes[0].valid);  // fix type 0
  const Decoded gps_read = decode_one(s, std::nullopt);
  EXPECT_EQ(gps_read.fixes.at(0).time.year, 2026);  // no movie date: the GPS epoch
}

TEST(Camm, PositionPacketsNeedTheMovieDate) {
  test::ByteWriter s;
  s.u16le(0).u16le(5).f64le(-34.5).f64le(-58.25).f64le(30.0);
  EXPECT_TRUE(decode_one(s, std::nullopt).fixes.empty());
  const Decoded d = decode_one(s, kCreation, 7.5);
  ASSERT_EQ(d.fixes.size(), 1u);
  EXPECT_DOUBLE_EQ(d.fixes[0].time.second, 7.5);
  EXPECT_DOUBLE_EQ(d.fixes[0].longitude, -58.25);
}

TEST(Camm, MalformedPacketsEndTheSample) {
  test::ByteWriter unknown_type;
  unknown_type.u16le(0).u16le(8).zeros(12);
  EXPECT_FALSE(looks_like_camm(unknown_type.view()));
  auto truncated = test::camm_sample().vector();
  truncated.resize(59);
  EXPECT_FALSE(looks_like_camm(truncated));
  const TrackSample samples[] = {{truncated, 0, 0}};
  EXPECT_TRUE(decode_camm(samples, {}).fixes.empty());
  test::ByteWriter far;
  far.u16le(0).u16le(6).f64le(1e300).u32le(3).f64le(25.0).f64le(121.0).zeros(28);
  EXPECT_TRUE(decode_one(far, kCreation).fixes.empty());
  test::ByteWriter nan_position;
  nan_position.u16le(0).u16le(5).f64le(std::nan("")).f64le(1.0).f64le(0);
  EXPECT_TRUE(decode_one(nan_position, kCreation).fixes.empty());
  EXPECT_FALSE(looks_like_camm({}));
}

}  // namespace
}  // namespace vek::track::formats
