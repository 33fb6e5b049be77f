#include "support/Json.h"

#include <gtest/gtest.h>

namespace vek::test {
namespace {

TEST(Json, ReadsAFixtureDescription) {
  const auto json = Json::parse(R"( {"kind": "freegps", "seconds": 2.5, "audio": false,
      "fixes": [{"lat": -33.5e0, "speed": 0}, null], "name": "A\"B\\C\/D\n"} )");
  ASSERT_TRUE(json);
  EXPECT_EQ((*json)["kind"].string(), "freegps");
  EXPECT_DOUBLE_EQ((*json)["seconds"].number(), 2.5);
  EXPECT_TRUE((*json)["audio"].is_bool());
  EXPECT_FALSE((*json)["audio"].boolean());
  EXPECT_EQ((*json)["fixes"].size(), 2U);
  EXPECT_DOUBLE_EQ((*json)["fixes"][0]["lat"].number(), -33.5);
  EXPECT_TRUE((*json)["fixes"][1].is_null());
  EXPECT_EQ((*json)["name"].string(), "A\"B\\C/D\n");
  EXPECT_TRUE((*json)["missing"]["deeper"][3].is_null()) << "absent members read as null";
  EXPECT_EQ((*json)["kind"].number(), 0.0) << "another type reads as its default";
}

TEST(Json, DecodesUnicodeEscapes) {
  EXPECT_EQ(Json::parse(R"("\u00e9\u20ac")")->string(), "\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(Json::parse(R"("\ud83d\ude97")")->string(), "\xF0\x9F\x9A\x97") << "a surrogate pair is one code point";
  // The page writes a path byte that is not UTF-8 as U+DC80 + byte.
  EXPECT_EQ(Json::parse(R"("\udce9.MOV")")->string(), "\xED\xB3\xA9.MOV");
  EXPECT_EQ(Json::parse(R"("\ud83dx")")->string(), "\xED\xA0\xBDx") << "a lone high surrogate stays alone";
}

TEST(Json, RefusesWhatIsNotExactlyOneValue) {
  for (const char* bad : {"", " ", "{", "[1,]", "[1 2]", "{\"a\" 1}", "{a:1}", "\"open", "\"\\x\"", "\"\\u12\"",
                          "\"tab\there\"", "tru", "nul", "+1", "1.2.3", "--1", "1 2", "{} []", "[1]]"}) {
    EXPECT_FALSE(Json::parse(bad)) << bad;
  }
}

TEST(Json, BoundsNestingDepth) {
  EXPECT_TRUE(Json::parse(std::string(60, '[') + std::string(60, ']')));
  EXPECT_FALSE(Json::parse(std::string(100000, '['))) << "deep nesting is refused, not a stack overflow";
}

TEST(Json, QuotesAsThePageDoes) {
  EXPECT_EQ(json_quote("a\"b\\c"), R"("a\"b\\c")");
  EXPECT_EQ(json_quote("\n\t\x01"), R"("\n\t\u0001")");
  EXPECT_EQ(json_quote("Trip, day 1/\xC3\xA9"), "\"Trip, day 1/\xC3\xA9\"");
  const std::string every_control = "\x01\x02\x1f\b\f\r plain";
  EXPECT_EQ(Json::parse(json_quote(every_control))->string(), every_control);
}

}  // namespace
}  // namespace vek::test
