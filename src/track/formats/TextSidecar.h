#pragma once
// Plain text sidecars beside a clip: NMEA logs (`.nmea`, and NMEA in `.gpx`-named
// files of the `103gps`/`203gps` folders) and `.map` CSV rows.

#include "track/formats/Fix.h"

#include <filesystem>
#include <string_view>
#include <vector>

namespace vek::track::formats {

bool looks_like_nmea_sidecar(std::string_view text);
Decoded decode_nmea_sidecar(std::string_view text);

bool looks_like_map_sidecar(std::string_view text);
Decoded decode_map_sidecar(std::string_view text);

// NAME.nmea / .NMEA / .map / .MAP beside DIR/NAME.MOV, then NAME.gpx in
// DIR/../103gps and DIR/../203gps.
std::vector<std::filesystem::path> text_sidecars(const std::filesystem::path& clip);

}  // namespace vek::track::formats
