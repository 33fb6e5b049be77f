#include "ClipBuilder.h"
#include "track/Track.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>

#include "support/Process.h"

namespace vek::track {
namespace {

// Builds a German locale (decimal comma) in a private folder; the test image
// may have no compiled locales besides C.
bool make_comma_locale(const std::filesystem::path& folder) {
  return vek::test::run_process({"localedef", "-i", "de_DE", "-f", "UTF-8", (folder / "de_DE.UTF-8").string()}).ok();
}

TEST(Format, NumbersUseAPointWhateverTheLocale) {
  const auto folder = std::filesystem::temp_directory_path() / ("vek-locale-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  if (!make_comma_locale(folder)) GTEST_SKIP() << "localedef could not build de_DE.UTF-8";
  ::setenv("LOCPATH", folder.c_str(), 1);
  ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
  char probe[16];
  std::snprintf(probe, sizeof probe, "%.2f", 1.5);
  EXPECT_STREQ(probe, "1,50") << "the locale itself uses a comma";

  test::ClipBuilder clip(64 + 20 * 36);
  clip.ascii(64, "gps0").f64le(64 + 32 * 3 + 4, 2502.12345);
  test::LogLines log;
  const std::string text = splitData(clip.bytes(), "L.MOV", log.sink());
  std::setlocale(LC_ALL, "C");
  ::unsetenv("LOCPATH");
  std::filesystem::remove_all(folder);
  EXPECT_NE(text.find("'lat':\"25.0288872\""), std::string::npos);
  EXPECT_FALSE(std::regex_search(text, std::regex("[0-9],[0-9]"))) << "no decimal comma anywhere";
  EXPECT_EQ(log.lines.at(4), "v1:0.000000");
}

}  // namespace
}  // namespace vek::track
