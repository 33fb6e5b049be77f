#include "track/TrackPath.h"

#include <gtest/gtest.h>

namespace vek::track {
namespace {

TEST(TrackPath, NameRule) {
  EXPECT_EQ(relative_track_path("CLIP0001.MOV"), "/VEK/data/CLIP0001.data");
  EXPECT_EQ(relative_track_path("CLIP0001.mov"), "/VEK/data/CLIP0001.data");
  EXPECT_EQ(relative_track_path("CLIP0001.Mov"), "/VEK/data/CLIP0001.Mov") << "case-sensitive";
  EXPECT_EQ(relative_track_path("A.MOV.mov"), "/VEK/data/A.data.data") << "every occurrence";
  EXPECT_EQ(relative_track_path("x.MOVIE.MOV"), "/VEK/data/x.dataIE.data") << "anywhere in the text";
  EXPECT_EQ(relative_track_path(""), "/VEK/data/");
}

TEST(TrackPath, OnlyNamesMadeFromClipsAreTrackFiles) {
  EXPECT_TRUE(is_track_file_path("/VEK/data/CLIP0001.data"));
  EXPECT_TRUE(is_track_file_path("x.dataIE.data"));
  EXPECT_FALSE(is_track_file_path("/VEK/data/ini.txt"));
  EXPECT_FALSE(is_track_file_path("/VEK/data/CLIP0001.Mov"));
  EXPECT_FALSE(is_track_file_path("/VEK/data/.data")) << "no name before the extension";
  EXPECT_FALSE(is_track_file_path("/VEK/data/A.data.txt"));
  EXPECT_FALSE(is_track_file_path("/VEK/data.data/"));
}

TEST(TrackPath, FileName) {
  EXPECT_EQ(clip_file_name("/cards/A/CLIP0001.MOV"), "CLIP0001.MOV");
  EXPECT_EQ(clip_file_name("CLIP0001.MOV"), "CLIP0001.MOV");
  EXPECT_EQ(clip_file_name("/cards/A/"), "");
}

}  // namespace
}  // namespace vek::track
