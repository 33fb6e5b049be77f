#include "base/text/JsLiteral.h"

#include <gtest/gtest.h>

namespace vek::base {
namespace {

TEST(JsStringContent, OrdinaryNamesAreUnchanged) {
  EXPECT_EQ(js_string_content("FILE0001.MOV"), "FILE0001.MOV");
  EXPECT_EQ(js_string_content("行車 2016 [5].MOV"), "行車 2016 [5].MOV");
  EXPECT_EQ(js_string_content("\xF0\x9F\x9A\x97"), "\xF0\x9F\x9A\x97") << "four-byte sequence kept";
  EXPECT_EQ(js_string_content(""), "");
}

TEST(JsStringContent, QuotesBackslashesAndControls) {
  EXPECT_EQ(js_string_content("a'b\"c\\d"), "a\\'b\\\"c\\\\d");
  EXPECT_EQ(js_string_content("a\nb\rc\x01\x7F"), "a\\x0Ab\\x0Dc\\x01\\x7F");
  EXPECT_EQ(js_string_content(std::string_view("a\0b", 3)), "a\\x00b");
  EXPECT_EQ(js_string_content("</script>"), "\\x3C/script>");
  EXPECT_EQ(js_string_content("a\xE2\x80\xA8"
                              "b\xE2\x80\xA9"),
            "a\\u2028b\\u2029");
  EXPECT_EQ(js_string_content("\xE2\x80\xAA"), "\xE2\x80\xAA") << "a neighbour of the separators is kept";
}

TEST(JsStringContent, EachByteThatIsNotUtf8BecomesItsLoneSurrogate) {
  EXPECT_EQ(js_string_content("caf\xE9.MOV"), "caf\\uDCE9.MOV") << "Latin-1";
  EXPECT_EQ(js_string_content("\x80\xFF"), "\\uDC80\\uDCFF");
  EXPECT_EQ(js_string_content("\xE6\x96"), "\\uDCE6\\uDC96") << "truncated sequence";
  EXPECT_EQ(js_string_content("\xC0\xAF"), "\\uDCC0\\uDCAF") << "overlong";
  EXPECT_EQ(js_string_content("\xED\xA0\x80"), "\\uDCED\\uDCA0\\uDC80") << "encoded surrogate";
  EXPECT_EQ(js_string_content("\xF4\x90\x80\x80"), "\\uDCF4\\uDC90\\uDC80\\uDC80") << "above U+10FFFF";
  EXPECT_EQ(js_string_content("\xE6\x96'"), "\\uDCE6\\uDC96\\'") << "a quote after a broken sequence stays escaped";
}

TEST(JsStringLiteral, WrapsTheContentInSingleQuotes) {
  EXPECT_EQ(js_string_literal(""), "''");
  EXPECT_EQ(js_string_literal("it's\n"), "'it\\'s\\x0A'");
}

}  // namespace
}  // namespace vek::base
