#include "base/text/JsLiteral.h"

#include <gtest/gtest.h>

#include <optional>

#include "bridge/ScriptCalls.h"
#include "support/Json.h"
#include "support/Process.h"

namespace vek::bridge {
namespace {

using base::js_string_literal;

TEST(JsLiteral, PlainTextIsOnlyQuoted) {
  EXPECT_EQ(js_string_literal("/home/u/CLIP0001.MOV"), "'/home/u/CLIP0001.MOV'");
  EXPECT_EQ(js_string_literal("/m/\xE8\xBB\x8A.MOV"), "'/m/\xE8\xBB\x8A.MOV'");
}

TEST(JsLiteral, EscapesWhatWouldEndOrBreakTheLiteral) {
  EXPECT_EQ(js_string_literal("it's"), "'it\\'s'");
  EXPECT_EQ(js_string_literal("a\\b\"c"), "'a\\\\b\\\"c'");
  EXPECT_EQ(js_string_literal("a\nb\rc\td"), "'a\\x0Ab\\x0Dc\\x09d'");
  EXPECT_EQ(js_string_literal("x\xE2\x80\xA8y\xE2\x80\xA9"), "'x\\u2028y\\u2029'");
}

TEST(ScriptCalls, ClipListReportKeepsItsShape) {
  EXPECT_EQ(file_list_call("", "", "0", "/home/u/VEK/data"), "file_list_fun('','','0');user_path='/home/u/VEK/data'");
  EXPECT_EQ(file_list_call("/h/VEK/data/A.data,", "/c/A.MOV,", "(null)", "/h/VEK/data"),
            "file_list_fun('/h/VEK/data/A.data,','/c/A.MOV,','(null)');user_path='/h/VEK/data'");
  EXPECT_EQ(video1_show_call("/c/A B.MOV"), "video1_show('/c/A B.MOV')");
  EXPECT_EQ(export_progress_call(42), "if(window.exp_progress)exp_progress('42')");
}

TEST(ScriptCalls, CardOffersCarryTheCardsNameEscaped) {
  EXPECT_EQ(card_offer_call({3, "NO NAME", 143, "42.7 GB"}),
            "if(window.card_offer)card_offer('3','NO NAME','143','42.7 GB')");
  EXPECT_EQ(card_offer_call({1, "x');alert('", 1, "1 MB"}),
            "if(window.card_offer)card_offer('1','x\\');alert(\\'','1','1 MB')");
  EXPECT_EQ(card_withdrawn_call(3), "if(window.card_withdrawn)card_withdrawn('3')");
}

// Runs the literal through a real script engine: the value that comes back
// must be the original text, and nothing else may run. Nullopt without node.
std::optional<test::Json> evaluate_in_node(const std::string& literal) {
  const std::string script = "let ran=false;const v=(" + literal + ");process.stdout.write(JSON.stringify([v,ran]));";
  const test::RunResult result = test::run_process({"node", "-e", script});
  if (!result.ok()) return std::nullopt;
  return test::Json::parse(result.out);
}

bool node_installed() {
  return test::run_process({"node", "--version"}).ok();
}

TEST(JsLiteral, AScriptEngineReadsBackTheSameTextAndRunsNothing) {
  if (!node_installed()) GTEST_SKIP() << "node is not installed";
  const std::string hostile = "x');ran=true;('\\\n\r\xE2\x80\xA8\"`${ran=true}`";
  const auto value = evaluate_in_node(js_string_literal(hostile));
  ASSERT_TRUE(value) << "the literal did not evaluate";
  EXPECT_EQ((*value)[0].string(), hostile);
  EXPECT_TRUE((*value)[1].is_bool());
  EXPECT_FALSE((*value)[1].boolean()) << "nothing inside the literal ran";
}

// A Latin-1 name must reach the page as a closed literal that still tells
// its bytes apart (the page maps U+DC80..U+DCFF back to "%XX").
TEST(JsLiteral, AScriptEngineReadsBytesThatAreNotUtf8AsLoneSurrogates) {
  if (!node_installed()) GTEST_SKIP() << "node is not installed";
  const auto value = evaluate_in_node(js_string_literal("/m/caf\xE9\xFF.MOV"));
  ASSERT_TRUE(value) << "the literal did not evaluate";
  // Each lone surrogate reads back in its three-byte form: U+DCE9, U+DCFF.
  EXPECT_EQ((*value)[0].string(), "/m/caf\xED\xB3\xA9\xED\xB3\xBF.MOV");
}

}  // namespace
}  // namespace vek::bridge
