// The page's media commands in the real application: what lands in
// ~/VEK/files, what the page is told, and that the output folder is opened
// in the desktop's file manager (a stand-in handler that notes each call).

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <thread>

#include "AppRun.h"

namespace vek::e2e {
namespace {

// Exports and recordings encode 1080p video under sanitizers on a shared machine.
constexpr auto kMediaTimeout = 240s;

RunOptions test_page(std::vector<std::string> plan) {
  return {VEK_TEST_PAGE_DIR, std::move(plan)};
}

// Makes `home` open folders with a script that appends each URI to the file
// it returns, as a file manager would be started.
std::filesystem::path note_folder_openings(const std::filesystem::path& home) {
  const auto notes = home / "opened-folders";
  const auto script = home / "open-folder.sh";
  std::ofstream(script) << "#!/bin/sh\necho \"$1\" >> '" << notes.string() << "'\n";
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  const auto applications = home / ".local" / "share" / "applications";
  std::filesystem::create_directories(applications);
  std::ofstream(applications / "vek-test-folder.desktop")
      << "[Desktop Entry]\nType=Application\nName=Folder notes\nExec=" << script.string()
      << " %u\nMimeType=inode/directory;\n";
  std::filesystem::create_directories(home / ".config");
  std::ofstream(home / ".config" / "mimeapps.list")
      << "[Default Applications]\ninode/directory=vek-test-folder.desktop\n";
  return notes;
}

std::vector<std::filesystem::path> files_in(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename());
  }
  std::sort(names.begin(), names.end());
  return names;
}

template <typename Condition>
bool wait_until(Condition condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    std::this_thread::sleep_for(100ms);
  }
  return true;
}

struct PngSize {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  bool operator==(const PngSize&) const = default;
};

// The size in a PNG's header; zero when the file is not a PNG.
PngSize png_size(const std::filesystem::path& file) {
  const std::string bytes = read_file(file);
  constexpr std::string_view kSignature = "\x89PNG\r\n\x1a\n";
  if (bytes.size() < 24 || bytes.compare(0, kSignature.size(), kSignature) != 0) {
    return {};
  }
  const auto big_endian = [&bytes](std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
      value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
  };
  return {big_endian(16), big_endian(20)};
}

std::size_t occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) {
    ++count;
  }
  return count;
}

bool has_suffix(const std::filesystem::path& name, const std::string& prefix, const std::string& suffix) {
  const std::string text = name.string();
  return text.starts_with(prefix) && text.ends_with(suffix);
}

TEST(Media, FrameSnapshotWritesThePictureAndTellsThePage) {
  const auto clip = generated_clip();
  AppRun app("frame", test_page({"http://get_photo/file://" + clip.string() + ";0;0"}));
  app.start();
  ASSERT_TRUE(app.wait_for_stderr("VEKTEST get_act", kMediaTimeout)) << app.err();
  EXPECT_NE(app.err().find("vek: photo:file://" + clip.string() + ",0,0"), std::string::npos) << app.err();
  EXPECT_NE(app.err().find("vek: err==(null), imageRef==<frame 640x360>"), std::string::npos) << app.err();
  const auto files = files_in(app.home() / "VEK" / "files");
  ASSERT_EQ(files.size(), 1U);
  EXPECT_TRUE(has_suffix(files.front(), "20", ".png")) << files.front();
  EXPECT_EQ(png_size(app.home() / "VEK" / "files" / files.front()), (PngSize{640, 360}));
}

TEST(Media, FrameSnapshotOfAMissingClipOnlyTellsThePage) {
  AppRun app("frame-missing", test_page({"http://get_photo/file:///nowhere/FILE0009.MOV;1;5"}));
  app.start();
  ASSERT_TRUE(app.wait_for_stderr("VEKTEST snapshot_failed", kMediaTimeout)) << app.err();
  EXPECT_EQ(app.err().find("VEKTEST get_act"), std::string::npos) << "no snapshot was saved: " << app.err();
  EXPECT_NE(app.err().find("vek: photo:file:///nowhere/FILE0009.MOV,1,5"), std::string::npos) << app.err();
  EXPECT_TRUE(files_in(app.home() / "VEK" / "files").empty());
  EXPECT_TRUE(app.running());
}

TEST(Media, WindowSnapshotHasTheViewsSize) {
  AppRun app("window", test_page({"http://get_full_photo/"}));
  app.start();
  ASSERT_TRUE(app.wait_for_stderr("VEKTEST get_act", kMediaTimeout)) << app.err();
  const auto files = files_in(app.home() / "VEK" / "files");
  ASSERT_EQ(files.size(), 1U);
  EXPECT_EQ(png_size(app.home() / "VEK" / "files" / files.front()), (PngSize{960, 600}));
}

TEST(Media, MergedExportCompletesAndOpensTheOutputFolder) {
  const auto clip = generated_clip();
  AppRun app("merge", test_page({"http://merger/" + clip.string() + ",/nowhere/A.MOV," + clip.string()}));
  const auto notes = note_folder_openings(app.home());
  app.start();
  ASSERT_TRUE(app.wait_for_stderr("VEKTEST exp ", kMediaTimeout)) << app.err();
  EXPECT_EQ(app.page_calls("exp"), std::vector<std::string>{"[\"Export Completed\"]"});
  const std::string err = app.err();
  EXPECT_EQ(occurrences(err, "vek: merger:" + clip.string() + "\n"), 2U) << "both listed copies are merged\n" << err;
  EXPECT_EQ(err.find("vek: merger:/nowhere/A.MOV"), std::string::npos);
  const auto files = files_in(app.home() / "VEK" / "files");
  ASSERT_EQ(files.size(), 1U) << "no temporary file is left";
  EXPECT_TRUE(has_suffix(files.front(), "exp_", ".mov")) << files.front();
  EXPECT_GT(std::filesystem::file_size(app.home() / "VEK" / "files" / files.front()), 1000U);
  ASSERT_TRUE(wait_until([&] { return !read_file(notes).empty(); }, 10s));
  EXPECT_EQ(read_file(notes), (app.home() / "VEK" / "files").string() + "\n");
}

TEST(Media, RecordingIsFinishedWhenStopped) {
  AppRun app("record", test_page({"http://recode/", "http://norecode/"}));
  const auto notes = note_folder_openings(app.home());
  app.start();
  const auto folder = app.home() / "VEK" / "files";
  ASSERT_TRUE(wait_until(
      [&] {
        return std::filesystem::exists(folder) && files_in(folder).size() == 1 &&
               has_suffix(files_in(folder).front(), "Recording-", ".mov");
      },
      kMediaTimeout))
      << app.err();
  const auto recording = folder / files_in(folder).front();
  const std::string stamp = recording.stem().string().substr(std::string("Recording-").size());
  EXPECT_TRUE(stamp.size() >= 14 && stamp.find_first_not_of("0123456789") == std::string::npos) << stamp;
  EXPECT_NE(read_file(recording).find("moov"), std::string::npos) << "the index is written";
  ASSERT_TRUE(wait_until([&] { return !read_file(notes).empty(); }, 10s));
  EXPECT_EQ(read_file(notes), folder.string() + "\n");
}

}  // namespace
}  // namespace vek::e2e
