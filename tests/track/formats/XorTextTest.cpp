#include "track/formats/XorText.h"

#include "FamilyPayloads.h"

#include <gtest/gtest.h>

namespace vek::track::formats {
namespace {

Decoded decode_one(std::span<const std::byte> record) {
  const Bytes records[] = {record};
  return decode_xor_text(records);
}

std::vector<std::byte> record_with(std::size_t at, std::string_view plain) {
  auto record = test::xor_record().vector();
  for (std::size_t i = 0; i < plain.size(); ++i)
    record[at + i] = static_cast<std::byte>(static_cast<unsigned char>(plain[i]) ^ 0xAA);
  return record;
}

TEST(XorText, RecordDecryptsToClockPositionSpeedAndAcceleration) {
  const auto record = test::xor_record();
  ASSERT_TRUE(looks_like_xor_text(record.view()));
  const Decoded d = decode_one(record.view());
  ASSERT_EQ(d.fixes.size(), 1u);
  EXPECT_EQ(d.fixes[0].time.year, 2016);
  EXPECT_EQ(d.fixes[0].time.minute, 5);
  EXPECT_NEAR(d.fixes[0].latitude, test::kLatitude, 1e-9);
  EXPECT_NEAR(d.fixes[0].longitude, test::kLongitude, 1e-9);
  EXPECT_DOUBLE_EQ(d.fixes[0].speed_kmh, 18.0);
  ASSERT_TRUE(d.fixes[0].accel);
  EXPECT_FLOAT_EQ(d.fixes[0].accel->x, 0.12f);
  EXPECT_FLOAT_EQ(d.fixes[0].accel->y, -0.34f);
  EXPECT_FLOAT_EQ(d.fixes[0].accel->z, 0.98f);
}

TEST(XorText, SouthWestAndTheShortSignature) {
  const auto sw = record_with(38, "S34362233W058228955");
  const Decoded d = decode_one(sw);
  ASSERT_EQ(d.fixes.size(), 1u);
  EXPECT_NEAR(d.fixes[0].latitude, -(34 + 36.2233 / 60), 1e-9);
  EXPECT_NEAR(d.fixes[0].longitude, -(58 + 22.8955 / 60), 1e-9);

  auto short_form = test::xor_record().vector();
  short_form[2] = short_form[3] = std::byte{0};
  short_form[4] = short_form[5] = std::byte{0xaa};
  EXPECT_TRUE(looks_like_xor_text(short_form));
  auto short_without_clock = short_form;
  short_without_clock[8] = std::byte{0};
  EXPECT_FALSE(looks_like_xor_text(short_without_clock));
}

TEST(XorText, NoFixKeepsTheAccelerationAndBadFieldsRefuseTheFix) {
  const auto no_fix = record_with(38, "         ");
  const Decoded d = decode_one(no_fix);
  EXPECT_TRUE(d.fixes.empty());
  EXPECT_EQ(d.accel.size(), 1u);
  for (const auto& bad :
       {record_with(38, "N25600000"), record_with(38, "N95000000"), record_with(8, "20161301"), record_with(62, "1x8")})
    EXPECT_TRUE(decode_one(bad).fixes.empty());
  auto truncated = test::xor_record().vector();
  truncated.resize(76);
  EXPECT_FALSE(looks_like_xor_text(truncated));
  EXPECT_TRUE(decode_one(truncated).accel.empty());
}

}  // namespace
}  // namespace vek::track::formats
