#include "MovBuilder.h"
#include "formats/FamilyPayloads.h"
#include "track/container/LocatedRead.h"
#include "track/formats/FixText.h"
#include "track/formats/Registry.h"
#include "track/formats/SingleFixRecord.h"
#include "track/formats/Validate.h"

#include <gtest/gtest.h>

namespace vek::track::formats {
namespace {

using test::ByteWriter;

constexpr double kDdmmLat = 2502.0378;   // 25 deg 2.0378 min
constexpr double kDdmmLon = 12133.8681;  // 121 deg 33.8681 min
constexpr double kLat = 25.0 + 2.0378 / 60;
constexpr double kLon = 121.0 + 33.8681 / 60;

struct RecordLayout {
  std::size_t at = 48;
  std::uint32_t year = 16;
  std::uint32_t second = 7;
  char status = 'A', ns = 'N', ew = 'E';
  float lat = static_cast<float>(kDdmmLat);
  float lon = static_cast<float>(kDdmmLon);
};

// A freeGPS atom holding one little-endian single-fix record, then `tail`.
ByteWriter single_fix_atom(const RecordLayout& r, std::span<const std::byte> tail = {}, std::size_t size = 256) {
  ByteWriter atom;
  atom.u32be(static_cast<std::uint32_t>(size)).text("freeGPS ").zeros(r.at - 12);
  atom.u32le(9).u32le(5).u32le(r.second).u32le(r.year).u32le(3).u32le(1);
  atom.u8(static_cast<std::uint8_t>(r.status))
      .u8(static_cast<std::uint8_t>(r.ns))
      .u8(static_cast<std::uint8_t>(r.ew))
      .u8(0);
  atom.f32le(r.lat).f32le(r.lon).f32le(10.0F).f32le(123.5F).bytes(tail);
  atom.zeros(size - atom.size());
  return atom;
}

ByteWriter accel(std::int32_t x, std::int32_t y, std::int32_t z) {
  ByteWriter a;
  a.u32le(static_cast<std::uint32_t>(x)).u32le(static_cast<std::uint32_t>(y)).u32le(static_cast<std::uint32_t>(z));
  return a;
}

TEST(SingleFixRecord, EachLayoutDecodesToTheRecordedFix) {
  const ByteWriter g = accel(256, -128, 512);
  const struct {
    RecordLayout record;
    SingleFixLayout layout;
    bool has_accel;
  } cases[] = {
      {{48}, SingleFixLayout::at48, false}, {{16}, SingleFixLayout::at16, true}, {{64}, SingleFixLayout::at64, true}};
  for (const auto& c : cases) {
    const auto decoded = decode_single_fix_atom(single_fix_atom(c.record, g.view()).view());
    ASSERT_TRUE(decoded.has_value()) << c.record.at;
    const Fix& fix = decoded->fix;
    EXPECT_EQ(decoded->layout, c.layout);
    EXPECT_NEAR(fix.latitude, kLat, 1e-5);
    EXPECT_NEAR(fix.longitude, kLon, 1e-5);
    EXPECT_NEAR(fix.speed_kmh, 18.52, 1e-9) << "knots";
    EXPECT_NEAR(fix.course.value_or(-1), 123.5, 1e-9);
    EXPECT_EQ(fix.time.year, 2016);
    EXPECT_EQ(fix.time.second, 7);
    EXPECT_TRUE(fix.valid);
    ASSERT_EQ(fix.accel.has_value(), c.has_accel) << c.record.at;
    if (c.has_accel) {
      EXPECT_FLOAT_EQ(fix.accel->x, 1.0F);
      EXPECT_FLOAT_EQ(fix.accel->y, -0.5F);
      EXPECT_FLOAT_EQ(fix.accel->z, 2.0F);
    }
  }
}

TEST(SingleFixRecord, HemispheresYearFormsAndTheIntegerVariant) {
  RecordLayout south_west;
  south_west.ns = 'S', south_west.ew = 'W', south_west.year = 2016;
  const auto sw = decode_single_fix_atom(single_fix_atom(south_west).view());
  ASSERT_TRUE(sw.has_value());
  EXPECT_NEAR(sw->fix.latitude, -kLat, 1e-5);
  EXPECT_NEAR(sw->fix.longitude, -kLon, 1e-5);
  EXPECT_EQ(sw->fix.time.year, 2016);
  EXPECT_TRUE(sw->full_year);

  ByteWriter iqs = single_fix_atom({});
  for (std::size_t i = 0; i < 3; ++i)
    iqs.set(16 + i, static_cast<std::uint8_t>("IQS"[i]));
  ByteWriter ints;
  ints.u32le(250339640).u32le(1215644680).u32le(500);
  for (std::size_t i = 0; i < 12; ++i)
    iqs.set(48 + 28 + i, static_cast<std::uint8_t>(ints.view()[i]));
  const auto decoded = decode_single_fix_atom(iqs.view());
  ASSERT_TRUE(decoded.has_value());
  EXPECT_TRUE(decoded->degrees_e7);
  EXPECT_NEAR(decoded->fix.latitude, 25.033964, 1e-9);
  EXPECT_NEAR(decoded->fix.longitude, 121.564468, 1e-9);
  EXPECT_NEAR(decoded->fix.speed_kmh, 18.0, 1e-9) << "m/s x 100";
}

TEST(SingleFixRecord, SignatureBoundsAndPlaceholdersDecideWhatIsRead) {
  RecordLayout no_status;
  no_status.status = 'X';
  EXPECT_FALSE(decode_single_fix_atom(single_fix_atom(no_status).view()).has_value());
  const ByteWriter whole = single_fix_atom({});
  EXPECT_FALSE(decode_single_fix_atom(whole.view().first(48 + 40)).has_value()) << "record cut off";
  RecordLayout bad_minutes;
  bad_minutes.lat = 2561.0F;
  const auto minutes = decode_single_fix_atom(single_fix_atom(bad_minutes).view());
  ASSERT_TRUE(minutes.has_value());
  EXPECT_FALSE(minutes->fix.valid) << "61 minutes is no DDMM value";
  ByteWriter counter;
  for (std::uint16_t i = 1; i <= 6; ++i)
    counter.u16le(i);
  const auto placeholder = decode_single_fix_atom(single_fix_atom({16}, counter.view()).view());
  ASSERT_TRUE(placeholder.has_value());
  EXPECT_FALSE(placeholder->fix.accel.has_value()) << "the 1..6 counter is not acceleration";
  RecordLayout cipher;
  cipher.lat = 0.0F;
  EXPECT_TRUE(is_unknown_cipher_record(single_fix_atom(cipher).view()));
  EXPECT_FALSE(is_unknown_cipher_record(single_fix_atom({}).view()));
}

Fix fix_at(int second, double lat, double lon) {
  Fix f;
  f.time = {2016, 3, 1, 9, 5, static_cast<double>(second)};
  f.latitude = lat;
  f.longitude = lon;
  return f;
}

TEST(Validate, DropsWhatNoCameraRecordsAndSaysWhy) {
  Decoded in;
  in.fixes.push_back(fix_at(1, kLat, kLon));
  Fix voided = fix_at(2, kLat, kLon);
  voided.valid = false;
  in.fixes.push_back(voided);
  in.fixes.push_back(fix_at(3, 0, 0));
  Fix feb30 = fix_at(4, kLat, kLon);
  feb30.time.month = 2, feb30.time.day = 30;
  in.fixes.push_back(feb30);
  in.fixes.push_back(fix_at(0, kLat, kLon));           // back in time: a stale row
  in.fixes.push_back(fix_at(5, kLat + 0.1, kLon));     // 11 km in 4 s
  in.fixes.push_back(fix_at(6, kLat + 0.0002, kLon));  // 22 m in 5 s
  in.fixes.push_back(fix_at(7, 91, kLon));
  const Decoded out = validated(in);
  ASSERT_EQ(out.fixes.size(), 2U);
  EXPECT_EQ(out.fixes[1].time.second, 6);
  EXPECT_EQ(out.notes.size(), 6U) << "void, (0,0), date, stale, jump, off the globe";
}

TEST(FixText, WritesTheFreeGpsFormWithItsKeysAndUnits) {
  Fix f = fix_at(7, 25.033964, 121.564468);
  f.time.second = 7.25;
  f.speed_kmh = 18.52;
  f.course = 123.5;
  f.accel = GSensor{1.0F, -0.5F, 0.0F};
  EXPECT_EQ(fixes_as_freegps_text("F'1.MOV", {f}),
            "data['F\\'1.MOV']=new Array();"
            "data[\"F\\'1.MOV\"][\"2016/03/01 10:05:7.2\"]=new Array();"
            "data[\"F\\'1.MOV\"][\"2016/03/01 10:05:7.2\"]={'speed':\"18.520000\",'degrees':\"123.50\","
            "'lat':\"25.0339640\",'lon':\"121.5644680\",'x':\"1.00\",'y':\"-0.50\",'z':\"0.00\","
            "'lbs':\"25[ 2' 2.27:,121[ 33' 52.08:\",'stat':\"65\"};\n");
}

// ftyp, an mdat with one atom per second, a moov with the `gps ` index.
std::vector<std::byte> indexed_clip(const std::vector<ByteWriter>& atoms) {
  vek::track::test::MovBuilder mov;
  mov.add(vek::track::test::atom("ftyp", std::vector<std::byte>(8)));
  std::vector<std::byte> media;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> entries;
  for (const ByteWriter& a : atoms) {
    entries.emplace_back(16 + 8 + media.size(), a.size());
    media.insert(media.end(), a.view().begin(), a.view().end());
  }
  mov.add(vek::track::test::atom("mdat", media));
  const auto index = vek::track::test::atom("gps ", vek::track::test::gps_index(entries, entries.size()));
  mov.add(vek::track::test::atom("moov", index));
  return mov.bytes();
}

TEST(Registry, SingleFixClipsAreReadByTheirFamilyNotTodaysLayout) {
  std::vector<ByteWriter> atoms;
  for (std::uint32_t s = 0; s < 4; ++s) {
    RecordLayout r;
    r.second = 7 + s;
    atoms.push_back(single_fix_atom(r, {}, 512));
  }
  const auto clip = indexed_clip(atoms);
  const Probe probe = probe_clip(clip);
  EXPECT_EQ(probe.verdict, Verdict::family);
  ASSERT_EQ(probe.decoded.fixes.size(), 4U);
  EXPECT_EQ(probe.decoded.fixes[3].time.second, 10);
  EXPECT_EQ(probe.decoded.notes, std::vector<std::string>{"record at A+48, DDMM floats and knots"});
  ASSERT_EQ(probe.declined.size(), 2U);
  EXPECT_EQ(probe.declined[0], "freeGPS boxes (today's layout): 0 of 4 boxes plausible");

  container::SpanSource source(clip);
  struct Drop final : TextSink {
    void write(std::string_view) override {}
  } sink;
  EXPECT_EQ(container::extract_located(source, "F.MOV", Form::standard, sink), container::LocatedOutcome::fall_back)
      << "today's indexed read leaves the clip to the registry";
}

TEST(Registry, TodaysClipsStayTodaysAndEncipheredOnesAreOnlyNamed) {
  std::vector<ByteWriter> today;
  for (unsigned s = 0; s < 3; ++s) {
    ByteWriter a;
    a.bytes(vek::track::test::freegps_atom(0x400, s));
    today.push_back(a);
  }
  EXPECT_EQ(probe_clip(indexed_clip(today)).verdict, Verdict::today);

  ByteWriter ligo;
  ligo.u32be(256).text("freeGPS ").zeros(36).text("LIGOGPSINFO").zeros(256 - 59);
  RecordLayout zero_lat;
  zero_lat.lat = 0.0F;
  for (const ByteWriter& block : {ligo, single_fix_atom(zero_lat)}) {
    const Probe probe = probe_clip(indexed_clip({block, block}));
    EXPECT_EQ(probe.verdict, Verdict::encrypted);
    EXPECT_EQ(probe.family, "encrypted, not readable");
    EXPECT_TRUE(probe.decoded.fixes.empty());
  }
}

TEST(Registry, TopLevelAtomsShorterThanTheCipherTagAreLookedAtWithinTheirBytes) {
  std::vector<std::byte> clip = vek::track::test::atom("skip", std::vector<std::byte>(0));
  const auto media = vek::track::test::atom("mdat", std::vector<std::byte>(64, std::byte{0x99}));
  clip.insert(clip.end(), media.begin(), media.end());
  const std::uint64_t overflows = vek::track::ByteReader::overflows_on_this_thread();
  EXPECT_EQ(probe_clip(clip).verdict, Verdict::none);
  EXPECT_EQ(vek::track::ByteReader::overflows_on_this_thread(), overflows);
}

TEST(Registry, NegativeMatrixOtherFamiliesAndPlainClipsFindNothing) {
  using namespace test;
  const char* const text_family = family_detectors()[1].family;
  const struct {
    ByteWriter payload;
    const char* family;  // the reader that takes it, if any
  } cases[] = {{freegps_clock_atom(), text_family},
               {subtitle_binary_288(), nullptr},
               {xor_record(), nullptr},
               {camm_sample(), nullptr},
               {freegps_atom(512, 23, text_bytes("2016/03/01 09:05:07 N:25.033964 E:121.564468")), nullptr}};
  for (const auto& c : cases) {
    EXPECT_FALSE(decode_single_fix_atom(c.payload.view()).has_value());
    EXPECT_FALSE(is_unknown_cipher_record(c.payload.view()));
    const Probe probe = probe_clip(indexed_clip({c.payload}));
    EXPECT_EQ(probe.verdict, c.family ? Verdict::family : Verdict::none) << (c.family ? c.family : "none");
    EXPECT_EQ(probe.family, c.family ? c.family : "");
  }
  const ByteWriter today = [] {
    ByteWriter a;
    a.bytes(vek::track::test::freegps_atom(0x400, 1));
    return a;
  }();
  EXPECT_FALSE(decode_single_fix_atom(today.view()).has_value()) << "today's box is no single-fix record";

  vek::track::test::MovBuilder plain;
  plain.add(vek::track::test::atom("ftyp", std::vector<std::byte>(8)));
  plain.add(vek::track::test::atom("mdat", vek::track::test::noise(4000)));
  const Probe none = probe_clip(plain.view());
  EXPECT_EQ(none.verdict, Verdict::none);
  for (const Detector& detector : family_detectors()) {
    const std::string family = detector.family;
    EXPECT_TRUE(std::any_of(none.declined.begin(), none.declined.end(),
                            [&](const std::string& reason) { return reason.rfind(family + ": ", 0) == 0; }))
        << family << " says what it looked for";
  }
  EXPECT_EQ(none.declined.size(), family_detectors().size() + 3) << "and today's two layouts and the cipher check";
}

// Serves a clip and counts the bytes asked for.
class CountingSource final : public container::ByteSource {
 public:
  explicit CountingSource(Bytes clip) : clip_(clip) {}
  std::uint64_t size() const noexcept override { return clip_.size(); }
  bool read(std::uint64_t offset, std::span<std::byte> out) override {
    read_ += out.size();
    return clip_.read(offset, out);
  }
  std::uint64_t bytes_read() const noexcept { return read_; }

