#include "library/ClipNames.h"

#include "track/TrackPath.h"

namespace vek::library {

ClipNames clip_names(std::string_view source_path, std::string_view home) {
  ClipNames names;
  names.file_name = std::string(track::clip_file_name(source_path));
  const std::string_view name = names.file_name;
  names.stem = std::string(name.substr(0, name.find('.')));
  const std::size_t last_dot = name.rfind('.');
  names.extension = std::string(last_dot == std::string_view::npos ? name : name.substr(last_dot + 1));
  names.relative_track_path = track::relative_track_path(name);
  names.track_path = std::string(home) + names.relative_track_path;
  return names;
}

}  // namespace vek::library
