#include "track/formats/FreeChildren.h"

#include "FamilyPayloads.h"

#include <gtest/gtest.h>

namespace vek::track::formats {
namespace {

using test::ByteWriter;

ByteWriter child(std::string_view type, const ByteWriter& payload) {
  ByteWriter c;
  c.u32be(static_cast<std::uint32_t>(8 + payload.size())).text(type).bytes(payload.view());
  return c;
}

ByteWriter accel_records() {
  ByteWriter r;
  r.u32be(0).u16be(128).u16be(static_cast<std::uint16_t>(-64)).u16be(32);
  r.u32be(100).u16be(120).u16be(0).u16be(0);
  r.u32be(0xFFFFFFFF).u16be(0xFFFF).u16be(0xFFFF).u16be(0xFFFF);
  r.u32be(200).u16be(1).u16be(1).u16be(1);  // after the end mark: padding, not data
  return r;
}

std::string gps_log() {
  return "[1456852307000]" + test::nmea(test::kRmcBody) + "\n[1456852307000]$GPGGA,090507,2502.0378,N\n" +
         std::string(1, '\0') + "[1456852308000]" +
         test::nmea("GPRMC,090508.00,A,2502.0478,N,12133.8681,E,12.0,123.4,010316,,,A") + "\n" + std::string(64, '\0');
}

TEST(FreeChildren, GpsAndAccelChildrenOfTheFreeBox) {
  ByteWriter payload;
  payload.bytes(child("sttm", ByteWriter().u64be(1456852307000)).view())
      .bytes(child("gps ", ByteWriter().text(gps_log())).view())
      .bytes(child("3gf ", accel_records()).view());
  ASSERT_TRUE(looks_like_free_children(payload.view()));
  const Decoded d = decode_free_children(payload.view());
  ASSERT_EQ(d.fixes.size(), 2u);
  EXPECT_NEAR(d.fixes[0].latitude, test::kLatitude, 1e-9);
  EXPECT_EQ(d.fixes[1].time.second, 8);
  ASSERT_EQ(d.accel.size(), 2u);
  // Stored vertical, lateral, longitudinal at 1/128 g.
  EXPECT_FLOAT_EQ(d.accel[0].x, -0.5f);
  EXPECT_FLOAT_EQ(d.accel[0].y, 0.25f);
  EXPECT_FLOAT_EQ(d.accel[0].z, 1.0f);
  EXPECT_EQ(d.notes.size(), 2u);  // which readings were taken
}

TEST(FreeChildren, SidecarsReadTheSameLogs) {
  EXPECT_TRUE(looks_like_gps_log(gps_log()));
  EXPECT_EQ(decode_gps_log(gps_log()).fixes.size(), 2u);
  EXPECT_EQ(decode_3gf_log(accel_records().view()).accel.size(), 2u);
  const auto paths = free_children_sidecars("/card/DCIM/FILE0001.MOV");
  ASSERT_EQ(paths.size(), 4u);
  EXPECT_EQ(paths[0], "/card/DCIM/FILE0001.gps");
  EXPECT_EQ(paths[3], "/card/DCIM/FILE0001.3GF");
}

TEST(FreeChildren, MalformedBoxesStopAtWhatFits) {
  EXPECT_FALSE(looks_like_free_children({}));
  EXPECT_FALSE(looks_like_free_children(child("moov", ByteWriter().zeros(8)).view()));  // unknown child
  ByteWriter oversized;
  oversized.u32be(4096).text("gps ").text(test::nmea(test::kRmcBody));
  EXPECT_FALSE(looks_like_free_children(oversized.view()));
  EXPECT_TRUE(decode_free_children(oversized.view()).fixes.empty());
  ByteWriter undersized;
  undersized.u32be(4).text("gps ");
  EXPECT_FALSE(looks_like_free_children(undersized.view()));
  // Without the end mark a single record is not believed; times that do not grow end the log.
  auto records = accel_records().vector();
  records.resize(15);
  EXPECT_TRUE(decode_3gf_log(records).accel.empty());
  test::ByteWriter backwards;
  backwards.u32be(0).zeros(6).u32be(100).zeros(6).u32be(50).zeros(6).u32be(0xFFFFFFFF);
  EXPECT_TRUE(decode_3gf_log(backwards.view()).accel.empty());
  test::ByteWriter unended;
  unended.u32be(0).zeros(6).u32be(100).zeros(6).u32be(200).zeros(6).u32be(5000).zeros(6);
  EXPECT_EQ(decode_3gf_log(unended.view()).accel.size(), 3u);
  EXPECT_TRUE(decode_3gf_log(test::text_bytes("ftypqt  garbage of a movie")).accel.empty());
  EXPECT_FALSE(looks_like_gps_log("[1456852307000]$GPRMC,garbage"));
}

}  // namespace
}  // namespace vek::track::formats
