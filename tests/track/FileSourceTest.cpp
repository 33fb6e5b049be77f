// Many ranges of a clip read at once, straight from the device where it
// allows, else through the page cache: the same bytes either way.

#include "support/PageCache.h"
#include "support/ScratchFolder.h"
#include "track/io/DirectReads.h"
#include "track/io/FileSource.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>
#include <stdexcept>

namespace vek::track::io {
namespace {

namespace fs = std::filesystem;
using container::ByteRange;

constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;

// A byte pattern that tells every offset from its neighbours.
std::byte byte_at(std::uint64_t offset) {
  return static_cast<std::byte>((offset * 7 + offset / 251) % 256);
}

class FileSourceRanges : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string bytes(static_cast<std::size_t>(kSize), '\0');
    for (std::uint64_t i = 0; i < kSize; ++i)
      bytes[static_cast<std::size_t>(i)] = static_cast<char>(byte_at(i));
    clip_ = scratch_.write("CLIP.MOV", bytes);
    vek::test::evict(clip_);  // cold, as a card's clip: read straight from the device where it allows
  }

  std::unique_ptr<FileSource> open() {
    IoError error;
    std::unique_ptr<FileSource> source = FileSource::open(clip_, error);
    EXPECT_TRUE(source) << error.message;
    return source;
  }

  // Reads the ranges, checking each visit's index and bytes; the count of visits.
  std::size_t read_checked(FileSource& source, const std::vector<ByteRange>& ranges, bool& read,
                           std::size_t stop_after = SIZE_MAX) {
    std::size_t visits = 0;
    read = source.read_ranges(ranges, [&](std::size_t index, Bytes bytes) {
      EXPECT_EQ(index, visits) << "in order, each once";
      EXPECT_EQ(bytes.size(), ranges[index].size);
      for (std::size_t k = 0; k < bytes.size(); ++k) {
        if (bytes[k] != byte_at(ranges[index].offset + k)) {
          ADD_FAILURE() << "byte " << k << " of the range at " << ranges[index].offset;
          break;
        }
      }
      return ++visits < stop_after;
    });
    return visits;
  }

  // Not a multiple of any block: the last range ends inside a block.
  static constexpr std::uint64_t kSize = 9 * kMiB + 1234;
  const vek::test::ScratchFolder scratch_{"vek-ranges"};
  fs::path clip_;
};

TEST_F(FileSourceRanges, ScatteredRangesArriveWholeAndInOrder) {
  const std::vector<ByteRange> ranges{
      {0, 12}, {4095, 2}, {5000, 32768}, {kMiB + 17, 100'000}, {3 * kMiB, 0}, {kSize - 1234, 1234}, {kSize - 1, 1}};
  const auto source = open();
  bool read = false;
  EXPECT_EQ(read_checked(*source, ranges, read), ranges.size());
  EXPECT_TRUE(read);
}

TEST_F(FileSourceRanges, MoreRangesThanOneBatchAndRangesLargerThanItsBufferAllArrive) {
  std::vector<ByteRange> ranges;
  for (std::uint64_t k = 0; k < 150; ++k)
    ranges.push_back({k * 40'000 + 3, 30'000});
  ranges.push_back({kMiB / 4, 17 * kMiB / 2});  // past the direct reads' buffer: read another way
  ranges.push_back({kSize - 10, 10});
  const auto source = open();
  bool read = false;
  EXPECT_EQ(read_checked(*source, ranges, read), ranges.size());
  EXPECT_TRUE(read);
}

TEST_F(FileSourceRanges, TheVisitorStopsTheReadingAndARangePastTheEndFails) {
  const std::vector<ByteRange> ranges{{0, 10}, {100, 10}, {200, 10}};
  const auto source = open();
  bool read = false;
  EXPECT_EQ(read_checked(*source, ranges, read, 2), 2U);
  EXPECT_TRUE(read) << "stopping is no failure";
  const std::vector<ByteRange> past{{0, 10}, {kSize - 5, 10}};
  EXPECT_EQ(read_checked(*source, past, read), 1U);
  EXPECT_FALSE(read);
  const std::vector<ByteRange> beyond{{kSize + 4096, 1}};
  EXPECT_EQ(read_checked(*source, beyond, read), 0U);
  EXPECT_FALSE(read);
}

// The reads under way are waited for before the throw leaves: none lands in
// the buffer, nor answers for the next reading.
TEST_F(FileSourceRanges, AVisitorThatThrowsLeavesTheNextReadingSound) {
  std::vector<ByteRange> ranges;
  for (std::uint64_t k = 0; k < 100; ++k)
    ranges.push_back({k * 65'536 + 11, 40'000});
  const auto source = open();
  EXPECT_THROW(source->read_ranges(ranges,
                                   [](std::size_t index, Bytes) {
                                     if (index == 1) throw std::runtime_error("out of memory");
                                     return true;
                                   }),
               std::runtime_error);
  vek::test::evict(clip_);
  const std::vector<ByteRange> others{{12'345, 100}, {3 * kMiB + 1, 5000}, {5 * kMiB + 7, 70'000}};
  const auto again = open();
  bool read = false;
  EXPECT_EQ(read_checked(*again, others, read), others.size());
  EXPECT_TRUE(read);
}

TEST_F(FileSourceRanges, ACutClipFailsTheRangesPastItsNewEnd) {
  const auto source = open();
  fs::resize_file(clip_, 2 * kMiB);
  const std::vector<ByteRange> ranges{{kMiB, 4096}, {3 * kMiB, 4096}};
  bool read = false;
  EXPECT_EQ(read_checked(*source, ranges, read), 1U);
  EXPECT_FALSE(read);
}

// Read straight from the device, a cold clip's ranges leave nothing in the page cache.
TEST_F(FileSourceRanges, DirectReadsLeaveTheClipOutOfThePageCache) {
  const int direct = ::open(clip_.c_str(), O_RDONLY | O_DIRECT | O_CLOEXEC);
  if (direct < 0) GTEST_SKIP() << "this file system offers no direct reads";
  ::close(direct);
  if (DirectReads::for_this_thread() == nullptr) GTEST_SKIP() << "this kernel offers no io_uring";
  const auto source = open();
  std::vector<ByteRange> ranges;
  for (std::uint64_t k = 0; k < 8; ++k)
    ranges.push_back({k * kMiB + 99, 32768});
  bool read = false;
  EXPECT_EQ(read_checked(*source, ranges, read), ranges.size());
  EXPECT_TRUE(read);
  EXPECT_EQ(vek::test::resident_bytes(clip_), 0U);
}

}  // namespace
}  // namespace vek::track::io
