#pragma once
// The "$V02" CSV log a camera keeps at the card's root (GPSDataNNNNNN.txt),
// one file for many clips: rows of unix seconds, A/V, latitude and longitude
// in degrees, course x 100, speed in m/s x 100, acceleration in g x 100, the
// clip's file name (or 0) and three zeros.

#include "track/formats/Fix.h"

#include <string_view>

namespace vek::track::formats {

// The seconds the camera's clock runs behind UTC: its firmware zone is fixed
// at UTC+8 but it subtracts instead of adding (documented and seen on cards;
// one reader takes the field as UTC instead).
inline constexpr double kV02ClockBehindUtcSeconds = 8 * 3600.0;

// "GPSData" then six digits, ".txt" in any case.
bool is_v02_log_name(std::string_view file_name);

// The text starts with the "$V02" line.
bool looks_like_v02_log(std::string_view text);

// The rows naming `clip_name` (compared without folders and case).
Decoded decode_v02_log(std::string_view text, std::string_view clip_name);

}  // namespace vek::track::formats
