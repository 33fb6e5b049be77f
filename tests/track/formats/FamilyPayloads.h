#pragma once
// One well-formed payload of each camera family, as its decoder receives it,
// for the per-family tests and the negative matrix. Every payload holds the
// same fix: 2016-03-01 09:05:07 UTC at 25.0339633 N, 121.5644683 E (or
// 25.033964 / 121.564468 where the family stores degrees).

#include "ByteWriter.h"

#include <cstdio>
#include <string>
#include <vector>

namespace vek::track::formats::test {

inline constexpr double kLatitude = 25.0 + 2.0378 / 60.0;
inline constexpr double kLongitude = 121.0 + 33.8681 / 60.0;
inline constexpr const char* kRmcBody = "GPRMC,090507.00,A,2502.0378,N,12133.8681,E,10.0,123.4,010316,,,A";

// "$" + body + "*hh" with the body's XOR checksum.
inline std::string nmea(std::string_view body) {
  unsigned sum = 0;
  for (const char c : body)
    sum ^= static_cast<unsigned char>(c);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X", sum);
  return "$" + std::string(body) + tail;
}

inline std::vector<std::byte> bytes_of(std::string_view text) {
  const auto view = text_bytes(text);
  return {view.begin(), view.end()};
}

// A freeGPS atom of `size` bytes with `fill` written from offset `at`.
inline ByteWriter freegps_atom(std::size_t size, std::size_t at, std::span<const std::byte> fill) {
  ByteWriter atom;
  atom.u32be(static_cast<std::uint32_t>(size)).text("freeGPS ").zeros(at - 12).bytes(fill);
  atom.zeros(size - atom.size());
  return atom;
}

// Camera clock at A+52, acceleration at A+68, then " $GPRMC...".
inline ByteWriter freegps_clock_atom() {
  ByteWriter tail;
  tail.text("20160301170507")
      .zeros(2)
      .u32le(256)
      .u32le(static_cast<std::uint32_t>(-128))
      .u32le(512)
      .text(" " + nmea(kRmcBody) + "\r\n");
  return freegps_atom(512, 52, tail.view());
}

inline ByteWriter subtitle_sample(std::string_view text) {
  ByteWriter s;
  s.u16be(static_cast<std::uint16_t>(text.size())).text(text);
  return s;
}

inline ByteWriter subtitle_binary_288() {
  ByteWriter s;
  s.u16be(288).zeros(4).text("20160301170507").zeros(2);
  s.u32le(static_cast<std::uint32_t>(-640)).u32le(1280).u32le(2560).zeros(0);
  const std::string rmc = "$" + std::string(kRmcBody) + "*00";
  s.text(rmc).zeros(128 - rmc.size()).text("$GPGGA,090507.00,2502.0378,N,12133.8681,E,1,08,1.0,15.0,M,,M,,*00");
  s.zeros(290 - s.size());
  return s;
}

// The XOR-0xAA record: clock, N25 02.0378', E121 33.8681', +0015 m, 018 km/h, accel.
inline ByteWriter xor_record() {
  std::string plain(282, '\0');
  plain.replace(2, 6, "XKZD\xfe\xfe");
  plain.replace(8, 14, "20160301090507");
  plain.replace(38, 9, "N25020378");
  plain.replace(47, 10, "E121338681");
  plain.replace(57, 5, "+0015");
  plain.replace(62, 3, "018");
  plain.replace(65, 12, "+012-034+098");
  ByteWriter record;
  for (const char c : plain)
    record.u8(static_cast<std::uint8_t>(static_cast<unsigned char>(c) ^ 0xAA));
  return record;
}

// camm type 6 (GPS) then type 3 (acceleration) in one sample.
inline ByteWriter camm_sample() {
  ByteWriter s;
  // 2016-03-01T09:05:07Z is 1456823107 s since 1970.
  s.u16le(0)
      .u16le(6)
      .f64le(1456823107.0 - 315964800.0)
      .u32le(3)
      .f64le(25.033964)
      .f64le(121.564468)
      .f32le(15.0f)
      .f32le(3.0f)
      .f32le(5.0f)
      .f32le(3.0f)
      .f32le(4.0f)
      .f32le(0.0f)
      .f32le(0.5f);
  s.u16le(0).u16le(3).f32le(0.0f).f32le(0.0f).f32le(9.80665f);
  return s;
}

inline std::string srt_new_dialect() {
  return "1\n00:00:00,000 --> 00:00:01,000\n2016-03-01 09:05:07.000\n"
         "[latitude: 25.033964] [longitude: 121.564468] [rel_alt: 1.0 abs_alt: 15.0]\n\n"
         "2\n00:00:01,000 --> 00:00:02,000\n2016-03-01 09:05:08.000\n"
         "[latitude: 25.034064] [longitude: 121.564468] [rel_alt: 1.0 abs_alt: 15.0]\n\n";
}

inline std::string srt_old_dialect() {
  return "1\r\n00:00:00,000 --> 00:00:01,000\r\nHOME(121.564468,25.033964) 2016.03.01 09:05:07\r\n"
         "GPS(121.564468,25.033964,15) BAROMETER:15.0\r\n\r\n"
         "2\r\n00:00:01,000 --> 00:00:02,000\r\nHOME(121.564468,25.033964) 2016.03.01 09:05:08\r\n"
         "RTK (121.564568, 25.033964, 15)\r\n\r\n";
}

}  // namespace vek::track::formats::test
