#include "base/text/Utf8.h"

#include <gtest/gtest.h>

namespace vek::base {
namespace {

TEST(Utf8SequenceLength, MeasuresWellFormedSequencesAtTheirRangeEdges) {
  EXPECT_EQ(utf8_sequence_length("a"), 1U);
  EXPECT_EQ(utf8_sequence_length(std::string_view("\0", 1)), 1U);
  EXPECT_EQ(utf8_sequence_length("\xC2\x80"), 2U) << "U+0080";
  EXPECT_EQ(utf8_sequence_length("\xDF\xBF"), 2U) << "U+07FF";
  EXPECT_EQ(utf8_sequence_length("\xE0\xA0\x80"), 3U) << "U+0800";
  EXPECT_EQ(utf8_sequence_length("\xED\x9F\xBF"), 3U) << "U+D7FF";
  EXPECT_EQ(utf8_sequence_length("\xEE\x80\x80"), 3U) << "U+E000";
  EXPECT_EQ(utf8_sequence_length("\xF0\x90\x80\x80"), 4U) << "U+10000";
  EXPECT_EQ(utf8_sequence_length("\xF4\x8F\xBF\xBF"), 4U) << "U+10FFFF";
  EXPECT_EQ(utf8_sequence_length("\xC3\xA9tail"), 2U) << "only the first sequence";
}

TEST(Utf8SequenceLength, RejectsEveryMalformedShape) {
  EXPECT_EQ(utf8_sequence_length(""), 0U);
  EXPECT_EQ(utf8_sequence_length("\x80"), 0U) << "stray continuation";
  EXPECT_EQ(utf8_sequence_length("\xC0\xAF"), 0U) << "overlong two bytes";
  EXPECT_EQ(utf8_sequence_length("\xC1\xBF"), 0U) << "overlong two bytes";
  EXPECT_EQ(utf8_sequence_length("\xE0\x9F\xBF"), 0U) << "overlong three bytes";
  EXPECT_EQ(utf8_sequence_length("\xED\xA0\x80"), 0U) << "U+D800";
  EXPECT_EQ(utf8_sequence_length("\xED\xBF\xBF"), 0U) << "U+DFFF";
  EXPECT_EQ(utf8_sequence_length("\xF0\x8F\xBF\xBF"), 0U) << "overlong four bytes";
  EXPECT_EQ(utf8_sequence_length("\xF4\x90\x80\x80"), 0U) << "above U+10FFFF";
  EXPECT_EQ(utf8_sequence_length("\xF5\x80\x80\x80"), 0U);
  EXPECT_EQ(utf8_sequence_length("\xFF"), 0U);
  EXPECT_EQ(utf8_sequence_length("\xE6\x96"), 0U) << "truncated at the end of the text";
  EXPECT_EQ(utf8_sequence_length("\xE6\x96z"), 0U) << "interrupted";
}

TEST(IsValidUtf8, JudgesTheWholeText) {
  EXPECT_TRUE(is_valid_utf8(""));
  EXPECT_TRUE(is_valid_utf8("/m/\xE8\xBB\x8A caf\xC3\xA9 \xF0\x9F\x9A\x97.MOV"));
  EXPECT_FALSE(is_valid_utf8("/m/caf\xE9.MOV"));
  EXPECT_FALSE(is_valid_utf8("ok\xE8\xBB"));
}

}  // namespace
}  // namespace vek::base
