#include "base/text/Xml.h"

#include <gtest/gtest.h>

namespace vek::base {
namespace {

TEST(XmlEscaped, MarkupCharactersBecomeEntities) {
  EXPECT_EQ(xml_escaped("a&b<c>d\"e'f"), "a&amp;b&lt;c&gt;d&quot;e&apos;f");
  EXPECT_EQ(xml_escaped("]]>"), "]]&gt;");
  EXPECT_EQ(xml_escaped("行車.MOV"), "行車.MOV");
  EXPECT_EQ(xml_escaped("\t\n\r"), "\t\n\r");
}

TEST(XmlEscaped, WhatXmlCannotHoldBecomesTheReplacementCharacter) {
  const std::string replacement = "\xEF\xBF\xBD";
  EXPECT_EQ(xml_escaped("caf\xE9"), "caf" + replacement);
  EXPECT_EQ(xml_escaped(std::string_view("a\0b", 3)), "a" + replacement + "b");
  EXPECT_EQ(xml_escaped("\x01\x1F"), replacement + replacement);
  EXPECT_EQ(xml_escaped("\xEF\xBF\xBE\xEF\xBF\xBF"), replacement + replacement);
  EXPECT_EQ(xml_escaped("\xE6\x96<"), replacement + replacement + "&lt;") << "markup after a broken sequence";
}

}  // namespace
}  // namespace vek::base
