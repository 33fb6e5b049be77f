#pragma once
// The names derived from a clip's source path: where its track data file
// lives and the stem by which the clip list recognises it.

#include <string>
#include <string_view>

namespace vek::library {

struct ClipNames {
  // Text after the last "/", or the whole path.
  std::string file_name;
  // File name before its first ".", or the whole name.
  std::string stem;
  // File name after its last ".", or the whole name.
  std::string extension;
  // "/VEK/data/" + file name with ".MOV", then ".mov", replaced by ".data".
  std::string relative_track_path;
  // Home directory + relative track path.
  std::string track_path;
};

ClipNames clip_names(std::string_view source_path, std::string_view home);

}  // namespace vek::library
