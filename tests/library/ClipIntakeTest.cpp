#include "library/ClipIntake.h"

#include <gtest/gtest.h>

#include "TempHome.h"
#include "library/LibraryFolders.h"

namespace vek::library {
namespace {

struct Extraction {
  std::string clip;
  std::string relative_track_path;
  std::string file_name;
};

class ClipIntake : public testing::TempHome {
 protected:
  // Records each extraction and writes the track file as the parser would.
  Extractor extractor() {
    return [this](const std::string& clip, const std::string& relative, const std::string& name) {
      extractions_.push_back({clip, relative, name});
      std::ofstream(home() + relative) << "data";
      return TrackOutcome::written;
    };
  }
  void SetUp() override {
    TempHome::SetUp();
    std::filesystem::create_directories(library_folder(home()));
  }

  ClipList list_;
  std::vector<Extraction> extractions_;
  std::vector<std::string> log_;
};

TEST_F(ClipIntake, ChosenClipsAreTakenInFromLastToFirst) {
  const std::string a = make_file("cards/CLIP0001.MOV");
  const std::string b = make_file("cards/CLIP0002.MOV");
  IntakeRun run(list_, home(), extractor());
  take_in_chosen(run, {a, b});
  EXPECT_EQ(list_.clip_list_text(), b + "," + a + ",");
  EXPECT_EQ(list_.track_list_text(), home() + "/VEK/data/CLIP0002.data," + home() + "/VEK/data/CLIP0001.data,");
  EXPECT_EQ(run.last_clip(), a);
  ASSERT_EQ(extractions_.size(), 2U);
  EXPECT_EQ(extractions_[0].relative_track_path, "/VEK/data/CLIP0002.data");
  EXPECT_EQ(extractions_[0].file_name, "CLIP0002.MOV");
}

TEST_F(ClipIntake, ChooserSkipsMissingAndCloseMarkedPaths) {
  const std::string closed = make_file("cards/X_closeR.MOV");
  IntakeRun run(list_, home(), extractor());
  take_in_chosen(run, {closed, (root_ / "gone.MOV").string()});
  EXPECT_EQ(list_.clip_list_text(), "");
  EXPECT_EQ(run.last_clip(), "(null)");
  EXPECT_TRUE(extractions_.empty());
}

TEST_F(ClipIntake, ExistingTrackIsListedWithoutExtraction) {
  const std::string clip = make_file("cards/CLIP0001.MOV");
  make_file("home/VEK/data/CLIP0001.data");
  IntakeRun run(list_, home(), extractor());
  run.take_in(clip);
  EXPECT_TRUE(extractions_.empty());
  EXPECT_EQ(list_.clip_list_text(), clip + ",");
}

TEST_F(ClipIntake, StemTestIsAPlainSubstringTest) {
  const std::string clip10 = make_file("cards/CLIP10.MOV");
  const std::string clip1 = make_file("cards/CLIP1.MOV");
  IntakeRun run(list_, home(), extractor());
  run.take_in(clip10);
  run.take_in(clip1);
  run.take_in(clip10);
  EXPECT_EQ(list_.clip_list_text(), clip10 + ",");
  EXPECT_EQ(extractions_.size(), 2U) << "a missing track is still extracted for an unlisted stem";
  EXPECT_EQ(run.last_clip(), clip10);
}

TEST_F(ClipIntake, EmptyStemIsAppendedEveryTime) {
  const std::string hidden = make_file("cards/.hidden.MOV");
  IntakeRun run(list_, home(), extractor());
  run.take_in(hidden);
  run.take_in(hidden);
  EXPECT_EQ(list_.clip_list_text(), hidden + "," + hidden + ",");
}

TEST_F(ClipIntake, SameNameInTwoFoldersSharesOneTrack) {
  const std::string first = make_file("a/CLIP0001.MOV");
  const std::string second = make_file("b/CLIP0001.MOV");
  IntakeRun run(list_, home(), extractor());
  take_in_chosen(run, {second, first});
  EXPECT_EQ(extractions_.size(), 1U);
  EXPECT_EQ(list_.clip_list_text(), first + ",");
}

TEST_F(ClipIntake, FolderIsListedButNotExtracted) {
  std::filesystem::create_directories(root_ / "cards/DIR.MOV");
  const std::string folder = (root_ / "cards/DIR.MOV").string();
  IntakeRun run(list_, home(), [](const std::string&, const std::string&, const std::string&) {
    return TrackOutcome::failed;
  });
  take_in_chosen(run, {folder});
  EXPECT_EQ(list_.clip_list_text(), folder + ",");
}

TEST_F(ClipIntake, DragReportsAfterEveryPathAndLogsMarkers) {
  const std::string k1 = make_file("cards/K1.MOV");
  const std::string k2 = make_file("cards/K2.mov");
  const std::string odd = make_file("cards/X_Y_Z_0001.Mov");
  const std::string marked = make_file("cards/X_Y_13_012.MOV");
  IntakeRun run(list_, home(), extractor());
  std::vector<std::string> reports;
  take_in_dragged(
      run, {k1, k2, odd, marked}, [this](std::string_view line) { log_.emplace_back(line); },
      [&] { reports.push_back(list_.clip_list_text() + "|" + std::string(run.last_clip())); });
  EXPECT_EQ(reports, (std::vector<std::string>{"|(null)", "|(null)", k2 + ",|" + k2, k2 + "," + k1 + ",|" + k1}));
  EXPECT_EQ(log_, (std::vector<std::string>{"nnn1:13_", "nnn2:14_", "nnn3:15_", "nnn1:2_", "nnn2:3_", "nnn3:4_"}));
}

TEST_F(ClipIntake, EmptyDragMakesNoReport) {
  IntakeRun run(list_, home(), extractor());
  int reports = 0;
  take_in_dragged(run, {}, [](std::string_view) {}, [&] { ++reports; });
  EXPECT_EQ(reports, 0);
}

TEST_F(ClipIntake, RemovalTakesOutBothEntries) {
  list_.append("/h/VEK/data/A.data", "/c/A B.MOV");
  list_.append("/h/VEK/data/C.data", "/c/C.MOV");
  list_.remove("/c/A B.MOV");
  EXPECT_EQ(list_.track_list_text(), "/h/VEK/data/C.data,");
  EXPECT_EQ(list_.clip_list_text(), "/c/C.MOV,");
}

TEST_F(ClipIntake, ListedClipsCarryTheMovieLengthAndARefusedTrack) {
  const std::string plain = make_file("cards/FILE0001.MOV");
  const std::string huge = make_file("cards/FILE0002.MOV");
  const std::string unknown = make_file("cards/FILE0003.MOV");
  IntakeRun run(
      list_, home(),
      [](const std::string& clip, const std::string&, const std::string&) {
        return clip.ends_with("0002.MOV") ? TrackOutcome::too_large : TrackOutcome::failed;
      },
      [&](const std::string& clip) { return clip == unknown ? std::nullopt : std::optional<double>(clip == plain ? 60.5 : 3); });
  take_in_chosen(run, {unknown, huge, plain});
  EXPECT_EQ(list_.facts_text(), "60.500000|,3.000000|large,|,");
  EXPECT_TRUE(list_.has_facts());
}

}  // namespace
}  // namespace vek::library
