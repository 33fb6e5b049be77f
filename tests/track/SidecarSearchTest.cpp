// A clip whose track comes from its sidecars is read without a search of its
// media, unless freeGPS blocks sit where cameras put unindexed ones or the
// clip's structure cannot rule out data of its own: then it is searched whole
// and its text is what it always was.

#include "MovBuilder.h"
#include "support/PageCache.h"
#include "support/ScratchFolder.h"
#include "track/container/UnindexedBlocks.h"
#include "track/io/ClipProbe.h"
#include "track/io/Extract.h"
#include "track/io/RouteExport.h"

#include <gtest/gtest.h>

#include <fstream>

namespace vek::track::io {
namespace {

namespace fs = std::filesystem;
using test::ByteVector;
using vek::test::ScratchFolder;

constexpr std::uint64_t kStep = container::kUnindexedBlockStep;
constexpr std::uint64_t kMediaStart = 24;  // after a 16-byte ftyp and the mdat header
constexpr std::size_t kMedia = 3 << 20;
constexpr const char* kNmea =
    "$GPRMC,090507.00,A,2502.0378,N,12133.8681,E,10.0,123.4,010316,,,A*69\r\n"
    "$GPRMC,090508.00,A,2502.0390,N,12133.8690,E,10.0,123.4,010316,,,A*60\r\n";
constexpr const char* kSidecarFamily = "NMEA sidecar (family 13)";
constexpr const char* kTodayFamily = "freeGPS boxes";

std::string as_text(const ByteVector& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// ftyp, an mdat of media noise with a 32 KiB freeGPS box atom at each of
// `blocks` (file offsets), then a moov holding `moov`.
ByteVector clip_with_blocks(const std::vector<std::uint64_t>& blocks, const ByteVector& moov = ByteVector(16)) {
  ByteVector media = test::noise(kMedia);
  unsigned second = 0;
  for (const std::uint64_t at : blocks) {
    const ByteVector block = test::freegps_atom(kStep, second++);
    std::copy(block.begin(), block.end(), media.begin() + static_cast<std::ptrdiff_t>(at - kMediaStart));
  }
  ByteVector clip = test::atom("ftyp", ByteVector(8));
  test::append(clip, test::atom("mdat", media));
  test::append(clip, test::atom("moov", moov));
  return clip;
}

// Six blocks a second apart, from `first` on.
std::vector<std::uint64_t> six_blocks(std::uint64_t first) {
  std::vector<std::uint64_t> at;
  for (std::uint64_t k = 0; k < 6; ++k)
    at.push_back(first + k * 2 * kStep);
  return at;
}

struct Extracted {
  std::string text;
  std::string family;
};

Extracted extract(const ScratchFolder& home, const fs::path& clip, ReadMode mode = ReadMode::located) {
  fs::create_directories(home / "VEK/data");
  const std::string name = clip.filename().string();
  const ExtractResult result = extract_clip(clip, home.path(), "/VEK/data/" + name.substr(0, name.size() - 4) + ".data",
                                            name, Form::standard, {}, nullptr, mode);
  EXPECT_TRUE(result.written) << result.error.message;
  return {ScratchFolder::read(result.track_path), result.family};
}

// The clip written as C.MOV, its NMEA log beside it unless `sidecar` is false.
fs::path card_clip(const ScratchFolder& folder, const ByteVector& clip, bool sidecar = true) {
  if (sidecar) folder.write("card/C.nmea", kNmea);
  return folder.write("card/C.MOV", as_text(clip));
}

TEST(SidecarsInsteadOfSearch, WithoutBlocksTheSidecarGivesTheSearchsText) {
  const ScratchFolder folder;
  const fs::path clip = card_clip(folder, clip_with_blocks({}));
  const Extracted located = extract(folder, clip);
  EXPECT_EQ(located.family, kSidecarFamily);
  const Extracted searched = extract(folder, clip, ReadMode::full_scan);
  EXPECT_EQ(located.text, searched.text);
  EXPECT_EQ(located.family, searched.family);
  EXPECT_NE(located.text.find("'lat':\"25.0339633\""), std::string::npos) << located.text;
}

TEST(SidecarsInsteadOfSearch, BlocksOnTheStepsKeepTodaysText) {
  for (const std::uint64_t first : {kMediaStart, kStep, kMediaStart + 40 * kStep}) {
    SCOPED_TRACE(first);
    const ScratchFolder folder;
    const fs::path clip = card_clip(folder, clip_with_blocks(six_blocks(first)));
    const Extracted located = extract(folder, clip);
    EXPECT_EQ(located.family, kTodayFamily);
    EXPECT_EQ(located.text, extract(folder, clip, ReadMode::full_scan).text);
    EXPECT_EQ(located.text.find("'lat':\"25.0339633\""), std::string::npos) << "the sidecar is not read";
  }
}

// Where cameras do not put them, blocks give way to the sidecar (the whole
// search would have read them).
TEST(SidecarsInsteadOfSearch, BlocksAwayFromTheStepsGiveWayToTheSidecar) {
  for (const std::uint64_t first : {kStep + 1000, kMediaStart + 64 * kStep + kStep}) {
    SCOPED_TRACE(first);
    const ScratchFolder folder;
    const fs::path clip = card_clip(folder, clip_with_blocks(six_blocks(first)));
    EXPECT_EQ(extract(folder, clip).family, kSidecarFamily);
    EXPECT_EQ(extract(folder, clip, ReadMode::full_scan).family, kTodayFamily);
    IoError error;
    const auto route = read_route_samples(clip, error);
    ASSERT_TRUE(route.has_value()) << error.message;
    EXPECT_EQ(route->samples.size(), 2U) << "a route export reads what the track was written from";
  }
}

// Each clip holds blocks away from the steps: only a search finds them.
TEST(SidecarsInsteadOfSearch, AClipThatMayHoldDataOfItsOwnIsSearchedWhole) {
  const std::vector<std::uint64_t> blocks = six_blocks(kStep + 1000);
  ByteVector broken = clip_with_blocks(blocks);
  test::append(broken, test::noise(5));  // the atoms no longer tile the file
  ByteVector with_gps0 = clip_with_blocks(blocks);
  test::append(with_gps0, test::atom("gps0", test::noise(64)));
  const struct {
    const char* what;
    ByteVector clip;
    bool sidecar;
  } cases[] = {
      {"a broken structure", broken, true},
      {"an empty gps index", clip_with_blocks(blocks, test::atom("gps ", test::gps_index({}, 0))), true},
      {"a top-level gps0 atom", with_gps0, true},
      {"no sidecar", clip_with_blocks(blocks), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const ScratchFolder folder;
    const fs::path clip = card_clip(folder, c.clip, c.sidecar);
    const Extracted located = extract(folder, clip);
    EXPECT_EQ(located.family, kTodayFamily);
    EXPECT_EQ(located.text, extract(folder, clip, ReadMode::full_scan).text);
  }
}

// ftyp, moov, then an mdat of `media` bytes never written: a hole that costs
// page cache only where it is read.
fs::path sparse_clip(const ScratchFolder& folder, std::uint64_t media) {
  ByteVector head = test::atom("ftyp", ByteVector(8));
  test::append(head, test::atom("moov", ByteVector(16)));
  test::put_be(head, 8 + media, 4);
  test::put_text(head, "mdat");
  const fs::path clip = folder.write("card/C.MOV", as_text(head));
  fs::resize_file(clip, head.size() + media);
  return clip;
}

TEST(SidecarsInsteadOfSearch, TheSidecarPathLeavesTheMediaUnread) {
  const ScratchFolder folder;
  folder.write("card/C.nmea", kNmea);
  const fs::path clip = sparse_clip(folder, std::uint64_t{64} << 20);
  vek::test::evict(clip);
  EXPECT_EQ(extract(folder, clip).family, kSidecarFamily);
  EXPECT_LT(vek::test::resident_bytes(clip), std::uint64_t{1} << 20);
}

// A clip of `size` bytes whose media is generated as it is read, counting what is read.
class CountingClip final : public container::ByteSource {
 public:
  CountingClip(ByteVector head, std::uint64_t size) : head_(std::move(head)), size_(size) {}
  std::uint64_t size() const noexcept override { return size_; }
  bool read(std::uint64_t offset, std::span<std::byte> out) override {
    if (offset > size_ || out.size() > size_ - offset) return false;
    bytes_read += out.size();
    for (std::size_t i = 0; i < out.size(); ++i)
      out[i] = offset + i < head_.size() ? head_[offset + i] : std::byte{0x9d};
    return true;
  }
  std::uint64_t bytes_read = 0;

 private:
  ByteVector head_;
  std::uint64_t size_;
};

TEST(SidecarsInsteadOfSearch, TheDecisionReadsTheStructureAndTheBlockPlacesAndSaysSo) {
  const ScratchFolder folder;
  folder.write("card/C.nmea", kNmea);
  constexpr std::uint64_t kMediaBytes = std::uint64_t{256} << 20;
  ByteVector head = test::atom("ftyp", ByteVector(8));
  test::append(head, test::atom("moov", ByteVector(16)));
  test::put_be(head, 8 + kMediaBytes, 4);
  test::put_text(head, "mdat");
  CountingClip source(head, head.size() + kMediaBytes);
  const auto reading = sidecars_instead_of_search(source, folder / "card/C.MOV", formats::probe_clip(source));
  ASSERT_TRUE(reading.has_value());
  EXPECT_LT(source.bytes_read, std::uint64_t{16} << 10);
  EXPECT_EQ(reading->probe.family, kSidecarFamily);
  EXPECT_EQ(reading->sidecars, std::vector<fs::path>{folder / "card/C.nmea"});
  EXPECT_EQ(reading->probe.decoded.fixes.size(), 2U);
  const auto& declined = reading->probe.declined;
  EXPECT_TRUE(std::any_of(declined.begin(), declined.end(), [](const std::string& line) {
    return line.rfind("search of the whole clip for freeGPS and gps0 markers: not made", 0) == 0;
  }));
}

TEST(SidecarsInsteadOfSearch, AStructureThatDecidedIsLeftAsItIs) {
  const ScratchFolder folder;
  folder.write("card/C.nmea", kNmea);
  const ByteVector clip = clip_with_blocks({});
  container::SpanSource source(clip);
  formats::Probe decided;
  decided.verdict = formats::Verdict::none;
  EXPECT_FALSE(sidecars_instead_of_search(source, folder / "card/C.MOV", decided).has_value());
  EXPECT_TRUE(sidecars_instead_of_search(source, folder / "card/C.MOV", formats::probe_clip(source)).has_value());
}

}  // namespace
}  // namespace vek::track::io
