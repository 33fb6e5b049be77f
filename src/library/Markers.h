#pragma once
// Paths the intake refuses: clips the camera marks as "close" recordings, and
// (for drags) clips whose following segments lie in the same folder.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace vek::library {

// True when the path contains "closer.", "closeR.", "closeb." or "closeB.".
bool has_close_marker(std::string_view path);

// From the fourth "_"-separated piece of the whole path, its leading integer
// n: the texts "n+1_", "n+2_" and "n+3_" (32-bit arithmetic). Empty when the
// path has fewer than three "_" and so no fourth piece.
std::optional<std::array<std::string, 3>> number_markers(std::string_view path);

// True when the path contains any of the markers where a number starts: the
// "6_" that ends the year of "2016_0301_100300_003.MOV" is not the number 6,
// and a clip named the camera's way is not refused for it.
bool has_number_marker(std::string_view path, const std::array<std::string, 3>& markers);

}  // namespace vek::library
