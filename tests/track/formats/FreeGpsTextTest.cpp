#include "track/formats/FreeGpsText.h"

#include "FamilyPayloads.h"

#include <gtest/gtest.h>

namespace vek::track::formats {
namespace {

using test::ByteWriter;
using test::freegps_atom;

TEST(FreeGpsText, CameraClockWithRmcTakesTheRmcTimeAndTheAcceleration) {
  const auto atom = test::freegps_clock_atom();
  ASSERT_TRUE(looks_like_freegps_text(atom.view()));
  const Decoded d = decode_freegps_text(atom.view());
  ASSERT_EQ(d.fixes.size(), 1u);
  EXPECT_EQ(d.fixes[0].time.hour, 9);  // the RMC's UTC, not the clock's 17
  EXPECT_NEAR(d.fixes[0].latitude, test::kLatitude, 1e-9);
  ASSERT_TRUE(d.fixes[0].accel);
  EXPECT_FLOAT_EQ(d.fixes[0].accel->x, 1.0f);
  EXPECT_FLOAT_EQ(d.fixes[0].accel->y, -0.5f);
  EXPECT_FLOAT_EQ(d.fixes[0].accel->z, 2.0f);
}

TEST(FreeGpsText, DoublesLayoutReadsDdmmKnotsAndThousandthsOfG) {
  ByteWriter a;
  a.u32be(256)
      .text("freeGPS ")
      .zeros(4)
      .u32le(9)
      .u32le(5)
      .u32le(7)
      .text("A")
      .zeros(3)
      .f64le(3436.2233)
      .text("S")
      .zeros(7)
      .f64le(5822.8955)
      .text("W")
      .zeros(7)
      .f64le(10.0)
      .f64le(270.5)
      .u32le(16)
      .u32le(3)
      .u32le(1)
      .u32le(0)
      .u32le(static_cast<std::uint32_t>(-500))
      .u32le(1000);
  a.zeros(256 - a.size());
  ASSERT_TRUE(looks_like_freegps_text(a.view()));
  const Decoded d = decode_freegps_text(a.view());
  ASSERT_EQ(d.fixes.size(), 1u);
  EXPECT_NEAR(d.fixes[0].latitude, -(34 + 36.2233 / 60), 1e-9);
  EXPECT_NEAR(d.fixes[0].longitude, -(58 + 22.8955 / 60), 1e-9);
  EXPECT_NEAR(d.fixes[0].speed_kmh, 18.52, 1e-9);
  EXPECT_DOUBLE_EQ(d.fixes[0].course.value(), 270.5);
  EXPECT_EQ(d.fixes[0].time.year, 2016);
  EXPECT_EQ(d.fixes[0].time.second, 7);
  EXPECT_FLOAT_EQ(d.fixes[0].accel->y, -0.5f);
  EXPECT_FLOAT_EQ(d.fixes[0].accel->z, 1.0f);
}

TEST(FreeGpsText, ShiftedRmcIsShiftedBack) {
  ByteWriter shifted;
  for (const char c : test::nmea(test::kRmcBody))
    shifted.u8(static_cast<std::uint8_t>(c + 16));
  auto atom = freegps_atom(256, 60, shifted.view());
  const Decoded d = decode_freegps_text(atom.view());
  ASSERT_EQ(d.fixes.size(), 1u);
  EXPECT_NEAR(d.fixes[0].longitude, test::kLongitude, 1e-9);
  EXPECT_EQ(d.notes.size(), 1u);
  // The second header form is decoded the same way, and says so.
  atom.set(12, 0xAC);
  const Decoded other = decode_freegps_text(atom.view());
  EXPECT_EQ(other.fixes.size(), 1u);
  EXPECT_EQ(other.notes.size(), 2u);
}

TEST(FreeGpsText, SlashDateLineIsDegreesWithKnots) {
  const auto line =
      test::bytes_of("2016/03/01 09:05:07 N:25.033964 E:121.564468 10.0 km/h x:0.01 y:0.02 z:0.98 A:45.5 H:15");
  const Decoded d = decode_freegps_text(freegps_atom(256, 23, line).view());
  ASSERT_EQ(d.fixes.size(), 1u);
  EXPECT_DOUBLE_EQ(d.fixes[0].latitude, 25.033964);
  EXPECT_DOUBLE_EQ(d.fixes[0].longitude, 121.564468);
  EXPECT_NEAR(d.fixes[0].speed_kmh, 18.52, 1e-9);
  EXPECT_DOUBLE_EQ(d.fixes[0].course.value(), 45.5);
  EXPECT_FALSE(d.notes.empty());
}

TEST(FreeGpsText, MalformedAtomsGiveNothing) {
  const auto slash = [](std::string_view text) { return freegps_atom(256, 23, test::bytes_of(text)); };
  const ByteWriter cases[] = {
      ByteWriter(),
      ByteWriter().u32be(16).text("freeGPS "),                  // too short for any layout
      freegps_atom(256, 52, test::bytes_of("20160301170507")),  // clock without an RMC
      slash("2016/13/01 09:05:07 N:25.0 E:121.5 10 km/h"),      // month 13
      slash("2016/03/01 09:05:07 Q:25.0 E:121.5 10 km/h"),      // hemisphere
      slash("2016/03/01 09:05:07 N:95.0 E:121.5 10 km/h"),      // latitude
      slash("2016/03/01 09:05:07 N:25.0 E:121.5 10 mph"),       // unit word
  };
  for (const auto& c : cases)
    EXPECT_TRUE(decode_freegps_text(c.view()).fixes.empty());
  auto bad_marker = test::freegps_clock_atom().vector();
  bad_marker[4] = std::byte{'F'};
  EXPECT_FALSE(looks_like_freegps_text(bad_marker));
}

// Every cut of a real atom, down to nothing, is refused before any read
// leaves it: a short atom once read its marker past its end.
TEST(FreeGpsText, CutAtomsAreNeverReadPastTheirEnd) {
  const std::uint64_t before = ByteReader::overflows_on_this_thread();
  ByteWriter shifted;
  for (const char c : test::nmea(test::kRmcBody))
    shifted.u8(static_cast<std::uint8_t>(c + 16));
  for (const auto& atom : {test::freegps_clock_atom().vector(), freegps_atom(256, 60, shifted.view()).vector()}) {
    for (std::size_t size = 0; size <= atom.size(); ++size) {
      const Bytes cut = Bytes(atom).first(size);
      (void)looks_like_freegps_text(cut);
      (void)decode_freegps_text(cut);
      ASSERT_EQ(ByteReader::overflows_on_this_thread(), before) << "cut at " << size << " bytes";
    }
  }
}

}  // namespace
}  // namespace vek::track::formats
