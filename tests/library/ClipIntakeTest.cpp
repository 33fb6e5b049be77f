// Which clips a run takes in, in which order, and what it reads and reports:
// the rules of the chooser and of drags, through the whole queue.

#include "library/ClipIntake.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>

#include "IntakeHarness.h"

namespace vek::library {
namespace {

using ClipIntake = testing::RunningIntake;

TEST_F(ClipIntake, ChosenClipsAreTakenInFromLastToFirstWithOneReport) {
  const std::string a = make_file("cards/CLIP0001.MOV");
  const std::string b = make_file("cards/CLIP0002.MOV");
  take_in(IntakeKind::Chosen, {a, b});
  EXPECT_EQ(list_.clip_list_text(), b + "," + a + ",");
  EXPECT_EQ(list_.track_list_text(), home() + "/VEK/data/CLIP0002.data," + home() + "/VEK/data/CLIP0001.data,");
  EXPECT_EQ(reports_, std::vector<std::string>{list_.clip_list_text() + "|" + a});
  ASSERT_EQ(extraction_count(), 2U);
  EXPECT_EQ(log_, (std::vector<std::string>{"read CLIP0002.MOV", "read CLIP0001.MOV"}));
  EXPECT_TRUE(std::filesystem::exists(track("CLIP0001.data")));
  EXPECT_TRUE(std::filesystem::exists(track("CLIP0002.data")));
}

TEST_F(ClipIntake, ChooserSkipsMissingAndCloseMarkedPathsAndStillReports) {
  const std::string closed = make_file("cards/X_closeR.MOV");
  take_in(IntakeKind::Chosen, {closed, (root_ / "gone.MOV").string()});
  EXPECT_EQ(list_.clip_list_text(), "");
  EXPECT_EQ(reports_, std::vector<std::string>{"|(null)"});
  EXPECT_EQ(extraction_count(), 0U);
  take_in(IntakeKind::Chosen, {});
  EXPECT_EQ(reports_.size(), 2U) << "a cancelled chooser reports too";
  EXPECT_TRUE(progress_.empty()) << "nothing to take in shows no progress";
}

TEST_F(ClipIntake, ExistingTrackIsListedWithoutExtraction) {
  const std::string clip = make_file("cards/CLIP0001.MOV");
  make_file("home/VEK/data/CLIP0001.data");
  take_in(IntakeKind::Dragged, {clip});
  EXPECT_EQ(extraction_count(), 0U);
  EXPECT_EQ(list_.clip_list_text(), clip + ",");
}

TEST_F(ClipIntake, AClipIsListedOnceByItsTrackNotByItsNameWithinOthers) {
  const std::string clip10 = make_file("cards/CLIP10.MOV");
  const std::string clip1 = make_file("cards/CLIP1.MOV");
  const std::string hidden = make_file("cards/.hidden.MOV");
  take_in(IntakeKind::Dragged, {clip10, clip1, clip10, hidden, hidden});
  EXPECT_EQ(list_.clip_list_text(), hidden + "," + clip10 + "," + clip1 + ",")
      << "CLIP1 beside CLIP10, and each clip once";
  EXPECT_EQ(extraction_count(), 3U) << "one track read per clip and run";
  EXPECT_EQ(reports_.back(), list_.clip_list_text() + "|" + clip10);
}

TEST_F(ClipIntake, ChosenFolderStandsForItsClipsInNameOrder) {
  const std::string b = make_file("card/DCIM/100/B.MOV");
  const std::string a = make_file("card/DCIM/100/A.mov");
  const std::string c = make_file("card/DCIM/200/C.MOV");
  make_file("card/DCIM/100/notes.txt");
  make_file("card/DCIM/100/D.Mov");
  std::filesystem::create_directories(root_ / "card/DCIM/E.MOV");  // a folder, not a clip
  take_in(IntakeKind::Chosen, {(root_ / "card").string()});
  EXPECT_EQ(list_.clip_list_text(), c + "," + b + "," + a + ",") << "last to first, as chosen clips";
  EXPECT_EQ(reports_.back(), list_.clip_list_text() + "|" + a);
}

TEST_F(ClipIntake, DragReportsAfterEveryPathAndLogsMarkersInOrder) {
  const std::string k1 = make_file("cards/K1.MOV");
  const std::string k2 = make_file("cards/K2.mov");
  const std::string odd = make_file("cards/X_Y_Z_0001.Mov");
  const std::string marked = make_file("cards/X_Y_13_012.MOV");
  take_in(IntakeKind::Dragged, {k1, k2, odd, marked});
  EXPECT_EQ(reports_, (std::vector<std::string>{"|(null)", "|(null)", k2 + ",|" + k2, k2 + "," + k1 + ",|" + k1}));
  EXPECT_EQ(log_, (std::vector<std::string>{"nnn1:13_", "nnn2:14_", "nnn3:15_", "nnn1:2_", "nnn2:3_", "nnn3:4_",
                                            "read K2.mov", "read K1.MOV"}));
}

TEST_F(ClipIntake, DraggedFolderStandsForItsClipsAndAnEmptyOneIsAnswered) {
  const std::string b = make_file("card/DCIM/100/B.MOV");
  const std::string a = make_file("card/DCIM/100/A.mov");
  make_file("card/DCIM/100/notes.txt");
  const std::string k = make_file("K.MOV");
  const std::filesystem::path empty = root_ / "empty";
  std::filesystem::create_directories(empty);
  take_in(IntakeKind::Dragged, {k, (root_ / "card").string(), empty.string()});
  EXPECT_EQ(list_.clip_list_text(), b + "," + a + "," + k + ",") << "last to first, the folder's in name order";
  EXPECT_EQ(reports_, (std::vector<std::string>{"|(null)", b + ",|" + b, b + "," + a + ",|" + a,
                                                list_.clip_list_text() + "|" + k}));
  EXPECT_EQ(extraction_count(), 3U);
}

TEST_F(ClipIntake, APlanToldToStopPlansNothing) {
  make_file("card/DCIM/100/A.MOV");
  const std::string k = make_file("K.MOV");
  const std::vector<std::string> paths{k, (root_ / "card").string()};
  EXPECT_EQ(plan_intake(IntakeKind::Dragged, paths, home(), [] { return false; }).size(), 2U);
  EXPECT_TRUE(plan_intake(IntakeKind::Dragged, paths, home(), [] { return true; }).empty());
}

TEST_F(ClipIntake, EmptyDragMakesNoReport) {
  take_in(IntakeKind::Dragged, {});
  EXPECT_TRUE(reports_.empty());
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
  const std::string known = make_file("cards/FILE0004.MOV");
  std::ofstream(track("FILE0004.data")) << "data";
  extractor_ = [&](const ExtractRequest& request, track::Cancellation&, base::FolderSyncs&) {
    ExtractOutcome outcome;
    if (request.clip_path == huge) {
      outcome.too_large = true;
      outcome.failure = "track too large";
    }
    if (request.clip_path != unknown) {
      outcome.duration_seconds = request.clip_path == plain ? 60.5 : 3;
    }
    return outcome;
  };
  std::vector<std::string> asked;
  read_duration_ = [&](const std::string& clip) {
    asked.push_back(clip);
    return std::optional<double>(12);
  };
  take_in(IntakeKind::Chosen, {known, unknown, huge, plain});
  EXPECT_EQ(list_.facts_text(), "60.500000|,3.000000|large,|,12.000000|,");
  EXPECT_TRUE(list_.has_facts());
  EXPECT_EQ(asked, std::vector<std::string>{known}) << "a read clip brought its length along";
  EXPECT_EQ(failures_, std::vector<std::string>{huge + ": track too large"});
}

TEST_F(ClipIntake, ListedClipsCarryTheFamilyRecordedBesideTheirTrack) {
  const std::string read_now = make_file("cards/FILE0001.MOV");
  const std::string read_before = make_file("cards/FILE0002.MOV");
  const std::string old_folder = make_file("cards/FILE0003.MOV");
  std::ofstream(track("FILE0002.data")) << "data";
  std::ofstream(track("FILE0002.data.family")) << "encrypted, not readable\n";
  std::ofstream(track("FILE0003.data")) << "data";
  extractor_ = [&](const ExtractRequest& request, track::Cancellation&, base::FolderSyncs&) {
    std::ofstream(home() + request.relative_track_path) << "data";
    std::ofstream(home() + request.relative_track_path + ".family") << "$V02 CSV log (family 4)\n";
    ExtractOutcome outcome;
    outcome.family = "$V02 CSV log (family 4)";
    return outcome;
  };
  take_in(IntakeKind::Chosen, {read_now, read_before, old_folder});
  EXPECT_EQ(list_.facts_text(), "|,||encrypted%2C not readable,||$V02 CSV log (family 4),")
      << "a track folder from before the records lists its clip without a family";
  EXPECT_TRUE(list_.has_facts());
}

// A header on a slow card must not hold up the window: the length of a clip
// whose track exists is read on a worker, before the clip is listed.
TEST_F(ClipIntake, AListedClipsLengthIsReadOffTheMainThreadInListOrder) {
  const std::string first = make_file("cards/FILE0001.MOV");
  const std::string second = make_file("cards/FILE0002.MOV");
  std::ofstream(track("FILE0001.data")) << "data";
  std::ofstream(track("FILE0002.data")) << "data";
  std::mutex mutex;
  std::vector<std::thread::id> readers;
  read_duration_ = [&](const std::string& clip) {
    const std::lock_guard lock(mutex);
    readers.push_back(std::this_thread::get_id());
    return std::optional<double>(clip == first ? 1.5 : 2.5);
  };
  take_in(IntakeKind::Dragged, {first, second});
  ASSERT_EQ(readers.size(), 2U);
  for (const std::thread::id reader : readers) {
    EXPECT_NE(reader, std::this_thread::get_id());
  }
  EXPECT_EQ(list_.facts_text(), "2.500000|,1.500000|,");
  EXPECT_EQ(reports_.size(), 2U);
}

TEST_F(ClipIntake, ACardsClipsFollowTheChoosersRulesButReportOneByOne) {
  const std::string a = make_file("card/DCIM/FILE0001.MOV");
  const std::string marked = make_file("card/DCIM/closeR.FILE0002.MOV");
  const std::string b = make_file("card/DCIM/X_Y_Z_12_13_.mov");
  take_in(IntakeKind::Card, {a, marked, b});
  EXPECT_EQ(list_.clip_list_text(), b + "," + a + ",") << "no number markers for a card's clips";
  EXPECT_EQ(reports_, (std::vector<std::string>{b + ",|" + b, b + ",|" + b, b + "," + a + ",|" + a}));
}

}  // namespace
}  // namespace vek::library
