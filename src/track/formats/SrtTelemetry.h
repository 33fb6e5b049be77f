#pragma once
// SubRip sidecars whose cues carry telemetry text. Old dialect:
// "HOME(lon,lat) YYYY.MM.DD hh:mm:ss" with "GPS(lon,lat,alt)" or "RTK (lon, lat, alt)";
// new dialect: "YYYY-MM-DD hh:mm:ss.mmm" with "[latitude: x] [longitude: y]".

#include "track/formats/Fix.h"

#include <filesystem>
#include <string_view>
#include <vector>

namespace vek::track::formats {

bool looks_like_srt_telemetry(std::string_view text);

Decoded decode_srt_telemetry(std::string_view text);

// DIR/NAME.srt and DIR/NAME.SRT for DIR/NAME.MOV.
std::vector<std::filesystem::path> srt_sidecars(const std::filesystem::path& clip);

}  // namespace vek::track::formats
