#include "track/formats/Gpmf.h"

#include "ByteWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace vek::track::formats {
namespace {

using test::ByteWriter;

// One KLV item; data padded to four bytes.
ByteWriter klv(std::string_view key, char type, std::uint8_t size, std::uint16_t repeat, const ByteWriter& data) {
  ByteWriter out;
  out.text(key).u8(static_cast<std::uint8_t>(type)).u8(size).u16be(repeat).bytes(data.view());
  out.zeros((4 - data.size() % 4) % 4);
  return out;
}

ByteWriter nest(std::string_view key, const ByteWriter& children) {
  ByteWriter out;
  out.text(key).u8(0).u8(1).u16be(static_cast<std::uint16_t>(children.size())).bytes(children.view());
  return out;
}

ByteWriter longs(std::initializer_list<std::int32_t> values) {
  ByteWriter out;
  for (const auto v : values)
    out.u32be(static_cast<std::uint32_t>(v));
  return out;
}

ByteWriter gps5_stream(std::uint32_t fix, std::uint16_t dop_x100, bool with_time = true) {
  ByteWriter s;
  s.bytes(klv("GPSF", 'L', 4, 1, ByteWriter().u32be(fix)).view());
  if (with_time) s.bytes(klv("GPSU", 'U', 16, 1, ByteWriter().text("160301090507.250")).view());
  s.bytes(klv("GPSP", 'S', 2, 1, ByteWriter().u16be(dop_x100)).view());
  s.bytes(klv("SCAL", 'l', 4, 5, longs({10000000, 10000000, 1000, 1000, 100})).view());
  s.bytes(klv("GPS5", 'l', 20, 2,
              longs({250339640, 1215644680, 12000, 10000, 1000, -346037220, -583815920, 5000, 20000, 2000}))
              .view());
  return s;
}

ByteWriter devc(const ByteWriter& stream) {
  return nest("DEVC", nest("STRM", stream));
}

bool has_note(const Decoded& d, std::string_view start) {
  return std::any_of(d.notes.begin(), d.notes.end(), [&](const std::string& n) { return n.rfind(start, 0) == 0; });
}

TEST(Gpmf, Gps5PointsSpreadOverTheSampleFromTheGpsuTime) {
  const auto sample = devc(gps5_stream(3, 150));
  ASSERT_TRUE(looks_like_gpmf(sample.view()));
  const Decoded d = decode_gpmf(sample.view(), 1.0);
  ASSERT_EQ(d.fixes.size(), 2u);
  EXPECT_DOUBLE_EQ(d.fixes[0].latitude, 25.033964);
  EXPECT_DOUBLE_EQ(d.fixes[0].longitude, 121.564468);
  EXPECT_DOUBLE_EQ(d.fixes[0].speed_kmh, 36.0);
  EXPECT_FALSE(d.fixes[0].course);
  EXPECT_TRUE(d.fixes[0].valid);
  EXPECT_EQ(d.fixes[0].time.year, 2016);
  EXPECT_EQ(d.fixes[0].time.hour, 9);
  EXPECT_NEAR(d.fixes[0].time.second, 7.25, 1e-6);
  EXPECT_NEAR(d.fixes[1].time.second, 7.75, 1e-6);
  EXPECT_DOUBLE_EQ(d.fixes[1].latitude, -34.603722);
  EXPECT_DOUBLE_EQ(d.fixes[1].longitude, -58.381592);
  EXPECT_DOUBLE_EQ(d.fixes[1].speed_kmh, 72.0);
}

TEST(Gpmf, FixTypeAndPrecisionDecideTheFixFlag) {
  EXPECT_FALSE(decode_gpmf(devc(gps5_stream(0, 150)).view(), 1.0).fixes.at(0).valid);
  EXPECT_TRUE(has_note(decode_gpmf(devc(gps5_stream(0, 150)).view(), 1.0), "GPSF 0 read as no fix"));
  EXPECT_TRUE(decode_gpmf(devc(gps5_stream(2, 150)).view(), 1.0).fixes.at(0).valid);
  EXPECT_TRUE(decode_gpmf(devc(gps5_stream(3, 1000)).view(), 1.0).fixes.at(0).valid);
  EXPECT_FALSE(decode_gpmf(devc(gps5_stream(3, 1001)).view(), 1.0).fixes.at(0).valid);
}

TEST(Gpmf, Gps9CarriesItsOwnTimeAndIsPreferred) {
  ByteWriter row;
  // 2016-03-01 is day 5904 since 2000-01-01; 09:05:07.5 is 32707.5 s.
  row.u32be(250339640)
      .u32be(1215644680)
      .u32be(12000)
      .u32be(10000)
      .u32be(1000)
      .u32be(5904)
      .u32be(32707500)
      .u16be(150)
      .u16be(3);
  ByteWriter s = gps5_stream(3, 150);
  s.bytes(klv("TYPE", 'c', 9, 1, ByteWriter().text("lllllllSS")).view());
  s.bytes(klv("SCAL", 'l', 4, 9, longs({10000000, 10000000, 1000, 1000, 100, 1, 1000, 100, 1})).view());
  s.bytes(klv("GPS9", '?', 32, 1, row).view());
  const Decoded d = decode_gpmf(devc(s).view(), 1.0);
  ASSERT_EQ(d.fixes.size(), 1u);
  EXPECT_EQ(d.fixes[0].time.month, 3);
  EXPECT_EQ(d.fixes[0].time.day, 1);
  EXPECT_EQ(d.fixes[0].time.minute, 5);
  EXPECT_NEAR(d.fixes[0].time.second, 7.5, 1e-6);
  EXPECT_DOUBLE_EQ(d.fixes[0].latitude, 25.033964);
  EXPECT_TRUE(d.fixes[0].valid);
  EXPECT_TRUE(has_note(d, "GPS9 preferred"));
}

TEST(Gpmf, AccelerationScaledToG) {
  ByteWriter s;
  s.bytes(klv("SCAL", 's', 2, 1, ByteWriter().u16be(100)).view());
  s.bytes(klv("ACCL", 's', 6, 2,
              ByteWriter().u16be(981).u16be(0).u16be(static_cast<std::uint16_t>(-981)).u16be(0).u16be(490).u16be(0))
              .view());
  const Decoded d = decode_gpmf(devc(s).view(), 1.0);
  ASSERT_EQ(d.accel.size(), 2u);
  EXPECT_NEAR(d.accel[0].x, 1.0, 1e-3);
  EXPECT_NEAR(d.accel[0].z, -1.0, 1e-3);
  EXPECT_NEAR(d.accel[1].y, 0.5, 1e-3);
  EXPECT_TRUE(d.fixes.empty());
}

TEST(Gpmf, MalformedSamplesGiveNothingOrOnlyWhatFits) {
  EXPECT_TRUE(decode_gpmf({}, 1.0).fixes.empty());
  EXPECT_FALSE(looks_like_gpmf(ByteWriter().text("DEVC").view()));
  EXPECT_FALSE(looks_like_gpmf(nest("STRM", gps5_stream(3, 100)).view()));

  // The container claims more bytes than the sample holds.
  auto whole = devc(gps5_stream(3, 100)).vector();
  whole.resize(whole.size() - 8);
  EXPECT_FALSE(looks_like_gpmf(whole));
  EXPECT_TRUE(decode_gpmf(whole, 1.0).fixes.empty());

  // SCAL of zero: the data it scales is skipped, not divided.
  ByteWriter zero_scale;
  zero_scale.bytes(klv("GPSU", 'U', 16, 1, ByteWriter().text("160301090507.000")).view());
  zero_scale.bytes(klv("SCAL", 'l', 4, 5, longs({0, 10000000, 1000, 1000, 100})).view());
  zero_scale.bytes(klv("GPS5", 'l', 20, 1, longs({1, 2, 3, 4, 5})).view());
  const Decoded z = decode_gpmf(devc(zero_scale).view(), 1.0);
  EXPECT_TRUE(z.fixes.empty());
  EXPECT_TRUE(has_note(z, "data under a SCAL of 0"));

  // A float SCAL that is not a number, or a negative 2D speed: the row is dropped.
  ByteWriter nan_scale;
  nan_scale.bytes(klv("GPSU", 'U', 16, 1, ByteWriter().text("160301090507.000")).view());
  nan_scale.bytes(klv("SCAL", 'f', 4, 1, ByteWriter().u32be(0x7FC00000)).view());
  nan_scale.bytes(klv("GPS5", 'l', 20, 1, longs({1, 2, 3, 4, 5})).view());
  EXPECT_TRUE(decode_gpmf(devc(nan_scale).view(), 1.0).fixes.empty());
  ByteWriter backwards;
  backwards.bytes(klv("GPSU", 'U', 16, 1, ByteWriter().text("160301090507.000")).view());
  backwards.bytes(klv("GPS5", 'l', 20, 1, longs({25, 121, 0, -4, 0})).view());
  EXPECT_TRUE(decode_gpmf(devc(backwards).view(), 1.0).fixes.empty());

  const Decoded untimed = decode_gpmf(devc(gps5_stream(3, 100, false)).view(), 1.0);
  EXPECT_TRUE(untimed.fixes.empty());
  EXPECT_TRUE(has_note(untimed, "GPS5 without a GPSU"));

  EXPECT_TRUE(decode_gpmf(devc(gps5_stream(3, 100)).view(), -1.0).fixes.empty());
}

TEST(Gpmf, NestingBeyondTheLimitIsNotFollowed) {
  ByteWriter inner = nest("STRM", gps5_stream(3, 100));
  for (int i = 0; i < 12; ++i)
    inner = nest("DEVC", inner);
  const Decoded d = decode_gpmf(inner.view(), 1.0);
  EXPECT_TRUE(d.fixes.empty());
  EXPECT_TRUE(has_note(d, "nesting deeper"));
}

}  // namespace
}  // namespace vek::track::formats
