#include "track/ByteReader.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <thread>

namespace vek::track {
namespace {

const std::array<std::byte, 8> kBytes = {std::byte{0x01}, std::byte{0x02}, std::byte{0x03}, std::byte{0x04},
                                         std::byte{0x05}, std::byte{0x06}, std::byte{0x07}, std::byte{0xF0}};

TEST(ByteReader, ReadsThatEndExactlyAtTheEndFit) {
  ByteReader reader{Bytes(kBytes)};
  EXPECT_TRUE(reader.fits(0, 8));
  EXPECT_TRUE(reader.fits(8, 0));
  EXPECT_EQ(reader.u8(7), 0xF0U);
  EXPECT_EQ(reader.u16be(6), 0x07F0U);
  EXPECT_EQ(reader.i32be(4), 0x050607F0);
  EXPECT_EQ(reader.top_aligned(6, 2), static_cast<std::int32_t>(0x07F00000U));
  EXPECT_EQ(reader.range(8, 0).size(), 0U);
  EXPECT_FALSE(reader.overflowed());
}

TEST(ByteReader, OneByteTooFarYieldsZeroAndStaysFlagged) {
  ByteReader reader{Bytes(kBytes)};
  EXPECT_EQ(reader.u16be(7), 0U);
  EXPECT_TRUE(reader.overflowed());
  EXPECT_EQ(reader.u8(0), 1U) << "later reads that fit still read";
  EXPECT_TRUE(reader.overflowed()) << "the flag is sticky";
}

TEST(ByteReader, HugeOffsetsAndLengthsNeverWrapAround) {
  constexpr auto kMax = std::numeric_limits<std::uint64_t>::max();
  ByteReader reader{Bytes(kBytes)};
  EXPECT_FALSE(reader.fits(9, 0));
  EXPECT_FALSE(reader.fits(1, kMax));
  EXPECT_FALSE(reader.fits(kMax, 1));
  EXPECT_EQ(reader.range(kMax - 1, 2).size(), 0U);
  EXPECT_EQ(reader.i32be(kMax - 2), 0);
  EXPECT_EQ(reader.f64le(1), 0.0) << "seven bytes left, eight needed";
  EXPECT_TRUE(reader.overflowed());
}

TEST(ByteReader, EmptyInputOverflowsOnAnyRead) {
  ByteReader reader{Bytes()};
  EXPECT_TRUE(reader.fits(0, 0));
  EXPECT_EQ(reader.u8(0), 0U);
  EXPECT_TRUE(reader.overflowed());
}

TEST(ByteReader, ZeroLengthReadsFitOnlyUpToTheEnd) {
  constexpr auto kMax = std::numeric_limits<std::uint64_t>::max();
  ByteReader reader{Bytes(kBytes)};
  EXPECT_TRUE(reader.fits(0, 0));
  EXPECT_EQ(reader.range(8, 0).size(), 0U);
  EXPECT_FALSE(reader.overflowed()) << "an empty range at the very end is inside";
  EXPECT_FALSE(reader.fits(kMax, 0));
  EXPECT_EQ(reader.range(9, 0).size(), 0U);
  EXPECT_TRUE(reader.overflowed()) << "an empty range past the end is not";
}

TEST(ByteReader, EveryOverflowIsCountedOnItsOwnThread) {
  const std::uint64_t before = ByteReader::overflows_on_this_thread();
  ByteReader reader{Bytes(kBytes)};
  (void)reader.u32be(0), (void)reader.u64be(0);
  EXPECT_EQ(ByteReader::overflows_on_this_thread(), before) << "reads that fit are not counted";
  (void)reader.u32be(5), (void)reader.u8(8), (void)reader.range(std::numeric_limits<std::uint64_t>::max(), 1);
  EXPECT_EQ(ByteReader::overflows_on_this_thread(), before + 3);
  std::uint64_t elsewhere = 1;
  std::thread([&elsewhere] { elsewhere = ByteReader::overflows_on_this_thread(); }).join();
  EXPECT_EQ(elsewhere, 0U) << "another thread's count starts at zero";
  EXPECT_FALSE(ByteReader{Bytes(kBytes)}.overflowed()) << "a new reader starts unflagged";
}

}  // namespace
}  // namespace vek::track
