#include "JsString.h"

#include <gtest/gtest.h>

namespace vek::track {
namespace {

TEST(JsStringContent, OrdinaryNamesAreUnchanged)
{
    EXPECT_EQ(js_string_content("FILE0001.MOV"), "FILE0001.MOV");
    EXPECT_EQ(js_string_content("行車 2016 [5].MOV"), "行車 2016 [5].MOV");
    EXPECT_EQ(js_string_content(""), "");
}

TEST(JsStringContent, QuotesBackslashesAndControls)
{
    EXPECT_EQ(js_string_content("a'b\"c\\d"), "a\\'b\\\"c\\\\d");
    EXPECT_EQ(js_string_content("a\nb\rc\x01"), "a\\x0Ab\\x0Dc\\x01");
    EXPECT_EQ(js_string_content("</script>"), "\\x3C/script>");
    EXPECT_EQ(js_string_content("a\xE2\x80\xA8" "b\xE2\x80\xA9"), "a\\u2028b\\u2029");
}

TEST(JsStringContent, InvalidUtf8BecomesReplacementCharacter)
{
    EXPECT_EQ(js_string_content("a\xFF" "b"), "a\\uFFFDb");
    EXPECT_EQ(js_string_content("\xE6\x96"), "\\uFFFD\\uFFFD") << "truncated sequence";
    EXPECT_EQ(js_string_content("\xC0\xAF"), "\\uFFFD\\uFFFD") << "overlong";
    EXPECT_EQ(js_string_content("\xED\xA0\x80"), "\\uFFFD\\uFFFD\\uFFFD") << "surrogate";
    EXPECT_EQ(js_string_content("\xE6\x96'"), "\\uFFFD\\uFFFD\\'") << "a quote after a broken sequence stays escaped";
}

} // namespace
} // namespace vek::track
