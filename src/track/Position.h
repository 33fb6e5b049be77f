#pragma once
#include <string>

namespace vek::track {

// The printable position "%i[ %i' %i.%.2d:,%i[ %i' %i.%.2d:" of a latitude and
// longitude in decimal degrees (25.033964, 121.564468 gives
// 25[ 2' 2.27:,121[ 33' 52.08:).
std::string nicePosition(double latitude, double longitude);

// Appends the same label to `out` without a temporary string.
void append_position(std::string& out, double latitude, double longitude);

}  // namespace vek::track
