#include "library/ClipList.h"

#include <vector>

#include "base/text/Strings.h"

namespace vek::library {

namespace {

// The text of each comma-terminated entry.
std::vector<std::string_view> entries(std::string_view list) {
  std::vector<std::string_view> found;
  for (std::size_t comma = list.find(','); comma != std::string_view::npos; comma = list.find(',')) {
    found.push_back(list.substr(0, comma));
    list.remove_prefix(comma + 1);
  }
  return found;
}

}  // namespace

bool ClipList::lists_track(std::string_view track_path) const {
  for (const std::string_view entry : entries(file_data_path)) {
    if (entry == track_path) {
      return true;
    }
  }
  return false;
}

std::string ClipList::track_of(std::string_view source_path) const {
  const std::vector<std::string_view> tracks = entries(file_data_path);
  const std::vector<std::string_view> clips = entries(file_mv_path);
  for (std::size_t i = 0; i < clips.size() && i < tracks.size(); ++i) {
    if (clips[i] == source_path) {
      return std::string(tracks[i]);
    }
  }
  return {};
}

void ClipList::append(std::string_view track_path, std::string_view source_path) {
  file_data_path.append(track_path).append(",");
  file_mv_path.append(source_path).append(",");
}

void ClipList::remove(std::string_view track_path, std::string_view element) {
  file_data_path = base::replace_all(file_data_path, std::string(track_path) + ",", "");
  file_mv_path = base::replace_all(file_mv_path, std::string(element) + ",", "");
}

}  // namespace vek::library
