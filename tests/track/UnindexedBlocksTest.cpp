// The look for unindexed freeGPS blocks: which offsets of the media data it
// reads, what counts as a block header there, and that it reads only those.

#include "MovBuilder.h"
#include "track/container/UnindexedBlocks.h"

#include <gtest/gtest.h>

namespace vek::track::container {
namespace {

using test::ByteVector;

constexpr std::uint64_t kStep = kUnindexedBlockStep;

// ftyp (16 bytes), then an mdat of `media` bytes (its payload starts at 24,
// off the file's 32 KiB boundaries), then a small moov.
ByteVector clip_with_media(const ByteVector& media) {
  ByteVector clip = test::atom("ftyp", ByteVector(8));
  test::append(clip, test::atom("mdat", media));
  test::append(clip, test::atom("moov", ByteVector(16)));
  return clip;
}

constexpr std::uint64_t kPayload = 24;

// Noise with a freeGPS atom header of a 32 KiB block written at each offset (from the file's start).
ByteVector media_with_headers(std::size_t size, const std::vector<std::uint64_t>& at_in_file) {
  ByteVector media = test::noise(size);
  for (const std::uint64_t at : at_in_file) {
    ByteVector block;
    test::put_be(block, kStep, 4);  // 00 00 80 00: the 32 KiB cameras reserve
    test::put_text(block, "freeGPS ");
    std::copy(block.begin(), block.end(), media.begin() + static_cast<std::ptrdiff_t>(at - kPayload));
  }
  return media;
}

// Counts what is read, and records the reads.
class CountingSource final : public ByteSource {
 public:
  explicit CountingSource(Bytes bytes) : inner_(bytes) {}
  std::uint64_t size() const noexcept override { return inner_.size(); }
  bool read(std::uint64_t offset, std::span<std::byte> out) override {
    bytes_read += out.size();
    ++reads;
    return inner_.read(offset, out);
  }
  std::uint64_t bytes_read = 0;
  std::size_t reads = 0;

 private:
  SpanSource inner_;
};

bool finds_block(const ByteVector& clip) {
  SpanSource source(clip);
  const auto top = walk_atoms(source, 0, clip.size());
  return top && has_unindexed_block(source, *top);
}

TEST(UnindexedBlocks, PlacesFollowBothAlignmentsWithinTheReachOfTheFirstMediaData) {
  const ByteVector clip = clip_with_media(test::noise(4 << 20));
  SpanSource source(clip);
  const auto places = unindexed_block_places(*walk_atoms(source, 0, clip.size()));
  ASSERT_FALSE(places.empty());
  EXPECT_EQ(places.front(), kPayload);
  EXPECT_TRUE(std::is_sorted(places.begin(), places.end()));
  for (const std::uint64_t at : places)
    EXPECT_TRUE((at - kPayload) % kStep == 0 || at % kStep == 0) << at;
  EXPECT_LE(places.back(), kPayload + kUnindexedBlockReach);
  EXPECT_EQ(places.size(), 2 * (kUnindexedBlockReach / kStep) + 1) << "each alignment once, the payload's start too";
}

TEST(UnindexedBlocks, PlacesStayInsideTheMediaData) {
  const auto places_of = [](const ByteVector& clip) {
    SpanSource source(clip);
    return unindexed_block_places(*walk_atoms(source, 0, clip.size()));
  };
  const ByteVector short_media = clip_with_media(test::noise(3 * kStep));
  for (const std::uint64_t at : places_of(short_media))
    EXPECT_LE(at + 12, kPayload + 3 * kStep) << at;
  EXPECT_TRUE(places_of(clip_with_media(test::noise(11))).empty()) << "too short for a block header";
  ByteVector no_media = test::atom("ftyp", ByteVector(8));
  test::append(no_media, test::atom("moov", ByteVector(16)));
  EXPECT_TRUE(places_of(no_media).empty());
}

TEST(UnindexedBlocks, AHeaderIsFoundOnEitherAlignmentAndNowhereElse) {
  constexpr std::size_t kMedia = 3 << 20;
  EXPECT_FALSE(finds_block(clip_with_media(media_with_headers(kMedia, {}))));
  EXPECT_TRUE(finds_block(clip_with_media(media_with_headers(kMedia, {kPayload}))));
  EXPECT_TRUE(finds_block(clip_with_media(media_with_headers(kMedia, {kPayload + 5 * kStep}))));
  EXPECT_TRUE(finds_block(clip_with_media(media_with_headers(kMedia, {7 * kStep}))));
  EXPECT_TRUE(finds_block(clip_with_media(media_with_headers(kMedia, {kUnindexedBlockReach}))));
  EXPECT_FALSE(finds_block(clip_with_media(media_with_headers(kMedia, {7 * kStep + 512}))));
  EXPECT_FALSE(finds_block(clip_with_media(media_with_headers(kMedia, {kUnindexedBlockReach + kStep}))))
      << "past the reach";
}

TEST(UnindexedBlocks, OnlyABlockSizedHeaderCounts) {
  ByteVector media = media_with_headers(1 << 20, {kStep});
  const std::size_t header = kStep - kPayload;
  media[header] = std::byte{1};  // a size of 16 MiB or more
  EXPECT_FALSE(finds_block(clip_with_media(media)));
  media[header] = std::byte{0};
  media[header + 3] = std::byte{4};  // not a multiple of 256
  EXPECT_FALSE(finds_block(clip_with_media(media)));
  media[header + 3] = std::byte{0};
  media[header + 11] = std::byte{'s'};  // "freeGPSs"
  EXPECT_FALSE(finds_block(clip_with_media(media)));
  media[header + 11] = std::byte{' '};
  EXPECT_TRUE(finds_block(clip_with_media(media)));
}

TEST(UnindexedBlocks, ReadsOnlyAHeaderAtEachPlace) {
  const ByteVector clip = clip_with_media(test::noise(8 << 20));
  SpanSource plain(clip);
  const auto top = walk_atoms(plain, 0, clip.size());
  CountingSource source(clip);
  EXPECT_FALSE(has_unindexed_block(source, *top));
  EXPECT_EQ(source.reads, unindexed_block_places(*top).size());
  EXPECT_EQ(source.bytes_read, 12 * source.reads);
  EXPECT_LE(source.reads, 2 * (kUnindexedBlockReach / kStep) + 1);
}

}  // namespace
}  // namespace vek::track::container
