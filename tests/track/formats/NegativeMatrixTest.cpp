// Every family decoder over every other family's payload finds nothing: no
// signature match, no fix, no acceleration.

#include "track/formats/AitgTrailer.h"
#include "track/formats/Camm.h"
#include "track/formats/FreeChildren.h"
#include "track/formats/FreeGpsInt32.h"
#include "track/formats/FreeGpsText.h"
#include "track/formats/Gpmf.h"
#include "track/formats/GpsBox.h"
#include "track/formats/SrtTelemetry.h"
#include "track/formats/SubtitleBinary.h"
#include "track/formats/SubtitleNmea.h"
#include "track/formats/TextSidecar.h"
#include "track/formats/V02Csv.h"
#include "track/formats/XorText.h"

#include "FamilyPayloads.h"
#include "Int32TrioPayloads.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace vek::track::formats {
namespace {

struct Family {
  std::function<bool(Bytes)> looks_like;
  std::function<Decoded(Bytes)> decode;
};

std::string text(Bytes b) {
  return std::string(reinterpret_cast<const char*>(b.data()), b.size());
}

Decoded one_sample(Bytes b, Decoded (*decode)(std::span<const Bytes>)) {
  const Bytes samples[] = {b};
  return decode(std::span<const Bytes>(samples));
}

using Families = std::map<std::string, Family>;

// The decoders of payloads inside a clip: samples, atoms, records.
Families clip_families() {
  return {
      {"gpmf", {looks_like_gpmf, [](Bytes b) { return decode_gpmf(b, 1.0); }}},
      {"freegps-text", {looks_like_freegps_text, decode_freegps_text}},
      {"free-children", {looks_like_free_children, decode_free_children}},
      {"subtitle-nmea", {looks_like_subtitle_nmea, [](Bytes b) { return one_sample(b, decode_subtitle_nmea); }}},
      {"subtitle-binary", {looks_like_subtitle_binary, [](Bytes b) { return one_sample(b, decode_subtitle_binary); }}},
      {"xor-text", {looks_like_xor_text, [](Bytes b) { return one_sample(b, decode_xor_text); }}},
      {"gps0-xor",
       {[](Bytes b) { return !xor_records_of_gps0(b).empty(); },
        [](Bytes b) { return decode_xor_text(xor_records_of_gps0(b)); }}},
      {"camm",
       {looks_like_camm,
        [](Bytes b) {
          const TrackSample s[] = {{b, 0, 1}};
          return decode_camm(s, CammClock{1456823100.0});
        }}},
      {"gps-box", {looks_like_gps_box, [](Bytes b) { return decode_gps_box(b, test::kFixUnix); }}},
      {"int32-block",
       {[](Bytes b) { return decode_int32_block(b).has_value(); }, [](Bytes b) { return decode_int32_blocks({b}); }}},
      {"aitg-trailer",
       {[](Bytes b) {
          container::SpanSource source(b);
          return aitg_trailer_start(source) == std::optional<std::uint64_t>(0);
        },
        decode_aitg_trailer}},
  };
}

// The decoders of text logs, beside the clip or inside it.
Families text_families() {
  return {
      {"gps-log",
       {[](Bytes b) { return looks_like_gps_log(text(b)); }, [](Bytes b) { return decode_gps_log(text(b)); }}},
      {"nmea-sidecar",
       {[](Bytes b) { return looks_like_nmea_sidecar(text(b)); },
        [](Bytes b) { return decode_nmea_sidecar(text(b)); }}},
      {"map-sidecar",
       {[](Bytes b) { return looks_like_map_sidecar(text(b)); }, [](Bytes b) { return decode_map_sidecar(text(b)); }}},
      {"srt",
       {[](Bytes b) { return looks_like_srt_telemetry(text(b)); },
        [](Bytes b) { return decode_srt_telemetry(text(b)); }}},
      {"v02-log",
       {[](Bytes b) { return looks_like_v02_log(text(b)); },
        [](Bytes b) { return decode_v02_log(text(b), "FILE.MOV"); }}},
  };
}

const Families& families() {
  static const Families all = [] {
    Families merged = clip_families();
    merged.merge(text_families());
    return merged;
  }();
  return all;
}

// Each payload with the decoder it belongs to; those sharing a text format
// with another family say so (an NMEA log is a `gps ` log's text as well).
struct Payload {
  std::vector<std::string> owners;
  std::vector<std::byte> bytes;
};

std::vector<std::byte> gpmf_payload() {
  test::ByteWriter gpmf;
  gpmf.text("DEVC")
      .u8(0)
      .u8(1)
      .u16be(72)
      .text("STRM")
      .u8(0)
      .u8(1)
      .u16be(64)
      .text("GPSU")
      .u8('U')
      .u8(16)
      .u16be(1)
      .text("160301090507.000")
      .text("SCAL")
      .u8('l')
      .u8(4)
      .u16be(1)
      .u32be(10000000)
      .text("GPS5")
      .u8('l')
      .u8(20)
      .u16be(1)
      .u32be(250339640)
      .u32be(1215644680)
      .u32be(0)
      .u32be(0)
      .u32be(0);
  return gpmf.vector();
}

// Two records of the gps0 form: the text track's record, padded.
std::vector<std::byte> gps0_xor_payload() {
  auto gps0_record = test::xor_record().vector();
  gps0_record.resize(kXorRecordInGps0, std::byte{0xAA});
  test::ByteWriter gps0_xor;
  gps0_xor.bytes(gps0_record).bytes(gps0_record);
  return gps0_xor.vector();
}

std::vector<Payload> payloads() {
  const std::string nmea_log = test::nmea(test::kRmcBody) + "\r\n";
  test::ByteWriter children;
  children.u32be(static_cast<std::uint32_t>(8 + nmea_log.size())).text("gps ").text(nmea_log);
  return {
      {{"gpmf"}, gpmf_payload()},
      {{"freegps-text"}, test::freegps_clock_atom().vector()},
      {{"free-children"}, children.vector()},
      {{"gps-log", "nmea-sidecar", "subtitle-nmea"}, test::bytes_of(nmea_log)},
      {{"subtitle-nmea"}, test::subtitle_sample("gsensori,2,512,1,2,3;" + nmea_log).vector()},
      {{"subtitle-binary"}, test::subtitle_binary_288().vector()},
      {{"xor-text"}, test::xor_record().vector()},
      {{"gps0-xor", "xor-text"}, gps0_xor_payload()},
      {{"camm"}, test::camm_sample().vector()},
      {{"map-sidecar"}, test::bytes_of("A,010316,090507,2502.0378,N,12133.8681,E,36.0,12,-3,1010;\n")},
      {{"srt"}, test::bytes_of(test::srt_new_dialect())},
      {{"srt"}, test::bytes_of(test::srt_old_dialect())},
      {{"v02-log"}, test::bytes_of(test::v02_log())},
      {{"gps-box"}, test::gps_box_payload().vector()},
      {{"int32-block"}, test::int32_atom().vector()},
      {{"aitg-trailer"}, test::aitg_trailer().vector()},
  };
}

TEST(NegativeMatrix, EveryDecoderFindsNothingInAnotherFamilysPayload) {
  for (const auto& payload : payloads()) {
    for (const auto& [name, family] : families()) {
      const bool own = std::find(payload.owners.begin(), payload.owners.end(), name) != payload.owners.end();
      if (own) continue;
      EXPECT_FALSE(family.looks_like(payload.bytes)) << name << " over " << payload.owners[0];
      const Decoded d = family.decode(payload.bytes);
      EXPECT_TRUE(d.fixes.empty()) << name << " over " << payload.owners[0];
      EXPECT_TRUE(d.accel.empty()) << name << " over " << payload.owners[0];
    }
  }
}

TEST(NegativeMatrix, EachPayloadIsRecognisedByItsOwnFamily) {
  for (const auto& payload : payloads())
    EXPECT_TRUE(families().at(payload.owners[0]).looks_like(payload.bytes)) << payload.owners[0];
}

}  // namespace
}  // namespace vek::track::formats
