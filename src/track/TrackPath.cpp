#include "track/TrackPath.h"

#include "track/LibraryNames.h"

namespace vek::track {
namespace {

void replace_all(std::string& text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

}  // namespace

std::string_view clip_file_name(std::string_view path) noexcept {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string relative_track_path(std::string_view file_name) {
  std::string path = "/";
  path += kDataFolder;
  path += '/';
  path += file_name;
  replace_all(path, ".MOV", ".data");
  replace_all(path, ".mov", ".data");
  return path;
}

bool is_track_file_path(std::string_view path) noexcept {
  constexpr std::string_view kTrackExtension = ".data";
  const std::string_view name = clip_file_name(path);
  return name.size() > kTrackExtension.size() && name.ends_with(kTrackExtension);
}

}  // namespace vek::track
