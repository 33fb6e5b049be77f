#include "library/FolderClips.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace vek::library {
namespace {

bool is_clip_name(const std::filesystem::path& path) {
  const std::string extension = path.extension().string();
  return extension == ".MOV" || extension == ".mov";
}

}  // namespace

std::vector<std::string> clips_in_folder(const std::string& folder) {
  return clips_in_folder(folder, [] { return false; });
}

std::vector<std::string> clips_in_folder(const std::string& folder, const std::function<bool()>& stop) {
  namespace fs = std::filesystem;
  std::vector<std::string> clips;
  std::error_code error;
  fs::recursive_directory_iterator walk(folder, fs::directory_options::skip_permission_denied, error);
  for (; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
    if (stop()) {
      return {};
    }
    std::error_code status_error;
    if (walk->is_regular_file(status_error) && is_clip_name(walk->path())) {
      clips.push_back(walk->path().string());
    }
  }
  std::sort(clips.begin(), clips.end());
  return clips;
}

}  // namespace vek::library
