#pragma once
// Whether decoded coordinates name a place on the globe: a reader hands on
// no fix outside it, whatever the bytes said.

#include <cmath>

namespace vek::track::formats {

inline bool on_globe(double latitude, double longitude) noexcept {
  return std::isfinite(latitude) && std::isfinite(longitude) && std::abs(latitude) <= 90 && std::abs(longitude) <= 180;
}

}  // namespace vek::track::formats
