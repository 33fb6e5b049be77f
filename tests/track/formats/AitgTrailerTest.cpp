// The AITG trailer after a clip's last atom: where it starts, its records,
// and that the gps0 atoms of today's layout are not taken for it.

#include "track/formats/AitgTrailer.h"
#include "track/formats/Detector.h"
#include "track/formats/Registry.h"

#include "FamilyPayloads.h"
#include "Int32TrioPayloads.h"

#include <gtest/gtest.h>

namespace vek::track::formats {
namespace {

std::optional<std::uint64_t> trailer_start(Bytes clip) {
  container::SpanSource source(clip);
  return aitg_trailer_start(source);
}

Detection detect(Bytes clip) {
  container::SpanSource source(clip);
  ClipView view(source, {});
  return detect_aitg_trailer(view);
}

test::ByteWriter clip_with(std::span<const std::byte> tail) {
  test::ByteWriter clip;
  clip.u32be(16).text("ftyp").text("qt  ").zeros(4);
  clip.u32be(16).text("mdat").zeros(8);
  clip.bytes(tail);
  return clip;
}

TEST(AitgTrailer, FoundWhereTheAtomsStopAndReadWithItsAcceleration) {
  const auto trailer = test::aitg_trailer();
  const auto clip = clip_with(trailer.view());
  ASSERT_EQ(trailer_start(clip.view()), std::optional<std::uint64_t>(32));
  const Detection detection = detect(clip.view());
  ASSERT_TRUE(detection.taken) << detection.declined;
  const Decoded& d = detection.decoded;
  ASSERT_EQ(d.fixes.size(), 1u);
  const Fix& fix = d.fixes[0];
  EXPECT_EQ(fix.time.year, 2016);
  EXPECT_EQ(fix.time.month, 3);
  EXPECT_EQ(fix.time.hour, 9);
  EXPECT_DOUBLE_EQ(fix.time.second, 7);
  EXPECT_NEAR(fix.latitude, test::kLatitude, 1e-12);
  EXPECT_NEAR(fix.longitude, test::kLongitude, 1e-12);
  EXPECT_DOUBLE_EQ(fix.speed_kmh, 18.52);
  EXPECT_DOUBLE_EQ(*fix.course, 122.0);
  ASSERT_TRUE(fix.accel.has_value());
  EXPECT_FLOAT_EQ(fix.accel->x, 0.5f);
  EXPECT_FLOAT_EQ(fix.accel->y, -1.0f);
  EXPECT_FALSE(d.notes.empty());
}

TEST(AitgTrailer, HemisphereBytesGiveTheSigns) {
  const Decoded d = decode_aitg_trailer(test::aitg_trailer(true).view());
  ASSERT_EQ(d.fixes.size(), 1u);
  EXPECT_LT(d.fixes[0].latitude, 0);
  EXPECT_LT(d.fixes[0].longitude, 0);
}

TEST(AitgTrailer, NoTrailerWhenTheAtomsTileTheFileOrATopLevelGps0AtomFollows) {
  const auto plain = clip_with({});
  EXPECT_FALSE(trailer_start(plain.view()).has_value());
  const Detection none = detect(plain.view());
  EXPECT_FALSE(none.taken);
  EXPECT_FALSE(none.declined.empty());
  // Today's layout: a real atom whose type is gps0 (size first), not a chunk named by its first bytes.
  test::ByteWriter gps0;
  gps0.u32be(8 + 32).text("gps0").zeros(32);
  EXPECT_FALSE(trailer_start(clip_with(gps0.view()).view()).has_value());
}

TEST(AitgTrailer, RecordsWithoutTheirMarkOrCutShortAreSkipped) {
  auto trailer = test::aitg_trailer();
  trailer.set(8, 'X');  // AITG -> XITG
  EXPECT_TRUE(decode_aitg_trailer(trailer.view()).fixes.empty());
  const auto whole = test::aitg_trailer();
  EXPECT_TRUE(decode_aitg_trailer(whole.view().first(30)).fixes.empty());
  auto bad_side = test::aitg_trailer();
  bad_side.set(8 + 0x21, 3);
  EXPECT_TRUE(decode_aitg_trailer(bad_side.view()).fixes.empty());
}

// Positioned reads alone (as an import reads a clip): the atoms before the
// trailer and the trailer, never a search of the media.
TEST(AitgTrailer, TheStructureReadsTheTrailerWithoutTheSearch) {
  const auto clip = clip_with(test::aitg_trailer().view());
  container::SpanSource source(clip.view());
  const Probe probe = probe_clip(source);
  EXPECT_EQ(probe.verdict, Verdict::family);
  EXPECT_EQ(probe.family, "AITG gps0 trailer (family 8)");
  EXPECT_EQ(probe.decoded.fixes.size(), 1u);

  auto unreadable = test::aitg_trailer();
  unreadable.set(8, 'X');  // no AITG record: the search decides
  const auto other = clip_with(unreadable.view());
  container::SpanSource other_source(other.view());
  const Probe left = probe_clip(other_source);
  EXPECT_EQ(left.verdict, Verdict::undecided);
  EXPECT_EQ(left.declined.back(), "structure: the atoms stop at a trailer that is left to the search");

  const auto cut = clip.view().first(40);  // the trailer cut after its first header
  container::SpanSource cut_source(cut);
  EXPECT_EQ(probe_clip(cut_source).verdict, Verdict::undecided);
}

}  // namespace
}  // namespace vek::track::formats
