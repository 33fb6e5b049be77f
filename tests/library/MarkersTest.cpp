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

TEST(Markers, NumberMarkersEdgeCases) {
  EXPECT_FALSE(number_markers("/c/A_B_C.MOV"));
  EXPECT_EQ(number_markers("/c/A_B_C_x.MOV")->at(0), "1_");
  EXPECT_EQ(number_markers("/c/A_B_C_-3_x")->at(2), "0_");
  EXPECT_EQ(number_markers("/c/A_B_C_2147483647.MOV")->at(0), "-2147483648_");
}

}  // namespace
}  // namespace vek::library
