// The int32-DDMM trio: the card-wide "$V02" log, the top-level "GPS " atom
// and the freeGPS int32 block, each over hand-built bytes.

#include "track/formats/FreeGpsInt32.h"
#include "track/formats/GpsBox.h"
#include "track/formats/V02Csv.h"

#include "FamilyPayloads.h"
#include "Int32TrioPayloads.h"

#include <gtest/gtest.h>

namespace vek::track::formats {
namespace {

constexpr double kDdmmE3Latitude = 25.0 + 2.038 / 60.0;
constexpr double kDdmmE3Longitude = 121.0 + 33.868 / 60.0;

void expect_fix_time(const Fix& fix, int second) {
  EXPECT_EQ(fix.time.year, 2016);
  EXPECT_EQ(fix.time.month, 3);
  EXPECT_EQ(fix.time.day, 1);
  EXPECT_EQ(fix.time.hour, 9);
  EXPECT_EQ(fix.time.minute, 5);
  EXPECT_DOUBLE_EQ(fix.time.second, second);
}

TEST(V02Log, TakesOnlyTheClipsRowsWithTheClockEightHoursBehindUtc) {
  const Decoded d = decode_v02_log(test::v02_log(), "file.mov");
  ASSERT_EQ(d.fixes.size(), 3u);  // its row, its void row and its (0, 0) row: validation drops the last two
  const Fix& fix = d.fixes[0];
  expect_fix_time(fix, 7);
  EXPECT_DOUBLE_EQ(fix.latitude, 25.033964);
  EXPECT_DOUBLE_EQ(fix.longitude, 121.564468);
  EXPECT_DOUBLE_EQ(*fix.course, 123.45);
  EXPECT_DOUBLE_EQ(fix.speed_kmh, 36.0);
  EXPECT_FLOAT_EQ(fix.accel->z, 0.98f);
  EXPECT_FALSE(d.fixes[1].valid);
  EXPECT_FALSE(d.notes.empty());
}

TEST(V02Log, MatchesTheNameWithoutFoldersAndRefusesOtherText) {
  EXPECT_EQ(decode_v02_log("$V02\n1456794307,A,25.0,121.5,0,0,0,0,100,DCIM\\FILE.MOV,0,0,0\n", "FILE.MOV").fixes.size(),
            1u);
  EXPECT_TRUE(decode_v02_log("$V02\n1456794307,A,25.0,121.5,0,0,0,0,100,FILE.MOV,0,0\n", "FILE.MOV").fixes.empty());
  EXPECT_TRUE(decode_v02_log("$V02\n1456794307,A,25.0,121.5,0,x,0,0,100,FILE.MOV,0,0,0\n", "FILE.MOV").fixes.empty());
  EXPECT_TRUE(looks_like_v02_log("$V02\r\n1,A"));
  EXPECT_FALSE(looks_like_v02_log("$V03\n"));
  EXPECT_FALSE(looks_like_v02_log(test::nmea(test::kRmcBody)));
}

TEST(V02Log, NamesOfTheCardWideLog) {
  EXPECT_TRUE(is_v02_log_name("GPSData000123.txt"));
  EXPECT_TRUE(is_v02_log_name("gpsdata000123.TXT"));
  EXPECT_FALSE(is_v02_log_name("GPSData00012.txt"));
  EXPECT_FALSE(is_v02_log_name("GPSData00012a.txt"));
  EXPECT_FALSE(is_v02_log_name("GPSData000123.txt.bak"));
}

TEST(GpsBox, RecordsCountFromTheStartUntilTheZeroRecord) {
  const auto payload = test::gps_box_payload();
  ASSERT_TRUE(looks_like_gps_box(payload.view()));
  const Decoded d = decode_gps_box(payload.view(), test::kFixUnix - 3);
  ASSERT_EQ(d.fixes.size(), 1u);
  expect_fix_time(d.fixes[0], 7);
  EXPECT_DOUBLE_EQ(d.fixes[0].latitude, kDdmmE3Latitude);
  EXPECT_DOUBLE_EQ(d.fixes[0].longitude, kDdmmE3Longitude);
  EXPECT_DOUBLE_EQ(d.fixes[0].speed_kmh, 36.0);
  EXPECT_FALSE(d.fixes[0].course.has_value());
}

TEST(GpsBox, SouthWestMinutesOverSixtyAndCutRecords) {
  test::ByteWriter b;
  b.u32le(1).u32le(1).u32le(0).u32le(0).text("S").u32le(3436222).text("W").u32le(5822889).zeros(10);
  b.u32le(1).u32le(1).u32le(1).u32le(0).text("N").u32le(2561000).text("E").u32le(12133868).zeros(10);
  b.u32le(1).u32le(1).u32le(2).u32le(0).text("N");  // cut off
  const Decoded d = decode_gps_box(b.view(), test::kFixUnix);
  ASSERT_EQ(d.fixes.size(), 1u);
  EXPECT_DOUBLE_EQ(d.fixes[0].latitude, -(34 + 36.222 / 60));
  EXPECT_DOUBLE_EQ(d.fixes[0].longitude, -(58 + 22.889 / 60));
  EXPECT_FALSE(looks_like_gps_box(test::int32_atom().view()));
}

TEST(FreeGpsInt32, DdmmTimesTenThousandNotDegreesTimesTenMillion) {
  const auto block = decode_int32_block(test::int32_atom().view());
  ASSERT_TRUE(block.has_value());
  EXPECT_DOUBLE_EQ(block->fix.latitude, test::kLatitude);
  EXPECT_DOUBLE_EQ(block->fix.longitude, test::kLongitude);
  EXPECT_DOUBLE_EQ(*block->fix.course, 123.0);
  EXPECT_DOUBLE_EQ(block->fix.speed_kmh, 36.0);
  EXPECT_EQ(block->clock, test::kCameraClock);
  const auto south_west = decode_int32_block(test::int32_atom(-343622200, -582288900).view());
  ASSERT_TRUE(south_west.has_value());
  EXPECT_DOUBLE_EQ(south_west->fix.latitude, -(34 + 36.222 / 60));
  EXPECT_FALSE(decode_int32_block(test::int32_atom(256100000).view()).has_value());  // 61 minutes
}

TEST(FreeGpsInt32, SignatureFieldsAreAllRequired) {
  auto no_pair = test::int32_atom();
  no_pair.set(52, 'A');
  EXPECT_FALSE(decode_int32_block(no_pair.view()).has_value());
  auto tag_differs = test::int32_atom();
  tag_differs.set(18, 3);
  EXPECT_FALSE(decode_int32_block(tag_differs.view()).has_value());
  auto status = test::int32_atom();
  status.set(30, 'X');
  EXPECT_FALSE(decode_int32_block(status.view()).has_value());
  const auto atom = test::int32_atom();
  EXPECT_FALSE(decode_int32_block(atom.view().first(0x16D)).has_value());  // no room for the clock
}

TEST(FreeGpsInt32, RepeatsCollapseIntoOneFixASecond) {
  const auto a = test::int32_atom();
  const auto b = test::int32_atom(250203790);
  const Decoded d = decode_int32_blocks({a.view(), a.view(), a.view(), b.view(), b.view()});
  ASSERT_EQ(d.fixes.size(), 2u);
  expect_fix_time(d.fixes[0], 7);
  expect_fix_time(d.fixes[1], 8);
  EXPECT_GT(d.fixes[1].latitude, d.fixes[0].latitude);
}

}  // namespace
}  // namespace vek::track::formats
