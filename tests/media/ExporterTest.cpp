#include "media/gst/GstExporter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <mutex>
#include <thread>

#include "MediaTestSupport.h"

namespace vek::media {
namespace {

using vek::test::ScratchFolder;

constexpr std::chrono::seconds kExportTimeout{180};             // a few seconds of 1080p on a shared two-core machine
constexpr GstClockTime kDurationTolerance = 150 * GST_MSECOND;  // audio and video track ends differ slightly

// What one export reported, and on which threads.
struct Outcome {
  std::mutex lock;
  std::vector<ExportStatus> statuses;
  std::thread::id done_thread;
  std::vector<int> percents;
  bool progress_off_main = false;

  bool done() {
    const std::lock_guard guard(lock);
    return !statuses.empty();
  }
};

class ExporterTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    testing::init_media();
    clips_ = std::make_unique<ScratchFolder>();
    with_sound_2s_ = testing::make_fixture_clip(*clips_ / "sound2.MOV", 2, "640x360", "--audio");
    silent_1s_ = testing::make_fixture_clip(*clips_ / "silent1.MOV", 1, "640x360");
    with_sound_3s_ = testing::make_fixture_clip(*clips_ / "sound3.MOV", 3, "640x360", "--audio --seed 2");
  }
  static void TearDownTestSuite() { clips_.reset(); }

  void SetUp() override {
    const std::string missing = testing::missing_element(
        {"nlecomposition", "x264enc", "qtmux", "avdec_h264", "qtdemux", "voaacenc", "avenc_aac"});
    if (!missing.empty() && missing != "voaacenc" && missing != "avenc_aac") {
      GTEST_SKIP() << "GStreamer element missing: " << missing;
    }
    ASSERT_FALSE(with_sound_2s_.empty() || silent_1s_.empty() || with_sound_3s_.empty());
  }

  void start(std::vector<std::filesystem::path> clips, const std::filesystem::path& output, Outcome& outcome) {
    const std::thread::id main_thread = std::this_thread::get_id();
    exporter_->start(
        std::move(clips), output,
        [&outcome, main_thread](int percent) {
          outcome.percents.push_back(percent);
          outcome.progress_off_main = outcome.progress_off_main || std::this_thread::get_id() != main_thread;
        },
        [&outcome](ExportStatus status) {
          const std::lock_guard guard(outcome.lock);
          outcome.statuses.push_back(status);
          outcome.done_thread = std::this_thread::get_id();
        });
  }

  ExportStatus run_export(std::vector<std::filesystem::path> clips, const std::filesystem::path& output,
                          Outcome& outcome) {
    start(std::move(clips), output, outcome);
    EXPECT_TRUE(testing::iterate_main_until([&outcome] { return outcome.done(); }, kExportTimeout));
    testing::iterate_main_for(std::chrono::milliseconds(100));
    const std::lock_guard guard(outcome.lock);
    EXPECT_EQ(outcome.statuses.size(), 1U);
    return outcome.statuses.empty() ? ExportStatus::Cancelled : outcome.statuses.front();
  }

  static inline std::unique_ptr<ScratchFolder> clips_;
  static inline std::filesystem::path with_sound_2s_;
  static inline std::filesystem::path silent_1s_;
  static inline std::filesystem::path with_sound_3s_;
  ScratchFolder out_;
  std::unique_ptr<Exporter> exporter_ = std::make_unique<GstExporter>();
};

TEST_F(ExporterTest, MergeHasSummedDurationAt1080pWithSound) {
  const auto output = out_ / "exp_20261205_203307.mov";
  Outcome outcome;
  ASSERT_EQ(run_export({with_sound_2s_, silent_1s_, with_sound_3s_}, output, outcome), ExportStatus::Completed);
  EXPECT_NE(outcome.done_thread, std::this_thread::get_id());
  EXPECT_FALSE(outcome.progress_off_main);
  EXPECT_FALSE(outcome.percents.empty());  // seconds of 1080p encoding pass at least one tick
  for (const int percent : outcome.percents) {
    EXPECT_GE(percent, 0);
    EXPECT_LE(percent, 100);
  }
  const auto found = testing::discover(output);
  ASSERT_TRUE(found.has_value());
  EXPECT_NEAR(static_cast<double>(found->duration), static_cast<double>(6 * GST_SECOND), kDurationTolerance);
  EXPECT_EQ(found->width, 1920);
  EXPECT_EQ(found->height, 1080);
  EXPECT_TRUE(found->has_audio);
  EXPECT_EQ(found->container, "video/quicktime");
  EXPECT_EQ(ScratchFolder::names(out_.path()), "exp_20261205_203307.mov");
}

