#include "library/LibraryFolders.h"

#include <gtest/gtest.h>

#include <sstream>

#include "TempHome.h"
#include "base/files/Publisher.h"

namespace vek::library {
namespace {

class LibraryFolders : public testing::TempHome {
 protected:
  static bool write(const std::string& path, std::string_view text) {
    return base::publish_file(path, text, base::PublishMode::Replace);
  }
  std::string read(const std::string& path) const {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
};

TEST_F(LibraryFolders, FirstRunCreatesFoldersAndDefaultSettings) {
  ensure_library(home(), write);
  EXPECT_TRUE(std::filesystem::is_directory(home() + "/VEK/data"));
  EXPECT_TRUE(std::filesystem::is_directory(home() + "/VEK/files"));
  EXPECT_EQ(read(settings_file(home())), "km,ENG");
}

TEST_F(LibraryFolders, ExistingSettingsAreNeverRewritten) {
  make_file("home/VEK/data/ini.txt", "");
  ensure_library(home(), write);
  EXPECT_EQ(read(settings_file(home())), "");
}

TEST_F(LibraryFolders, HomeThatCannotHoldTheLibraryIsNoFault) {
  make_file("home/VEK", "a file where the folder should be");
  ensure_library(home(), write);
  EXPECT_FALSE(std::filesystem::exists(settings_file(home())));
  EXPECT_EQ(read(home() + "/VEK"), "a file where the folder should be");
}

}  // namespace
}  // namespace vek::library
