#pragma once
#include <string>
#include <string_view>

namespace vek::track {

// The clip's file name: the text after the last "/", or all of the path.
std::string_view clip_file_name(std::string_view path) noexcept;

// "/VEK/data/" + file name, every ".MOV" and then every ".mov" replaced by
// ".data" (case-sensitive): the track file's path relative to the home directory.
std::string relative_track_path(std::string_view file_name);

// True when `path` (absolute or relative) names a track file, as made from a
// clip name: its file name ends in ".data". Only such files are ever
// replaced by an extraction; "ini.txt" or a name without ".MOV" never is.
bool is_track_file_path(std::string_view path) noexcept;

}  // namespace vek::track
