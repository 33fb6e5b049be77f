// The intake's reader of one clip over the real track reader: what it brings
// back to the main thread beside the track it writes.

#include "library/TrackExtractor.h"

#include <gtest/gtest.h>

#include "TempHome.h"
#include "library/ClipNames.h"
#include "track/io/FamilyRecord.h"

namespace vek::library {
namespace {

class TrackExtractorTest : public testing::TempHome {
 protected:
  void SetUp() override {
    TempHome::SetUp();
    std::filesystem::create_directories(root_ / "home" / "VEK" / "data");
  }

  ExtractOutcome read(const std::string& clip, track::Cancellation& cancellation) {
    const ClipNames names = clip_names(clip, home());
    const ExtractRequest request{clip, names.relative_track_path, names.file_name, "", ""};
    base::FolderSyncs syncs;
    return track_extractor(home())(request, cancellation, syncs);
  }

  std::string track(const std::string& name) const { return home() + "/VEK/data/" + name; }
};

TEST_F(TrackExtractorTest, BringsBackTheFamilyRecordedBesideTheTrack) {
  track::Cancellation cancellation;
  const ExtractOutcome outcome = read(make_file("card/FILE0001.MOV", "no camera data in here"), cancellation);
  EXPECT_TRUE(outcome.failure.empty()) << outcome.failure;
  ASSERT_TRUE(std::filesystem::exists(track("FILE0001.data")));
  EXPECT_FALSE(outcome.family.empty());
  EXPECT_EQ(outcome.family, track::io::read_family_record(track("FILE0001.data")));
}

TEST_F(TrackExtractorTest, ACancelledReadBringsBackNoFamilyEvenWhenAnOldRecordIsThere) {
  std::ofstream(track("FILE0001.data")) << "data";
  std::ofstream(track("FILE0001.data.family")) << "freeGPS boxes\n";
  track::Cancellation cancellation;
  cancellation.cancel();
  const ExtractOutcome outcome = read(make_file("card/FILE0001.MOV"), cancellation);
  EXPECT_TRUE(outcome.cancelled);
  EXPECT_EQ(outcome.family, "");
}

TEST_F(TrackExtractorTest, AClipThatCannotBeReadIsAFailureWithItsReason) {
  track::Cancellation cancellation;
  const ExtractOutcome outcome = read((root_ / "card" / "GONE.MOV").string(), cancellation);
  EXPECT_NE(outcome.failure.find("GONE.MOV"), std::string::npos) << outcome.failure;
  EXPECT_FALSE(outcome.cancelled);
  EXPECT_FALSE(std::filesystem::exists(track("GONE.data")));
}

}  // namespace
}  // namespace vek::library
