#include "bridge/PercentDecode.h"

#include <gtest/gtest.h>

namespace vek::bridge {
namespace {

TEST(PercentDecode, DecodesEveryEscape) {
  EXPECT_EQ(percent_decode("/m/%E8%BB%8A%20caf%C3%A9.MOV"), "/m/\xE8\xBB\x8A caf\xC3\xA9.MOV");
  EXPECT_EQ(percent_decode("%2c%2C"), ",,");
  EXPECT_EQ(percent_decode(""), "");
}

TEST(PercentDecode, LeavesWhatIsNoEscape) {
  EXPECT_EQ(percent_decode("100%"), "100%");
  EXPECT_EQ(percent_decode("%4"), "%4");
  EXPECT_EQ(percent_decode("%zz%2"), "%zz%2");
}

TEST(PercentDecode, BytesThatAreNotUtf8ComeBackAsThemselves) {
  EXPECT_EQ(percent_decode("/m/caf%E9.MOV"), "/m/caf\xE9.MOV");
  EXPECT_EQ(percent_decode("%C0%AF%ff"), "\xC0\xAF\xFF");
  EXPECT_EQ(percent_decode("%00"), std::string(1, '\0'));
}

}  // namespace
}  // namespace vek::bridge