 private:
  container::SpanSource clip_;
  std::uint64_t read_ = 0;
};

std::vector<vek::track::test::ByteVector> cues(std::initializer_list<std::string> texts) {
  std::vector<vek::track::test::ByteVector> samples;
  for (const std::string& text : texts) {
    const ByteWriter cue = test::subtitle_sample(text);
    samples.emplace_back(cue.view().begin(), cue.view().end());
  }
  return samples;
}

TEST(Registry, ATrackFamilyIsReadFromItsSamplesAloneNotTheMedia) {
  constexpr std::size_t kMedia = 4 << 20;
  const std::string rmc = test::nmea(test::kRmcBody);
  const auto clip = vek::track::test::telemetry_movie(kMedia, "sbtl", "tx3g", cues({"", rmc}));
  CountingSource source(clip);
  const Probe probe = probe_clip(source);
  EXPECT_EQ(probe.verdict, Verdict::family);
  EXPECT_EQ(probe.family, "NMEA in a subtitle track (family 6)") << "an empty first cue does not hide it";
  ASSERT_EQ(probe.decoded.fixes.size(), 1U);
  EXPECT_NEAR(probe.decoded.fixes[0].latitude, test::kLatitude, 1e-9);
  EXPECT_LT(source.bytes_read(), 4096U) << "headers, tables and cues only, of a " << kMedia << "-byte clip";
}

TEST(Registry, ATelemetryTrackWithoutItsSignatureIsLeftToTheSearch) {
  const auto plain = vek::track::test::telemetry_movie(1000, "sbtl", "tx3g", cues({"hello", "world"}));
  container::SpanSource source(plain);
  const Probe structure = probe_clip(source);
  EXPECT_EQ(structure.verdict, Verdict::undecided);
  EXPECT_EQ(probe_clip(plain).verdict, Verdict::none);

  const std::string void_rmc = test::nmea("GPRMC,090507.00,V,2502.0378,N,12133.8681,E,10.0,123.4,010316,,,A");
  const auto void_fixes = vek::track::test::telemetry_movie(1000, "sbtl", "tx3g", cues({void_rmc}));
  container::SpanSource void_source(void_fixes);
  const Probe recognised = probe_clip(void_source);
  EXPECT_EQ(recognised.verdict, Verdict::none) << "its cues are NMEA: no search of the media follows";
  EXPECT_TRUE(recognised.decoded.fixes.empty());
}

}  // namespace
}  // namespace vek::track::formats
