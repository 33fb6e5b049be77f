#include "library/Markers.h"

#include <gtest/gtest.h>

#include "library/ClipNames.h"

namespace vek::library {
namespace {

TEST(ClipNames, DerivedFromTheSourcePath) {
  const ClipNames names = clip_names("/cards/A/CLIP0001.MOV", "/home/u");
  EXPECT_EQ(names.file_name, "CLIP0001.MOV");
  EXPECT_EQ(names.stem, "CLIP0001");
  EXPECT_EQ(names.extension, "MOV");
  EXPECT_EQ(names.relative_track_path, "/VEK/data/CLIP0001.data");
  EXPECT_EQ(names.track_path, "/home/u/VEK/data/CLIP0001.data");
}

TEST(ClipNames, OddNames) {
  EXPECT_EQ(clip_names("/c/CLIP0001.Mov", "/h").relative_track_path, "/VEK/data/CLIP0001.Mov");
  EXPECT_EQ(clip_names("/c/.hidden.MOV", "/h").stem, "");
  EXPECT_EQ(clip_names("NOSLASH.mov", "/h").file_name, "NOSLASH.mov");
  EXPECT_EQ(clip_names("/c/a.b.MOV", "/h").stem, "a");
  EXPECT_EQ(clip_names("/c/noext", "/h").extension, "noext");
}

TEST(Markers, CloseMarkersAnywhereWithExactCase) {
  EXPECT_TRUE(has_close_marker("/c/X_closeR.MOV"));
  EXPECT_TRUE(has_close_marker("/c/closeb.dir/A.MOV"));
  EXPECT_FALSE(has_close_marker("/c/CLOSER.MOV"));
  EXPECT_FALSE(has_close_marker("/c/closer"));
}

TEST(Markers, NumberMarkersFromTheFourthPiece) {
  const auto markers = number_markers("/cards/A/X_Y_Z_012.MOV");
  ASSERT_TRUE(markers);
  EXPECT_EQ(*markers, (std::array<std::string, 3>{"13_", "14_", "15_"}));
  EXPECT_FALSE(has_number_marker("/cards/A/X_Y_Z_012.MOV", *markers));
  EXPECT_TRUE(has_number_marker("/cards/A/X_Y_13_012.MOV", *markers));
}

TEST(Markers, NumberMarkersCountOnlyWhereANumberStarts) {
  // Clips 3 to 5 and 13 to 15 of 2016: their markers end the year's piece.
  for (const char* clip : {"/c/2016_0301_100300_003.MOV", "/c/2016_0301_101400_014.MOV", "/c/X_Y_113_012.MOV"}) {
    SCOPED_TRACE(clip);
    EXPECT_FALSE(has_number_marker(clip, *number_markers(clip)));
  }
  EXPECT_TRUE(has_number_marker("/c/13_trip/X_Y_Z_012.MOV", {"13_", "14_", "15_"})) << "in a folder's name";
  EXPECT_TRUE(has_number_marker("14_X_Y_012.MOV", *number_markers("14_X_Y_012.MOV")));
  EXPECT_TRUE(has_number_marker("/c/113_A_B_13_012", {"13_", "14_", "15_"})) << "a later place counts";
}

TEST(Markers, NumberMarkersEdgeCases) {
  EXPECT_FALSE(number_markers("/c/A_B_C.MOV"));
  EXPECT_EQ(number_markers("/c/A_B_C_x.MOV")->at(0), "1_");
  EXPECT_EQ(number_markers("/c/A_B_C_-3_x")->at(2), "0_");
  EXPECT_EQ(number_markers("/c/A_B_C_2147483647.MOV")->at(0), "-2147483648_");
}

}  // namespace
}  // namespace vek::library
