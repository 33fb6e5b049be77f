#include "track/formats/SubtitleBinary.h"

#include "FamilyPayloads.h"

#include <gtest/gtest.h>

namespace vek::track::formats {
namespace {

TEST(SubtitleBinary, ShortLayoutAccelerationEverySampleAndOneFixPerTime) {
  const auto sample = test::subtitle_binary_288();
  ASSERT_EQ(sample.size(), 290u);
  ASSERT_TRUE(looks_like_subtitle_binary(sample.view()));
  const Bytes samples[] = {sample.view(), sample.view(), sample.view()};
  const Decoded d = decode_subtitle_binary(samples);
  ASSERT_EQ(d.fixes.size(), 1u);  // three samples of the same second
  ASSERT_EQ(d.accel.size(), 3u);
  EXPECT_FLOAT_EQ(d.accel[0].x, 1.0f);
  EXPECT_FLOAT_EQ(d.accel[0].y, 0.5f);  // stored -0.5, y negated
  EXPECT_FLOAT_EQ(d.accel[0].z, 2.0f);
  EXPECT_NEAR(d.fixes[0].latitude, test::kLatitude, 1e-9);  // checksum "*00" is wrong and ignored
}

TEST(SubtitleBinary, LongLayoutReadsItsOwnOffsets) {
  test::ByteWriter s;
  s.u16be(1046).zeros(4).text("20160301170507").zeros(2 + 8);
  s.u16le(2048).u16le(static_cast<std::uint16_t>(-1024)).u16le(4096);
  s.zeros(2 + 790 - s.size()).text("$" + std::string(test::kRmcBody));
  s.zeros(1048 - s.size());
  ASSERT_TRUE(looks_like_subtitle_binary(s.view()));
  const Bytes samples[] = {s.view()};
  const Decoded d = decode_subtitle_binary(samples);
  ASSERT_EQ(d.fixes.size(), 1u);
  EXPECT_FLOAT_EQ(d.accel.at(0).x, -0.5f);
  EXPECT_FLOAT_EQ(d.accel.at(0).y, -1.0f);
  EXPECT_FLOAT_EQ(d.accel.at(0).z, 2.0f);
  EXPECT_EQ(d.notes.size(), 2u);
}

TEST(SubtitleBinary, PrefixMustMatchTheSizeAndZeros) {
  auto good = test::subtitle_binary_288().vector();
  auto shorter = good;
  shorter.resize(good.size() - 1);
  auto nonzero = good;
  nonzero[3] = std::byte{1};
  auto other_prefix = good;
  other_prefix[1] = std::byte{0x21};
  for (const auto& bad : {shorter, nonzero, other_prefix, std::vector<std::byte>(2)}) {
    EXPECT_FALSE(looks_like_subtitle_binary(bad));
    const Bytes samples[] = {bad};
    EXPECT_TRUE(decode_subtitle_binary(samples).accel.empty());
  }
}

}  // namespace
}  // namespace vek::track::formats
