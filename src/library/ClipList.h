#pragma once
// The clips the page shows: two comma-terminated lists whose n-th entries
// belong together. Held in memory only; empty at every launch.

#include <string>
#include <string_view>

namespace vek::library {

struct ClipList {
  // Track data file paths, each followed by ",".
  std::string file_data_path;
  // Clip source paths, each followed by ",".
  std::string file_mv_path;

  // Whether `track_path` is one of the entries.
  bool lists_track(std::string_view track_path) const;

  // The track entry paired with the clip entry `source_path`; empty when the
  // clip is not listed.
  std::string track_of(std::string_view source_path) const;

  void append(std::string_view track_path, std::string_view source_path);

  // Removes every occurrence of the track key (track path + ",") and of the
  // clip key (element + ",").
  void remove(std::string_view track_path, std::string_view element);
};

}  // namespace vek::library