TEST_F(ExporterTest, RepeatedClipIsTakenTwiceAndUnreadableOnesAreSkipped) {
  const auto corrupt = out_ / "corrupt.MOV";
  std::ofstream(corrupt) << std::string(4096, 'x');
  const auto output = out_ / "twice.mov";
  Outcome outcome;
  ASSERT_EQ(run_export({silent_1s_, corrupt, out_ / "absent.MOV", silent_1s_}, output, outcome),
            ExportStatus::Completed);
  const auto found = testing::discover(output);
  ASSERT_TRUE(found.has_value());
  EXPECT_NEAR(static_cast<double>(found->duration), static_cast<double>(2 * GST_SECOND), kDurationTolerance);
  EXPECT_FALSE(found->has_audio);
}

TEST_F(ExporterTest, ExistingOutputIsNeverOverwritten) {
  const auto output = out_ / "exp_taken.mov";
  std::ofstream(output) << "an earlier export";
  Outcome outcome;
  EXPECT_EQ(run_export({silent_1s_}, output, outcome), ExportStatus::Failed);
  std::ifstream kept(output);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "an earlier export");
  EXPECT_EQ(ScratchFolder::names(out_.path()), "exp_taken.mov");
}

TEST_F(ExporterTest, NothingToExportOrNoFolderFails) {
  struct Case {
    const char* name;
    std::vector<std::filesystem::path> clips;
    std::filesystem::path output;
  };
  const Case cases[] = {
      {"no clips", {}, out_ / "empty.mov"},
      {"only missing clips", {out_ / "absent.MOV", ""}, out_ / "absent.mov"},
      {"missing output folder", {silent_1s_}, out_ / "absent" / "x.mov"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Outcome outcome;
    EXPECT_EQ(run_export(c.clips, c.output, outcome), ExportStatus::Failed);
  }
  EXPECT_TRUE(ScratchFolder::names(out_.path()).empty());
}

TEST_F(ExporterTest, SeveralExportsRunAtOnce) {
  Outcome first;
  Outcome second;
  start({with_sound_2s_}, out_ / "first.mov", first);
  start({silent_1s_, with_sound_2s_}, out_ / "second.mov", second);
  ASSERT_TRUE(testing::iterate_main_until([&] { return first.done() && second.done(); }, kExportTimeout));
  EXPECT_EQ(first.statuses, std::vector<ExportStatus>{ExportStatus::Completed});
  EXPECT_EQ(second.statuses, std::vector<ExportStatus>{ExportStatus::Completed});
  const auto first_found = testing::discover(out_ / "first.mov");
  const auto second_found = testing::discover(out_ / "second.mov");
  ASSERT_TRUE(first_found.has_value() && second_found.has_value());
  EXPECT_NEAR(static_cast<double>(first_found->duration), static_cast<double>(2 * GST_SECOND), kDurationTolerance);
  EXPECT_NEAR(static_cast<double>(second_found->duration), static_cast<double>(3 * GST_SECOND), kDurationTolerance);
}

TEST_F(ExporterTest, ExporterGoneMidwayCancelsAndLeavesNoFile) {
  Outcome outcome;
  start({with_sound_3s_, with_sound_3s_, with_sound_3s_}, out_ / "cut.mov", outcome);
  testing::iterate_main_for(std::chrono::milliseconds(1500));
  exporter_.reset();
  ASSERT_TRUE(outcome.done());
  EXPECT_EQ(outcome.statuses.size(), 1U);
  if (outcome.statuses.front() == ExportStatus::Cancelled) {
    EXPECT_TRUE(ScratchFolder::names(out_.path()).empty());
  } else {
    EXPECT_EQ(ScratchFolder::names(out_.path()), "cut.mov");
  }
}

}  // namespace
}  // namespace vek::media
