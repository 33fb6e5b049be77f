#include "bridge/PercentDecode.h"

#include <gtest/gtest.h>

namespace vek::bridge {
namespace {

TEST(PercentDecode, DecodesEveryEscapeAsUtf8) {
  EXPECT_EQ(percent_decode_utf8("/m/%E8%BB%8A%20caf%C3%A9.MOV"), "/m/\xE8\xBB\x8A caf\xC3\xA9.MOV");
  EXPECT_EQ(percent_decode_utf8("%2c%2C"), ",,");
  EXPECT_EQ(percent_decode_utf8(""), "");
}

TEST(PercentDecode, LeavesWhatIsNoEscape) {
  EXPECT_EQ(percent_decode_utf8("100%"), "100%");
  EXPECT_EQ(percent_decode_utf8("%4"), "%4");
  EXPECT_EQ(percent_decode_utf8("%zz%2"), "%zz%2");
}

TEST(PercentDecode, RefusesBytesThatAreNotUtf8) {
  EXPECT_FALSE(percent_decode_utf8("%FF"));
  EXPECT_FALSE(percent_decode_utf8("%C3"));           // truncated sequence
  EXPECT_FALSE(percent_decode_utf8("%C0%AF"));        // overlong "/"
  EXPECT_FALSE(percent_decode_utf8("%ED%A0%80"));     // surrogate
  EXPECT_FALSE(percent_decode_utf8("%F4%90%80%80"));  // above U+10FFFF
  EXPECT_TRUE(percent_decode_utf8("%F0%9F%9A%97"));   // car emoji
}

}  // namespace
}  // namespace vek::bridge
