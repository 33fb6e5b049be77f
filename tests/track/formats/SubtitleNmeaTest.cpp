#include "track/formats/SubtitleNmea.h"

#include "FamilyPayloads.h"

#include <gtest/gtest.h>

namespace vek::track::formats {
namespace {

using test::subtitle_sample;

Decoded decode_one(const test::ByteWriter& sample) {
  const Bytes samples[] = {sample.view()};
  return decode_subtitle_nmea(samples);
}

TEST(SubtitleNmea, GsensorDialectGivesAccelerationAndTheFix) {
  const auto sample =
      subtitle_sample("gsensori,2,512,256,-512,1024;" + test::nmea(test::kRmcBody).substr(1) + ";CAR,0,0");
  ASSERT_TRUE(looks_like_subtitle_nmea(sample.view()));
  const Decoded d = decode_one(sample);
  ASSERT_EQ(d.fixes.size(), 1u);
  EXPECT_NEAR(d.fixes[0].longitude, test::kLongitude, 1e-9);
  ASSERT_EQ(d.accel.size(), 1u);
  EXPECT_FLOAT_EQ(d.accel[0].x, 0.5f);
  EXPECT_FLOAT_EQ(d.accel[0].y, -1.0f);
  EXPECT_FLOAT_EQ(d.accel[0].z, 2.0f);
}

TEST(SubtitleNmea, NulSeparatedSentencesAndCsvRows) {
  const std::string sentences =
      test::nmea(test::kRmcBody) + std::string(1, '\0') + "$GSENSOR,1,2,3" + std::string(1, '\0');
  EXPECT_EQ(decode_one(subtitle_sample(sentences)).fixes.size(), 1u);

  const Decoded csv =
      decode_one(subtitle_sample("A,010316,090507.000,2502.0378,N,12133.8681,W,36.5,15.0,0.0,4.903325,9.80665;"));
  ASSERT_EQ(csv.fixes.size(), 1u);
  EXPECT_NEAR(csv.fixes[0].longitude, -test::kLongitude, 1e-9);
  EXPECT_DOUBLE_EQ(csv.fixes[0].speed_kmh, 36.5);
  EXPECT_FLOAT_EQ(csv.fixes[0].accel->y, 0.5f);
  EXPECT_FLOAT_EQ(csv.fixes[0].accel->z, 1.0f);
}

TEST(SubtitleNmea, OffsetScrambledCueIsRestored) {
  const std::string plain = std::string(1, '\0') + "X0Y0Z1G" + test::nmea(test::kRmcBody) + "\n";
  std::string scrambled;
  for (const char c : plain)
    scrambled.push_back(static_cast<char>(static_cast<unsigned char>(c) - 7));
  scrambled.front() = '\0';
  scrambled.back() = '\n';
  const Decoded d = decode_one(subtitle_sample(scrambled));
  ASSERT_EQ(d.fixes.size(), 1u);
  EXPECT_NEAR(d.fixes[0].latitude, test::kLatitude, 1e-9);
}

TEST(SubtitleNmea, MalformedSamplesGiveNothing) {
  const test::ByteWriter cases[] = {
      test::ByteWriter(),
      test::ByteWriter().u8(0),
      subtitle_sample("hello world"),
      subtitle_sample("gsensori,2,0,1,2,3;"),               // sensitivity 0, no RMC
      subtitle_sample(std::string(1, '\0') + "garbage\n"),  // offset dialect without an RMC after it
      subtitle_sample("X1Y2Z3G$GPRMC,abc*7F~"),             // table-scrambled: not read
  };
  for (const auto& c : cases) {
    const Decoded d = decode_one(c);
    EXPECT_TRUE(d.fixes.empty());
    EXPECT_TRUE(d.accel.empty());
  }
  // A length field longer than the sample reads only what is there.
  test::ByteWriter long_claim;
  long_claim.u16be(0xFFFF).text(test::nmea(test::kRmcBody));
  EXPECT_EQ(decode_one(long_claim).fixes.size(), 1u);
}

}  // namespace
}  // namespace vek::track::formats
