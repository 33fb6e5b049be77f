#include "ClipBuilder.h"
#include "track/Decoders.h"

#include <gtest/gtest.h>

namespace vek::track {
namespace {

using test::ClipBuilder;

Bytes of(std::initializer_list<unsigned> values, std::vector<std::byte>& storage) {
  storage.clear();
  for (const unsigned v : values)
    storage.push_back(static_cast<std::byte>(v));
  return storage;
}

TEST(Hextodec, BigEndianUnsigned) {
  std::vector<std::byte> s;
  EXPECT_EQ(hextodec(of({0x07, 0xE0}, s)), 2016U);
  EXPECT_EQ(hextodec(of({0xFF}, s)), 255U) << "never -1";
  EXPECT_EQ(hextodec(of({0xFF, 0xFF}, s)), 65535U);
  EXPECT_EQ(hextodec(of({}, s)), 0U);
  EXPECT_EQ(hextodec(of({0x12, 0x34, 0x56, 0x78}, s)), 0x12345678U);
  EXPECT_EQ(hextodec(of({0x00, 0x12, 0x34, 0x56, 0x78}, s)), 0x12345678U) << "leading zeros do not overflow";
  EXPECT_EQ(hextodec(of({0x01, 0x00, 0x00, 0x00, 0x00}, s)), 0xFFFFFFFFU) << "saturates";
}

TEST(ConvertNSDataToDouble, LittleEndianDouble) {
  std::vector<std::byte> s;
  EXPECT_EQ(ConvertNSDataToDouble(of({0, 0, 0, 0, 0, 0, 0xF0, 0x3F}, s)), 1.0);
  ClipBuilder clip(8);
  clip.f64le(0, 2502.12345);
  EXPECT_EQ(ConvertNSDataToDouble(clip.bytes()), 2502.12345);
}

TEST(ConvertNSDataToDoubleDeathTest, OtherLengthsStopTheProgram) {
  std::vector<std::byte> s;
  EXPECT_DEATH(ConvertNSDataToDouble(of({1, 2, 3}, s)), "\\[data length\\] == sizeof\\(d\\)");
}

TEST(TopAligned, FieldInTheTopBytes) {
  std::vector<std::byte> s;
  EXPECT_EQ(top_aligned(of({0x40}, s)), 1073741824);
  EXPECT_EQ(top_aligned(of({0xC0}, s)), -1073741824);
  EXPECT_EQ(top_aligned(of({0x01, 0x00}, s)), 16777216);
  EXPECT_EQ(top_aligned(of({0xFF, 0xFF, 0xFF, 0xFE}, s)), -2);
  EXPECT_EQ(top_aligned(of({}, s)), 0);
  EXPECT_FLOAT_EQ(scaled(top_aligned(of({0x40}, s)), 1e9F), 1.0737418F);
  EXPECT_FLOAT_EQ(scaled(top_aligned(of({0x00, 0xB4}, s)), 1e7F), 1.179648F) << "a stored 180 degrees value";
}

}  // namespace
}  // namespace vek::track
