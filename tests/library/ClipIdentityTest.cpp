// Clips known by name, size and time: a card formatted again repeats names,
// and each clip still gets its own track; a changed clip is read again.

#include "library/ClipIdentity.h"

#include <gtest/gtest.h>

#include "IntakeHarness.h"

namespace vek::library {
namespace {

namespace fs = std::filesystem;

class ClipIdentityIntake : public testing::RunningIntake {
 protected:
  std::vector<std::string> extracted_tracks() {
    std::vector<std::string> tracks;
    for (const ExtractRequest& request : extractions_) {
      tracks.push_back(request.relative_track_path);
    }
    std::sort(tracks.begin(), tracks.end());
    return tracks;
  }
};

TEST_F(ClipIdentityIntake, SameNameClipsFromTwoCardsEachGetTheirOwnTrack) {
  const std::string card_a = make_file("cardA/FILE0001.MOV", "route of card A");
  const std::string card_b = make_file("cardB/FILE0001.MOV", "route of card B, longer");
  take_in(IntakeKind::Chosen, {card_a});
  take_in(IntakeKind::Dragged, {card_b});
  EXPECT_EQ(list_.clip_list_text(), card_a + "," + card_b + ",");
  EXPECT_EQ(list_.track_list_text(), track("FILE0001.data") + "," + track("FILE0001~2.data") + ",");
  EXPECT_EQ(extracted_tracks(), (std::vector<std::string>{"/VEK/data/FILE0001.data", "/VEK/data/FILE0001~2.data"}));
  const auto record = read_identity(identity_path(track("FILE0001~2.data")));
  ASSERT_TRUE(record.has_value());
  EXPECT_EQ(record->source_path, card_b);
  EXPECT_EQ(record->identity.size, 23U);

  take_in(IntakeKind::Dragged, {card_b, card_a});
  EXPECT_EQ(extraction_count(), 2U) << "each finds its own track again";
  EXPECT_EQ(list_.clip_list_text(), card_a + "," + card_b + ",") << "listed once each";
}

TEST_F(ClipIdentityIntake, SameNameClipsInOneRun) {
  const std::string card_a = make_file("cardA/FILE0001.MOV", "aaaa");
  const std::string card_b = make_file("cardB/FILE0001.MOV", "bbbbbbbb");
  take_in(IntakeKind::Chosen, {card_a, card_b});
  EXPECT_EQ(list_.clip_list_text(), card_b + "," + card_a + ",");
  EXPECT_EQ(list_.track_list_text(), track("FILE0001.data") + "," + track("FILE0001~2.data") + ",");
  EXPECT_EQ(extraction_count(), 2U);
}

TEST_F(ClipIdentityIntake, AChangedClipAtTheSamePathIsReadAgain) {
  const std::string clip = make_file("card/FILE0001.MOV", "first recording");
  take_in(IntakeKind::Dragged, {clip});
  make_file("card/FILE0001.MOV", "recorded over, another size");
  take_in(IntakeKind::Dragged, {clip});
  EXPECT_EQ(extracted_tracks(), (std::vector<std::string>{"/VEK/data/FILE0001.data", "/VEK/data/FILE0001.data"}));
  EXPECT_EQ(list_.clip_list_text(), clip + ",");
  EXPECT_EQ(read_identity(identity_path(track("FILE0001.data")))->identity.size, 27U);
}

TEST_F(ClipIdentityIntake, ACopyWithTheSameSizeAndTimeSharesTheTrack) {
  const std::string clip = make_file("card/FILE0001.MOV", "the clip");
  take_in(IntakeKind::Dragged, {clip});
  fs::create_directories(root_ / "disk");
  fs::copy_file(clip, root_ / "disk/FILE0001.MOV");
  fs::last_write_time(root_ / "disk/FILE0001.MOV", fs::last_write_time(clip));
  take_in(IntakeKind::Dragged, {(root_ / "disk/FILE0001.MOV").string()});
  EXPECT_EQ(extraction_count(), 1U);
  EXPECT_EQ(list_.track_list_text(), track("FILE0001.data") + ",");
}

TEST_F(ClipIdentityIntake, TracksFromBeforeRecordsKeepWorking) {
  const std::string clip = make_file("card/FILE0001.MOV", "whatever size");
  make_file("home/VEK/data/FILE0001.data", "data['FILE0001.MOV']=new Array();");
  make_file("home/VEK/data/FILE0002.data", "data['FILE0002.MOV']=new Array();");
  make_file("home/VEK/data/FILE0002.data.id", "not a record");
  const std::string other = make_file("card/FILE0002.MOV");
  take_in(IntakeKind::Dragged, {clip, other});
  EXPECT_EQ(extraction_count(), 0U);
  EXPECT_EQ(list_.track_list_text(), track("FILE0002.data") + "," + track("FILE0001.data") + ",");
}

TEST(ClipIdentity, NumberedTrackPaths) {
  EXPECT_EQ(numbered_track_path("/h/VEK/data/FILE0001.data", 1), "/h/VEK/data/FILE0001.data");
  EXPECT_EQ(numbered_track_path("/h/VEK/data/FILE0001.data", 2), "/h/VEK/data/FILE0001~2.data");
  EXPECT_EQ(numbered_track_path("/h/VEK/data/CLIP.Mov", 12), "/h/VEK/data/CLIP~12.Mov");
  EXPECT_EQ(numbered_track_path("/h/VEK/data/.hidden", 2), "/h/VEK/data/.hidden~2");
  EXPECT_EQ(numbered_track_path("/h/V.K/data/NAME", 3), "/h/V.K/data/NAME~3");
}

TEST(ClipIdentity, RecordsReadBackAndMalformedOnesAreNone) {
  const fs::path folder = fs::path(::testing::TempDir()) / "vek-identity-records";
  fs::create_directories(folder);
  const auto write = [&](const std::string& name, const std::string& text) {
    std::ofstream((folder / name).string(), std::ios::binary) << text;
    return (folder / name).string();
  };
  const auto good = read_identity(write("good", identity_text({1234, -5}, "/card/A,B.MOV")));
  ASSERT_TRUE(good.has_value());
  EXPECT_EQ(good->identity, (ClipIdentity{1234, -5}));
  EXPECT_EQ(good->source_path, "/card/A,B.MOV");
  for (const char* bad : {"", "12\n/p\n", "12 x\n/p\n", "12 3 4\n/p\n", "12 3\n", "-1x 3\n/p\n"}) {
    EXPECT_FALSE(read_identity(write("bad", bad)).has_value()) << bad;
  }
  EXPECT_FALSE(read_identity((folder / "missing").string()).has_value());
  fs::remove_all(folder);
}

}  // namespace
}  // namespace vek::library
