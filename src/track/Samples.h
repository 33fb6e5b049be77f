#pragma once
// Plain decoded values, before any text is made of them.

#include <array>
#include <cstdint>

namespace vek::track {

struct GSensor {
  float x = 0;
  float y = 0;
  float z = 0;
};

struct FreeGpsSample {
  std::uint16_t speed_cm_s = 0;
  float degrees = 0;  // top-aligned field / 1e7
  float seconds = 0;  // stored tenths / 10
  std::uint8_t status = 0;
  std::int32_t latitude_e7 = 0;  // degrees x 10^7
  std::int32_t longitude_e7 = 0;
};

inline constexpr std::size_t kSamplesPerBox = 10;

struct FreeGpsBox {
  std::uint32_t year = 0;  // the full year
  std::uint8_t month = 0;
  std::uint8_t day = 0;
  std::uint8_t hour = 0;  // as stored
  std::uint8_t minute = 0;
  std::array<FreeGpsSample, kSamplesPerBox> samples{};
  GSensor gsensor;
};

inline constexpr int kGps0YearBase = 2000;  // gps0 records store years since 2000

struct Gps0Record {
  double latitude = 0;  // decimal degrees, corrected
  double longitude = 0;
  std::uint8_t speed = 0;
  std::uint8_t year = 0;  // years since 2000
  std::uint8_t month = 0;
  std::uint8_t day = 0;
  std::uint8_t hour = 0;  // as stored
  std::uint8_t minute = 0;
  std::uint8_t second = 0;
};

}  // namespace vek::track
