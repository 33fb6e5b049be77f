#include "library/LibraryFolders.h"

#include <filesystem>
#include <system_error>

namespace vek::library {

std::string library_folder(std::string_view home) {
  return std::string(home) + "/VEK/data";
}

std::string output_folder(std::string_view home) {
  return std::string(home) + "/VEK/files";
}

std::string settings_file(std::string_view home) {
  return std::string(home) + "/VEK/data/ini.txt";
}

bool something_exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(path, error);
}

void ensure_library(std::string_view home, const FileWriter& write) {
  std::error_code error;
  std::filesystem::create_directories(library_folder(home), error);
  std::filesystem::create_directories(output_folder(home), error);
  const std::string settings = settings_file(home);
  std::error_code status_error;
  const auto status = std::filesystem::symlink_status(settings, status_error);
  if (status.type() == std::filesystem::file_type::not_found) {
    write(settings, kDefaultSettings);
  }
}

}  // namespace vek::library
