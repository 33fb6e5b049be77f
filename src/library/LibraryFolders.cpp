#include "library/LibraryFolders.h"

#include <filesystem>

#include <system_error>
#include "base/files/StaleTemporaries.h"
#include "track/LibraryNames.h"

namespace vek::library {

std::string library_folder(std::string_view home) {
  return std::string(home) + "/" + std::string(track::kDataFolder);
}

std::string output_folder(std::string_view home) {
  return std::string(home) + "/" + std::string(track::kFilesFolder);
}

std::string settings_file(std::string_view home) {
  return library_folder(home) + "/ini.txt";
}

bool something_exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(path, error);
}

void ensure_library(std::string_view home, const FileWriter& write) {
  std::error_code error;
  std::filesystem::create_directories(library_folder(home), error);
  std::filesystem::create_directories(output_folder(home), error);
  // Leftovers of writers that were killed; those of a running one stay.
  base::remove_stale_temporaries(library_folder(home));
  base::remove_stale_temporaries(output_folder(home));
  const std::string settings = settings_file(home);
  std::error_code status_error;
  const auto status = std::filesystem::symlink_status(settings, status_error);
  if (status.type() == std::filesystem::file_type::not_found) {
    write(settings, kDefaultSettings);
  }
}

}  // namespace vek::library
