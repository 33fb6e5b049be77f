#include "MovBuilder.h"
#include "track/container/ReadBuffer.h"
#include "track/container/WindowedSource.h"

#include <gtest/gtest.h>

namespace vek::track::container {
namespace {

using test::ByteVector;

// Counts the reads that reach it; fails them when told to.
class CountingSource final : public ByteSource {
 public:
  explicit CountingSource(Bytes bytes) : inner_(bytes) {}
  std::uint64_t size() const noexcept override { return inner_.size(); }
  bool read(std::uint64_t offset, std::span<std::byte> out) override {
    ++reads;
    return !failing && inner_.read(offset, out);
  }
  std::size_t reads = 0;
  bool failing = false;

 private:
  SpanSource inner_;
};

ByteVector equal_bytes(Bytes bytes) {
  return {bytes.begin(), bytes.end()};
}

TEST(ReadBuffer, HandsOutExactlyTheBytesReadAcrossGrowingAndShrinkingReads) {
  const ByteVector file = test::noise(4096, 3);
  CountingSource source(file);
  ReadBuffer buffer;
  const std::pair<std::uint64_t, std::uint64_t> reads[] = {{10, 100}, {0, 4096}, {4000, 96}, {7, 0}, {100, 3000}};
  for (const auto& [offset, n] : reads) {
    const std::optional<Bytes> got = buffer.fill(source, offset, n);
    ASSERT_TRUE(got.has_value()) << offset;
    EXPECT_EQ(equal_bytes(*got),
              ByteVector(file.begin() + static_cast<long>(offset), file.begin() + static_cast<long>(offset + n)))
        << offset;
  }
}

TEST(ReadBuffer, RangesOutsideTheSourceAndFailedReadsGiveNothing) {
  const ByteVector file = test::noise(100);
  CountingSource source(file);
  ReadBuffer buffer;
  EXPECT_FALSE(buffer.fill(source, 101, 0).has_value());
  EXPECT_FALSE(buffer.fill(source, 50, 51).has_value());
  EXPECT_FALSE(buffer.fill(source, UINT64_MAX, 2).has_value());
  EXPECT_EQ(source.reads, 0U) << "refused before any read";
  source.failing = true;
  EXPECT_FALSE(buffer.fill(source, 0, 10).has_value());
}

TEST(WindowedSource, ServesTheWindowFromMemoryAndTheRestFromTheFile) {
  const ByteVector file = test::noise(1000, 5);
  CountingSource source(file);
  const Bytes window = Bytes(file).subspan(200, 300);
  WindowedSource windowed(source, 200, window);
  EXPECT_EQ(windowed.size(), 1000U);
  const std::pair<std::uint64_t, std::size_t> inside[] = {{200, 300}, {250, 10}, {499, 1}, {500, 0}};
  for (const auto& [offset, n] : inside) {
    ByteVector out(n);
    ASSERT_TRUE(windowed.read(offset, out));
    EXPECT_EQ(out, ByteVector(file.begin() + static_cast<long>(offset), file.begin() + static_cast<long>(offset + n)));
  }
  EXPECT_EQ(source.reads, 0U);
  const std::pair<std::uint64_t, std::size_t> outside[] = {{0, 8}, {199, 2}, {499, 2}, {900, 100}};
  for (const auto& [offset, n] : outside) {
    ByteVector out(n);
    ASSERT_TRUE(windowed.read(offset, out));
    EXPECT_EQ(out, ByteVector(file.begin() + static_cast<long>(offset), file.begin() + static_cast<long>(offset + n)));
  }
  EXPECT_EQ(source.reads, 4U) << "every read leaving the window goes to the file";
  ByteVector past(8);
  EXPECT_FALSE(windowed.read(996, past));
}

}  // namespace
}  // namespace vek::track::container
