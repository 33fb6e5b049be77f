// A card's worth of clips taken in by the real application: the list fills
// clip by clip with progress while a listed clip plays, Cancel stops it with
// only whole track files left, and every track equals what vek-track writes.

#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "AppRun.h"
#include "Drag.h"

namespace vek::e2e {
namespace {

namespace fs = std::filesystem;

constexpr int kClips = 30;

std::string clip_name(int number, const char* extension) {
  char name[24];
  std::snprintf(name, sizeof name, "FILE%04d.%s", number, extension);
  return name;
}

std::vector<std::string> card_of_clips(const fs::path& card) {
  fs::create_directories(card);
  std::vector<std::string> clips;
  for (int i = 1; i <= kClips; ++i) {
    fs::copy_file(generated_clip(), card / clip_name(i, "MOV"), fs::copy_options::overwrite_existing);
    clips.push_back((card / clip_name(i, "MOV")).string());
  }
  return clips;
}

// Clips big enough that reading thirty of them takes seconds even unhurried:
// one megabyte of camera data per second for a minute, no index, so every
// clip is searched whole. Hard links keep the disk use to one clip.
std::vector<std::string> card_of_large_clips(const fs::path& card) {
  fs::create_directories(card);
  const fs::path first = card / clip_name(1, "MOV");
  const std::string command = "python3 " VEK_FIXTURE_TOOL
                              " --kind freegps --seconds 60 --size 160x96 --fps 10 --atom-size 0x100000 --out " +
                              first.string() + " --json " + (card / "clip.json").string() + " > /dev/null 2>&1";
  if (!run_command(command)) {
    return {};
  }
  std::vector<std::string> clips{first.string()};
  for (int i = 2; i <= kClips; ++i) {
    fs::create_hard_link(first, card / clip_name(i, "MOV"));
    clips.push_back((card / clip_name(i, "MOV")).string());
  }
  return clips;
}

// Tracks of the named clips as `vek-track extract --full-scan` writes them,
// in a home of their own; empty when it fails.
fs::path command_line_tracks(const fs::path& home, const std::vector<std::string>& clips) {
  std::string command = "HOME='" + home.string() + "' " + VEK_TRACK_BINARY + " extract --full-scan --quiet";
  for (const std::string& clip : clips) {
    command += " '" + clip + "'";
  }
  return run_command(command + " > /dev/null") ? home / "VEK" / "data" : fs::path();
}

// Each report from `first` on lists one clip more, the newest at the end
// (drags go last to first).
// The list fills as clips are ready, from the last path to the first (a
// drag's order): from report `first` on, each names a clip later in that
// order than the one before (reports close together are joined), the last
// names clips[last].
void expect_filled_in_order(const std::vector<std::string>& reports, const std::vector<std::string>& clips,
                            std::size_t first, std::size_t last) {
  ASSERT_GT(reports.size(), first);
  std::size_t before = clips.size();
  for (std::size_t i = first; i < reports.size(); ++i) {
    std::size_t named = clips.size();
    for (std::size_t k = 0; k < clips.size(); ++k) {
      named = reports[i].find(json_string(clips[k]) + "]") != std::string::npos ? k : named;
    }
    EXPECT_LT(named, before) << "report " << i << ": " << reports[i];
    before = named;
  }
  EXPECT_EQ(before, last) << "the last report names the last clip taken in";
}

TEST(Intake, ThirtyClipsFillTheListInOrderAndMatchTheCommandLine) {
  AppRun app("intake30", {VEK_TEST_PAGE_DIR, {}});
  const std::vector<std::string> clips = card_of_clips(app.root() / "card");
  app.start(clips);
  ASSERT_TRUE(app.wait_for_stderr("VEKTEST intake_progress [\"finished\",\"30\",\"30\"")) << app.err();
  const std::vector<std::string> reports = app.page_calls("file_list_fun");
  ASSERT_GE(reports.size(), 3U) << "the page load's report, the first clip's at once, the last";
  EXPECT_LE(reports.size(), 1U + kClips) << "at most one per clip";
  expect_filled_in_order(reports, clips, 1, 0);
  const std::vector<std::string> progress = app.page_calls("intake_progress");
  ASSERT_GE(progress.size(), 2U);
  EXPECT_EQ(progress.front().rfind("[\"running\",\"0\",\"30\",\"0\",", 0), 0U) << progress.front();

  const fs::path expected = command_line_tracks(app.root() / "cli-home", clips);
  ASSERT_FALSE(expected.empty());
  for (int i = 1; i <= kClips; ++i) {
    const std::string name = clip_name(i, "data");
    ASSERT_FALSE(read_file(expected / name).empty()) << name;
    EXPECT_EQ(read_file(app.home() / "VEK" / "data" / name), read_file(expected / name)) << name;
  }
  EXPECT_TRUE(app.running()) << "the window stays";
}

// Seconds the clip had played at each report of the last intake while it ran.
std::vector<double> play_times_while_running(const std::vector<std::string>& samples) {
  static const std::regex sample(R"(^\[([0-9.]+),"running",.*\]$)");
  std::vector<double> times;
  for (const std::string& text : samples) {
    std::smatch match;
    if (text.find("\"finished\"") != std::string::npos) {
      times.clear();
    } else if (std::regex_match(text, match, sample)) {
      times.push_back(std::stod(match[1]));
    }
  }
  return times;
}

// Waits until the page's video has played past `seconds`.
bool wait_until_played(const AppRun& app, double seconds) {
  static const std::regex sample(R"(^\[([0-9.]+),.*\]$)");
  const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
  while (std::chrono::steady_clock::now() < deadline) {
    const std::vector<std::string> samples = app.page_calls("video_time");
    std::smatch match;
    if (!samples.empty() && std::regex_match(samples.back(), match, sample) && std::stod(match[1]) > seconds) {
      return true;
    }
    std::this_thread::sleep_for(100ms);
  }
  return false;
}

// What Cancel left in the library: only whole tracks and their records
// (which clip, which reader).
std::vector<std::string> tracks_left(const fs::path& library) {
  std::vector<std::string> clips;
  for (const auto& entry : fs::directory_iterator(library)) {
    const std::string name = entry.path().filename().string();
    if (name == "ini.txt" || name == "PLAY0001.data" || name.ends_with(".data.id") || name.ends_with(".data.family")) {
      continue;
    }
    EXPECT_TRUE(name.ends_with(".data")) << "left behind: " << name;
    clips.push_back(name);
  }
  return clips;
}

// The clip plays before the drag, so what is measured is whether it keeps
// playing while the card is read, not how fast playback starts.
TEST(Intake, DraggedClipsPlayWhileReadAndCancelLeavesOnlyWholeTracks) {
  AppRun app("intake-drag", {VEK_TEST_PAGE_DIR, {"vektest:play", "vektest:cancel-once-played"}});
  const fs::path card = app.root() / "card";
  const std::vector<std::string> clips = card_of_large_clips(card);
  ASSERT_EQ(clips.size(), static_cast<std::size_t>(kClips)) << "the fixture tool made no clip";
  const fs::path playing = app.root() / "play" / "PLAY0001.MOV";
  fs::create_directories(playing.parent_path());
  fs::copy_file(generated_clip(), playing);
  app.start({playing.string()});
  ASSERT_TRUE(app.wait_for_stderr("VEKTEST intake_progress [\"finished\",\"1\",\"1\"")) << app.err();
  ASSERT_TRUE(wait_until_played(app, 0.3)) << app.err();
  Drag drag(app, clips);
  ASSERT_TRUE(app.wait_for_stderr("VEKTEST intake_progress [\"cancelled\"", 180s)) << app.err();
  drag.drop();

  const std::vector<double> times = play_times_while_running(app.page_calls("progress_time"));
  ASSERT_GE(times.size(), 2U) << "reports while the drag's intake ran";
  EXPECT_GT(times.back(), times.front()) << "the clip played on while the clips were read";
  const std::string cancelled = app.page_calls("intake_progress").back();
  const int done = std::stoi(cancelled.substr(cancelled.find(',') + 2));
  EXPECT_GE(done, 3);
  EXPECT_LT(done, kClips) << "Cancel landed while the intake ran: " << cancelled;
  const std::vector<std::string> reports = app.page_calls("file_list_fun");
  EXPECT_LE(reports.size(), 2U + static_cast<std::size_t>(done)) << "the page load's, the played clip's, then by clip";
  expect_filled_in_order(reports, clips, 2, clips.size() - static_cast<std::size_t>(done));

  const std::vector<std::string> left = tracks_left(app.home() / "VEK" / "data");
  EXPECT_GE(left.size(), static_cast<std::size_t>(done));
  EXPECT_LT(left.size(), static_cast<std::size_t>(kClips));
  std::vector<std::string> read;
  for (const std::string& track : left) {
    read.push_back((card / (track.substr(0, track.size() - 4) + "MOV")).string());
  }
  const fs::path expected = command_line_tracks(app.root() / "cli-home", read);
  ASSERT_FALSE(expected.empty());
  for (const std::string& track : left) {
    EXPECT_EQ(read_file(app.home() / "VEK" / "data" / track), read_file(expected / track)) << track;
  }
  EXPECT_TRUE(app.running()) << "the window stays";
}

}  // namespace
}  // namespace vek::e2e
