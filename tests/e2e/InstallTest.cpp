// The application as `cmake --install` lays it out under a fresh prefix, and
// started the way a desktop starts it from its launcher entry.

#include <gtest/gtest.h>

#include <sstream>

#include "AppRun.h"

namespace vek::e2e {
namespace {

RunOptions installed() {
  RunOptions options;
  options.cmake_install = true;
  return options;
}

// The value of `key` in the entry's main group; empty when absent.
std::string entry_value(const std::filesystem::path& entry, const std::string& key) {
  std::istringstream lines(read_file(entry));
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with(key + "=")) {
      return line.substr(key.size() + 1);
    }
  }
  return {};
}

// The Exec line with its field codes filled in for one file, as a launcher
// does (a file list code gets the path, a URL code the file:// URL). Our
// entry needs no quoting, so words split at spaces.
std::vector<std::string> launch_command(const std::string& exec, const std::filesystem::path& file) {
  std::vector<std::string> words;
  std::istringstream in(exec);
  for (std::string word; in >> word;) {
    if (word == "%f" || word == "%F") {
      words.push_back(file.string());
    } else if (word == "%u" || word == "%U") {
      words.push_back("file://" + file.string());
    } else if (!word.starts_with("%")) {
      words.push_back(word);
    }
  }
  return words;
}

TEST(Install, PrefixHoldsTheAppItsPageAndItsLauncherEntry) {
  AppRun app("install-layout", installed());
  const auto& prefix = app.prefix();
  for (const char* file : {"bin/vek", "share/vek/www/index.html", "share/applications/vek.desktop",
                           "share/icons/hicolor/scalable/apps/vek.svg"}) {
    EXPECT_TRUE(std::filesystem::is_regular_file(prefix / file)) << file;
  }
  const auto perms = std::filesystem::status(prefix / "bin" / "vek").permissions();
  EXPECT_NE(perms & std::filesystem::perms::owner_exec, std::filesystem::perms::none);
  const auto entry = prefix / "share" / "applications" / "vek.desktop";
  const std::string icon = entry_value(entry, "Icon");
  EXPECT_TRUE(std::filesystem::is_regular_file(prefix / "share/icons/hicolor/scalable/apps" / (icon + ".svg")))
      << "the entry's icon \"" << icon << "\" is installed in the theme";
  EXPECT_EQ(launch_command(entry_value(entry, "Exec"), "/x.MOV").front(), "vek") << "the installed program";
}

TEST(Install, InstalledAppStartsWithThePageFromItsPrefix) {
  AppRun app("install-start", installed());
  app.start();
  ASSERT_TRUE(app.wait_for_stderr("vek: finish\n")) << app.err();
  EXPECT_EQ(app.err().find("page not found"), std::string::npos) << app.err();
  EXPECT_TRUE(app.running());
}

TEST(Install, LaunchingTheEntryWithAClipTakesItIn) {
  const auto clip = generated_clip();
  AppRun app("install-launch", installed());
  const auto command = launch_command(entry_value(app.prefix() / "share/applications/vek.desktop", "Exec"), clip);
  ASSERT_FALSE(command.empty());
  app.start(std::vector<std::string>(command.begin() + 1, command.end()));
  ASSERT_TRUE(app.wait_for_stderr("vek page: FILE0001.MOV track")) << app.err();
  const std::string page = "file://" + (app.prefix() / "share" / "vek" / "www").string() + "/";
  EXPECT_NE(app.err().find(page + "js/viewer.js"), std::string::npos) << "the page came from the prefix\n" << app.err();
  EXPECT_TRUE(std::filesystem::exists(app.home() / "VEK" / "data" / "FILE0001.data"));
}

}  // namespace
}  // namespace vek::e2e
