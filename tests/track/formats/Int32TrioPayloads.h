#pragma once
// One well-formed payload of each of the int32-DDMM trio's forms and of the
// AITG trailer, holding the shared fix of FamilyPayloads.h: 2016-03-01
// 09:05:07 UTC at 25 02.0378' N, 121 33.8681' E.

#include "ByteWriter.h"

#include <string>

namespace vek::track::formats::test {

inline constexpr std::uint32_t kFixUnix = 1456823107;            // 2016-03-01T09:05:07Z
inline constexpr std::uint32_t kCameraClock = kFixUnix - 28800;  // 8 h behind UTC

// "$V02", a row of FILE.MOV, a row of another clip, a void row, a (0, 0) row, a cut last line.
inline std::string v02_log() {
  const std::string t = std::to_string(kCameraClock);
  return "$V02\n" + t + ",A,25.033964,121.564468,12345,1000,1,-2,98,FILE.MOV,0,0,0\n" + t +
         ",A,25.2,121.6,0,0,0,0,100,OTHER.MOV,0,0,0\n" + t + ",V,25.1,121.5,0,0,0,0,100,FILE.MOV,0,0,0\n" + t +
         ",A,0.000000,0.000000,0,0,0,0,100,FILE.MOV,0,0,0\n" + std::to_string(kCameraClock + 9) + ",A,25.0";
}

// One record at 3 s after the start and the all-zero end record, then a record past it.
inline ByteWriter gps_box_payload() {
  ByteWriter b;
  b.u32le(1).u32le(1).u32le(3).u32le(36000).text("N").u32le(2502038).text("E").u32le(12133868).zeros(10);
  b.zeros(36);
  b.u32le(1).u32le(1).u32le(4).u32le(36000).text("N").u32le(2502038).text("E").u32le(12133868).zeros(10);
  return b;
}

// A 512-byte freeGPS atom with the int32 DDMM fix, course 123 and 36 km/h.
inline ByteWriter int32_atom(std::int32_t lat = 250203780, std::int32_t lon = 1213386810, char status = 'A') {
  ByteWriter a;
  a.u32be(512)
      .text("freeGPS ")
      .u16le(0x0102)
      .u16le(0)
      .zeros(2)
      .u16le(0x0102)
      .zeros(10)
      .u8(static_cast<std::uint8_t>(status));
  a.u32le(static_cast<std::uint32_t>(lat))
      .u32le(static_cast<std::uint32_t>(lon))
      .u32le(123)
      .u32le(36)
      .zeros(4)
      .text("VV");
  a.zeros(0x16D - a.size()).u32le(kCameraClock);
  a.zeros(512 - a.size());
  return a;
}

inline double ddmm_of(double degrees) {
  const double whole = static_cast<double>(static_cast<int>(degrees));
  return whole * 100 + (degrees - whole) * 60;
}

// A "gps0" chunk of one AITG record (south-west when `south_west`), then a "gsen" chunk of two AITS records.
inline ByteWriter aitg_trailer(bool south_west = false) {
  ByteWriter records;
  records.text("AITG").zeros(4).f64le(2502.0378).f64le(12133.8681).u16le(10);
  records.u8(116).u8(3).u8(1).u8(9).u8(5).u8(7).u8(61).u8(south_west ? 2 : 1).u8(south_west ? 2 : 1).u8(0).u32le(0);
  ByteWriter accel;
  accel.text("AITS").u8(12).u8(static_cast<std::uint8_t>(-24)).u8(24).u8(0).u32le(0);
  accel.text("AITS").u8(1).u8(1).u8(1).u8(0).u32le(100);
  ByteWriter t;
  t.text("gps0").u32le(static_cast<std::uint32_t>(records.size())).bytes(records.view());
  t.text("gsen").u32le(static_cast<std::uint32_t>(accel.size())).bytes(accel.view());
  return t;
}

}  // namespace vek::track::formats::test
