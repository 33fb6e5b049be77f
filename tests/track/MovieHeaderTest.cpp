#include "ClipBuilder.h"
#include "track/MovieHeader.h"

#include <gtest/gtest.h>

namespace vek::track {
namespace {

// ftyp (16 bytes), mdat (`media` bytes), then moov holding a skip box and an mvhd.
test::ClipBuilder movie(std::size_t media, unsigned version, std::uint32_t timescale, std::uint64_t duration) {
  const std::size_t mvhd_size = version == 1 ? 8 + 4 + 16 + 4 + 8 : 8 + 4 + 8 + 4 + 4;
  const std::size_t moov_at = 16 + media;
  test::ClipBuilder clip(moov_at + 8 + 12 + mvhd_size);
  clip.i32be(0, 16).ascii(4, "ftyp").i32be(16, static_cast<std::int32_t>(media)).ascii(20, "mdat");
  clip.i32be(moov_at, static_cast<std::int32_t>(8 + 12 + mvhd_size)).ascii(moov_at + 4, "moov");
  clip.i32be(moov_at + 8, 12).ascii(moov_at + 12, "skip");
  const std::size_t mvhd = moov_at + 20;
  clip.i32be(mvhd, static_cast<std::int32_t>(mvhd_size))
      .ascii(mvhd + 4, "mvhd")
      .u8(mvhd + 8, static_cast<std::uint8_t>(version));
  const std::size_t scale_at = mvhd + 12 + (version == 1 ? 16 : 8);
  clip.u32be(scale_at, timescale);
  if (version == 1)
    clip.u64be(scale_at + 4, duration);
  else
    clip.u32be(scale_at + 4, static_cast<std::uint32_t>(duration));
  return clip;
}

TEST(MovieHeader, ReadsTheLengthOfBothHeaderVersions) {
  EXPECT_EQ(movie_duration_seconds(movie(64, 0, 600, 36000).bytes()), std::optional<double>(60.0));
  EXPECT_EQ(movie_duration_seconds(movie(64, 1, 1000, 5'000'000'000ULL).bytes()), std::optional<double>(5'000'000.0));
}

TEST(MovieHeader, GivesNothingForMissingTruncatedOrNonsenseHeaders) {
  EXPECT_FALSE(movie_duration_seconds({}).has_value());
  EXPECT_FALSE(movie_duration_seconds(movie(64, 0, 0, 100).bytes()).has_value()) << "zero time scale";
  test::ClipBuilder whole = movie(64, 0, 600, 36000);
  const Bytes cut = whole.bytes().first(whole.size() - 3);
  EXPECT_FALSE(movie_duration_seconds(cut).has_value()) << "the header runs past the end";
  test::ClipBuilder lying = movie(64, 0, 600, 36000);
  lying.i32be(16, 0x7fffffff);
  EXPECT_FALSE(movie_duration_seconds(lying.bytes()).has_value()) << "a box claims more than the file";
  test::ClipBuilder tiny = movie(64, 0, 600, 36000);
  tiny.i32be(16, 4);
  EXPECT_FALSE(movie_duration_seconds(tiny.bytes()).has_value()) << "a box smaller than its header";
}

TEST(MovieHeader, WalksALargeSizeBox) {
  test::ClipBuilder clip = movie(64, 0, 90000, 90000 * 12);
  clip.i32be(16, 1).u64be(24, 64);  // the mdat size in the 64-bit field
  EXPECT_EQ(movie_duration_seconds(clip.bytes()), std::optional<double>(12.0));
  clip.u64be(24, 15);
  EXPECT_FALSE(movie_duration_seconds(clip.bytes()).has_value()) << "a 64-bit size below its own header";
}

}  // namespace
}  // namespace vek::track
