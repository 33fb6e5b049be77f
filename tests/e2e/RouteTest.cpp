// Route export in the real application: three consecutive generated clips
// named by a page command become one trip in a GPX file in ~/VEK/files,
// which gpsbabel reads back with every point and its time.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "AppRun.h"

namespace vek::e2e {
namespace {

constexpr int kSeconds = 3;
constexpr int kSamplesPerSecond = 10;
constexpr auto kRouteTimeout = 60s;

// Clips of one drive, each `kSeconds` further into it.
std::vector<std::filesystem::path> consecutive_clips(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> clips;
  for (int k = 0; k < 3; ++k) {
    const auto clip = folder / ("TRIP000" + std::to_string(k) + ".MOV");
    const std::string command = "python3 " VEK_FIXTURE_TOOL " --kind freegps --size 160x96 --seconds " +
                                std::to_string(kSeconds) + " --drive-offset " + std::to_string(k * kSeconds) +
                                " --out " + clip.string() + " --json " + clip.string() + ".json > /dev/null 2>&1";
    if (!run_command(command)) {
      throw std::runtime_error("cannot make a test clip: " + command);
    }
    clips.push_back(clip);
  }
  return clips;
}

std::size_t count_of(const std::string& text, const std::string& needle) {
  std::size_t n = 0;
  for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size())) {
    ++n;
  }
  return n;
}

TEST(Route, ThreeConsecutiveClipsExportAsOneTripThatGpsbabelReadsBack) {
  if (!run_command("command -v gpsbabel > /dev/null")) {
    GTEST_SKIP() << "gpsbabel is not installed";
  }
  const auto folder = std::filesystem::temp_directory_path() / ("vek-e2e-trip-clips-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const auto clips = consecutive_clips(folder);
  AppRun app("route",
             {VEK_TEST_PAGE_DIR,
              {"http://route_out/gpx;120;" + clips[0].string() + "," + clips[1].string() + "," + clips[2].string()}});
  app.start();
  ASSERT_TRUE(app.wait_for_stderr("VEKTEST route_out_done", kRouteTimeout)) << app.err();
  const std::vector<std::string> done = app.page_calls("route_out_done");
  ASSERT_EQ(done.size(), 1U);
  ASSERT_EQ(done[0].rfind("[true,\"route_", 0), 0U) << done[0];
  const std::string name = done[0].substr(7, done[0].size() - 9);
  const auto gpx = app.home() / "VEK" / "files" / name;
  const std::string text = read_file(gpx);
  EXPECT_EQ(count_of(text, "<trk>"), 1U) << "one trip";

  const auto table = folder / "points.csv";
  ASSERT_TRUE(run_command("gpsbabel -t -i gpx -f '" + gpx.string() + "' -o unicsv -F '" + table.string() + "'"));
  std::istringstream rows(read_file(table));
  std::string row;
  std::getline(rows, row);
  EXPECT_NE(row.find("Date"), std::string::npos) << row;
  EXPECT_NE(row.find("Time"), std::string::npos) << row;
  int points = 0;
  for (; std::getline(rows, row); ++points) {
    EXPECT_NE(row.find("2016/03/01"), std::string::npos) << "every point keeps its time: " << row;
  }
  EXPECT_EQ(points, 3 * kSeconds * kSamplesPerSecond);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace vek::e2e
