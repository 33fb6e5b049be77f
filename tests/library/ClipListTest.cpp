#include "library/ClipList.h"

#include <gtest/gtest.h>

#include "library/RemovalTargets.h"

namespace vek::library {
namespace {

using Strings = std::vector<std::string>;
using namespace std::string_literals;

TEST(ClipListText, CommaFreePathsKeepTheCommaTerminatedForm) {
  ClipList list;
  EXPECT_EQ(list.clip_list_text(), "");
  list.append("/h/VEK/data/A.data", "/c/A.MOV");
  list.append("/h/VEK/data/B.data", "/c/B.MOV");
  EXPECT_EQ(list.track_list_text(), "/h/VEK/data/A.data,/h/VEK/data/B.data,");
  EXPECT_EQ(list.clip_list_text(), "/c/A.MOV,/c/B.MOV,");
}

TEST(ClipListText, ACommaAnywhereSwitchesThatListToNulSeparators) {
  ClipList list;
  list.append("/h/VEK/data/A.data", "/Trip, day 1/A.MOV");
  list.append("/h/VEK/data/B,2.data", "/c/B,2.MOV");
  EXPECT_EQ(list.clip_list_text(), "\0/Trip, day 1/A.MOV\0/c/B,2.MOV\0"s);
  EXPECT_EQ(list.track_list_text(), "\0/h/VEK/data/A.data\0/h/VEK/data/B,2.data\0"s);
  list.remove("/c/B,2.MOV");
  EXPECT_EQ(list.track_list_text(), "/h/VEK/data/A.data,") << "the track list holds no comma any more";
  EXPECT_EQ(list.clip_list_text(), "\0/Trip, day 1/A.MOV\0"s);
}

TEST(ClipListRemoval, RemovesWholePathsOnlyAndKeepsPairsTogether) {
  ClipList list;
  list.append("/h/VEK/data/A.data", "/x/c/A.MOV");
  list.append("/h/VEK/data/A.data", "/c/A.MOV");
  list.append("/h/VEK/data/Z.data", "/c/Z.MOV");
  list.remove("/c/A.MOV");
  EXPECT_EQ(list.clip_list_text(), "/x/c/A.MOV,/c/Z.MOV,") << "a path that ends another is not part of it";
  EXPECT_EQ(list.track_list_text(), "/h/VEK/data/A.data,/h/VEK/data/Z.data,");
  EXPECT_TRUE(list.lists_clip("/x/c/A.MOV"));
  EXPECT_FALSE(list.lists_clip("/c/A.MOV"));
}

class Removal : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* path :
         {"/c/a%20b.MOV", "/c/a b.MOV", "/Trip, day 1/A.MOV", "/Trip, day 1/A.MOV.bak", "/c/B.MOV"}) {
      list_.append("/h/t.data", path);
    }
  }
  ClipList list_;
};

TEST_F(Removal, ListedPathsAreMatchedWholeBeforeCommasOrEscapes) {
  EXPECT_EQ(removal_targets("/c/a%20b.MOV,", list_), (Strings{"/c/a%20b.MOV", ""}));
  EXPECT_EQ(removal_targets("/c/a b.MOV,", list_), (Strings{"/c/a b.MOV", ""}));
  EXPECT_EQ(removal_targets("/Trip, day 1/A.MOV,/c/B.MOV,", list_), (Strings{"/Trip, day 1/A.MOV", "/c/B.MOV", ""}));
  EXPECT_EQ(removal_targets("/Trip, day 1/A.MOV.bak", list_), Strings{"/Trip, day 1/A.MOV.bak"});
}

TEST_F(Removal, UnlistedTextIsCutAtCommasWithEscapedSpacesRead) {
  EXPECT_EQ(removal_targets("", list_), Strings{""});
  EXPECT_EQ(removal_targets(",", list_), (Strings{"", ""}));
  EXPECT_EQ(removal_targets("/n/x%20y.MOV,/Trip", list_), (Strings{"/n/x y.MOV", "/Trip"}));
  EXPECT_EQ(removal_targets("/c/B.MOVX,/c/B.MOV", list_), (Strings{"/c/B.MOVX", "/c/B.MOV"}));
}

}  // namespace
}  // namespace vek::library
