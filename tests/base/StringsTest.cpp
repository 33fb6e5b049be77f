#include "base/text/Strings.h"

#include <gtest/gtest.h>

namespace vek::base {
namespace {

using Pieces = std::vector<std::string>;

TEST(ReplaceAll, ReplacesLeftToRightWithoutRescanning) {
  EXPECT_EQ(replace_all("a%20b%20", "%20", " "), "a b ");
  EXPECT_EQ(replace_all("aaa", "aa", "b"), "ba");
  EXPECT_EQ(replace_all("x.MOV", "MOV", "MOVMOV"), "x.MOVMOV") << "replacement text is not searched again";
  EXPECT_EQ(replace_all("abc", "", "z"), "abc");
  EXPECT_EQ(replace_all("", "a", "b"), "");
}

TEST(Split, KeepsEmptyPieces) {
  EXPECT_EQ(split("a,b", ','), (Pieces{"a", "b"}));
  EXPECT_EQ(split("a,", ','), (Pieces{"a", ""}));
  EXPECT_EQ(split("", ','), (Pieces{""}));
  EXPECT_EQ(split(",,", ','), (Pieces{"", "", ""}));
}

TEST(ContainsNonempty, AnEmptyNeedleIsNeverContained) {
  EXPECT_TRUE(contains_nonempty("/a/b.MOV,", "b.MOV"));
  EXPECT_FALSE(contains_nonempty("/a/b.MOV,", ""));
  EXPECT_FALSE(contains_nonempty("", "x"));
}

}  // namespace
}  // namespace vek::base
