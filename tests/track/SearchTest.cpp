#include "ClipBuilder.h"
#include "track/Search.h"

#include <gtest/gtest.h>

#include <random>

namespace vek::track {
namespace {

using test::ClipBuilder;

std::uint64_t byte_walk(Bytes pattern, Bytes hay, std::uint64_t offset) {
  const std::uint64_t m = pattern.size(), n = hay.size();
  if (m > n || offset > n - m) return NSNotFound;
  for (std::uint64_t p = offset; p <= n - m; ++p) {
    std::uint64_t i = 0;
    while (i < m && pattern[i] == hay[p + i])
      ++i;
    if (i == m) return p;
  }
  return NSNotFound;
}

TEST(IndexOfData, NotFoundIsTheLargestSigned64BitValue) {
  EXPECT_EQ(NSNotFound, 0x7FFFFFFFFFFFFFFFULL);
  EXPECT_EQ(NSNotFound, 9223372036854775807ULL);
}

TEST(IndexOfData, EdgeCasesOfTheWalk) {
  ClipBuilder clip(64);
  clip.ascii(57, "freeGPS");  // ends exactly at the last byte
  const Bytes hay = clip.bytes();
  EXPECT_EQ(indexOfData(marker_bytes("freeGPS"), hay, 0), 57U);
  EXPECT_EQ(indexOfData(marker_bytes("freeGPS"), hay, 57), 57U) << "a search from a match finds it again";
  EXPECT_EQ(indexOfData(marker_bytes("freeGPS"), hay, 58), NSNotFound) << "offset beyond the last start";
  EXPECT_EQ(indexOfData(marker_bytes("freeGPS"), hay, NSNotFound), NSNotFound);
  EXPECT_EQ(indexOfData(marker_bytes("freeGPS"), hay.first(6), 0), NSNotFound) << "pattern longer than haystack";
  EXPECT_EQ(indexOfData(marker_bytes("FREEGPS"), hay, 0), NSNotFound) << "case-sensitive";
  EXPECT_EQ(indexOfData(marker_bytes("freeGPS"), hay.first(63), 0), NSNotFound) << "cut one byte short";
  EXPECT_EQ(indexOfData(marker_bytes(""), hay, 5), 5U);
  EXPECT_EQ(indexOfData(marker_bytes("gps0"), Bytes{}, 0), NSNotFound);
}

TEST(IndexOfData, ResultIsAbsoluteAndTheFirstMatch) {
  ClipBuilder clip(300);
  clip.ascii(10, "gps0").ascii(100, "gps0").ascii(200, "gpgps0");
  EXPECT_EQ(indexOfData(marker_bytes("gps0"), clip.bytes(), 0), 10U);
  EXPECT_EQ(indexOfData(marker_bytes("gps0"), clip.bytes(), 11), 100U);
  EXPECT_EQ(indexOfData(marker_bytes("gps0"), clip.bytes(), 101), 202U);
}

// Every vector scan this processor runs must agree with the byte walk on
// every start and offset, including matches that straddle its blocks and the tail.
TEST(IndexOfData, EveryScanAgreesWithTheByteWalkOnRandomData) {
  const std::string patterns[] = {"g", "gs", "gps0", "freeGPS", "abcabcabcabcabcabcabcabcabcabcabcabcabc"};
  for (const std::string_view path : detail::scan_paths()) {
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
      const std::size_t size = random() % 600;
      ClipBuilder clip(size);
      const std::string& pattern = patterns[random() % std::size(patterns)];
      for (std::size_t i = 0; i < size; ++i)  // a small alphabet makes partial matches common
        clip.u8(i, static_cast<std::uint8_t>(pattern[random() % pattern.size()]));
      for (int plant = 0; plant < 3 && pattern.size() <= size; ++plant)
        clip.ascii(random() % (size - pattern.size() + 1), pattern);
      for (std::uint64_t offset = 0; offset <= size + 1; offset += 1 + random() % 7)
        ASSERT_EQ(detail::indexOfData_on(path, marker_bytes(pattern), clip.bytes(), offset),
                  byte_walk(marker_bytes(pattern), clip.bytes(), offset))
            << path << ": size " << size << " pattern " << pattern << " offset " << offset;
    }
  }
}

TEST(IndexOfData, EveryScanFindsMarkersAroundBlockEdges) {
  for (const std::string_view path : detail::scan_paths()) {
    for (std::size_t at = 100; at < 400; ++at) {
      ClipBuilder clip(512, std::byte{'f'});  // every start is a first-byte candidate
      clip.ascii(at, "freeGPS");
      ASSERT_EQ(detail::indexOfData_on(path, marker_bytes("freeGPS"), clip.bytes(), 0), at) << path;
      ASSERT_EQ(detail::indexOfData_on(path, marker_bytes("freeGPS"), clip.bytes(), at + 1), NSNotFound) << path;
    }
  }
  EXPECT_FALSE(detail::scan_paths().empty());
}

}  // namespace
}  // namespace vek::track
