// A top-level gps0 atom holding 311-byte XOR-0xAA text records instead of
// today's 32-byte layout: read through the registry, record by record.

#include "track/formats/Detector.h"
#include "track/formats/Registry.h"
#include "track/formats/XorText.h"

#include "FamilyPayloads.h"

#include <gtest/gtest.h>
#include <algorithm>

namespace vek::track::formats {
namespace {

// The fixture record, padded to the gps0 form's 311 bytes, with its clock's
// seconds replaced.
std::vector<std::byte> gps0_record(char second_tens, char second_units) {
  auto record = test::xor_record().vector();
  record.resize(kXorRecordInGps0, std::byte{0xAA});
  record[20] = static_cast<std::byte>(static_cast<unsigned char>(second_tens) ^ 0xAA);
  record[21] = static_cast<std::byte>(static_cast<unsigned char>(second_units) ^ 0xAA);
  return record;
}

test::ByteWriter clip_with_gps0(std::span<const std::byte> payload) {
  test::ByteWriter clip;
  clip.u32be(16).text("ftyp").text("qt  ").zeros(4);
  clip.u32be(16).text("mdat").zeros(8);
  clip.u32be(static_cast<std::uint32_t>(8 + payload.size())).text("gps0").bytes(payload);
  return clip;
}

Detection detect(Bytes clip) {
  container::SpanSource source(clip);
  ClipView view(source, container::walk_atoms(source, 0, clip.size()).value_or(std::vector<container::Atom>{}));
  return detect_gps0_xor(view);
}

bool any_line_has(const std::vector<std::string>& lines, std::string_view text) {
  return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(text) != l.npos; });
}

TEST(Gps0Xor, RecordsReadInStepsASignaturelessStepAndACutTailSkipped) {
  test::ByteWriter payload;
  payload.bytes(gps0_record('0', '7'));
  payload.zeros(kXorRecordInGps0);  // a step without the signature
  payload.bytes(gps0_record('0', '9'));
  const auto last = gps0_record('1', '0');
  payload.bytes(std::span<const std::byte>(last).first(kXorRecordInGps0 - 1));  // cut short
  const auto clip = clip_with_gps0(payload.view());
  const Detection d = detect(clip.view());
  ASSERT_TRUE(d.taken) << d.declined;
  ASSERT_EQ(d.decoded.fixes.size(), 2u);
  EXPECT_DOUBLE_EQ(d.decoded.fixes[0].time.second, 7);
  EXPECT_DOUBLE_EQ(d.decoded.fixes[1].time.second, 9);
  EXPECT_NEAR(d.decoded.fixes[1].latitude, test::kLatitude, 1e-9);
  EXPECT_NEAR(d.decoded.fixes[1].longitude, test::kLongitude, 1e-9);
  EXPECT_DOUBLE_EQ(d.decoded.fixes[1].speed_kmh, 18.0);
  ASSERT_TRUE(d.decoded.fixes[1].accel);
  EXPECT_FLOAT_EQ(d.decoded.fixes[1].accel->z, 0.98f);
  EXPECT_TRUE(any_line_has(d.decoded.notes, "311-byte records"));
}

TEST(Gps0Xor, TheRegistryNamesTheFamilyWhereTodaysLayoutFails) {
  test::ByteWriter payload;
  for (const char s : {'7', '8', '9'})
    payload.bytes(gps0_record('0', s));
  const auto clip = clip_with_gps0(payload.view());
  const Probe probe = probe_clip(clip.view());
  EXPECT_EQ(probe.verdict, Verdict::family);
  EXPECT_EQ(probe.family, "XOR-0xAA text records in a gps0 atom (family 8)");
  EXPECT_EQ(probe.decoded.fixes.size(), 3u);
  EXPECT_TRUE(any_line_has(probe.declined, "gps0/gsen records (today's layout): 0 of "));
}

TEST(Gps0Xor, OtherGps0AtomsAreDeclinedWithWhatWasLookedFor) {
  test::ByteWriter fifty_six;
  for (int k = 0; k < 4; ++k)
    fifty_six.f64le(1.2345e9).f64le(-9.87e8).zeros(4).u8(40).u8(0).u8(16).u8(3).u8(1).u8(9).u8(5).u8(7).zeros(28);
  const auto clip = clip_with_gps0(fifty_six.view());
  const Detection d = detect(clip.view());
  EXPECT_FALSE(d.taken);
  EXPECT_NE(d.declined.find("56-byte records are left unread"), std::string::npos) << d.declined;
  const Probe probe = probe_clip(clip.view());
  EXPECT_EQ(probe.verdict, Verdict::none);
  EXPECT_TRUE(any_line_has(probe.declined, "56-byte records are left unread"));

  test::ByteWriter no_gps0;
  no_gps0.u32be(16).text("ftyp").text("qt  ").zeros(4);
  EXPECT_EQ(detect(no_gps0.view()).declined, "no top-level gps0 atom");
  EXPECT_TRUE(xor_records_of_gps0({}).empty());
}

}  // namespace
}  // namespace vek::track::formats
