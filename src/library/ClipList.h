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

  // Plain substring test over the whole clip list; an empty stem never counts.
  bool lists_stem(std::string_view stem) const;

  void append(std::string_view track_path, std::string_view source_path);

  // Removes every occurrence of the track key (track path + ",") and of the
  // clip key (element + ",").
  void remove(std::string_view track_path, std::string_view element);
};

}  // namespace vek::library
