#include "bridge/CommandArguments.h"

#include <gtest/gtest.h>

#include <limits>

#include "base/text/IntValue.h"

namespace vek::bridge {
namespace {

using base::int_value;

using Strings = std::vector<std::string>;

TEST(CommandArguments, RemovalElementsKeepEmptyOnesAndReadEscapedSpaces) {
  EXPECT_EQ(removal_elements("http://file_del_fun/"), Strings{""});
  EXPECT_EQ(removal_elements("http://file_del_fun//c/A%20B.MOV,/c/C.MOV,"), (Strings{"/c/A B.MOV", "/c/C.MOV", ""}));
}

TEST(CommandArguments, CardOfferNumbersAreWholePositiveNumbersOnly) {
  EXPECT_EQ(card_offer_id("http://card_import/7"), 7);
  EXPECT_EQ(card_offer_id("http://card_import/"), std::nullopt);
  EXPECT_EQ(card_offer_id("http://card_import/0"), std::nullopt);
  EXPECT_EQ(card_offer_id("http://card_import/-2"), std::nullopt);
  EXPECT_EQ(card_offer_id("http://card_import/2x"), std::nullopt);
  EXPECT_EQ(card_offer_id("http://card_import/ 2"), std::nullopt);
  EXPECT_EQ(card_offer_id("http://card_import/99999999999"), std::nullopt);
}

TEST(CommandArguments, CandidatesAreDecodedAndCappedAtEight) {
  EXPECT_EQ(check_candidates("http://check_file//m/%E4%B8%AD%20x.MOV,/n/y.MOV"),
            (Strings{"/m/\xE4\xB8\xAD x.MOV", "/n/y.MOV"}));
  EXPECT_EQ(check_candidates("http://check_file/1,2,3,4,5,6,7,8,9").size(), kMaxCandidates);
  EXPECT_EQ(check_candidates("http://check_file/1,2,3,4,5,6,7,8,9").back(), "8");
}

TEST(CommandArguments, EscapedBytesThatAreNotUtf8NameTheSameBytes) {
  EXPECT_EQ(merger_pieces("http://merger//a%20b%FF.MOV,/c.MOV"), (Strings{"/a b\xFF.MOV", "/c.MOV"}));
  EXPECT_EQ(check_candidates("http://check_file//m/caf%E9.MOV"), Strings{"/m/caf\xE9.MOV"});
  EXPECT_EQ(merger_pieces("http://merger/"), Strings{""});
  EXPECT_EQ(merger_pieces("http://merger/ /a.MOV,"), (Strings{" /a.MOV", ""}));
}

TEST(CommandArguments, SettingsStayVerbatim) {
  EXPECT_EQ(settings_text("http://save_set/km,ENG"), "km,ENG");
  EXPECT_EQ(settings_text("http://save_set/a%20b%C3%A9"), "a%20b%C3%A9");
}

TEST(CommandArguments, PhotoFrameIsOneSecondAfterThePosition) {
  const auto request = photo_request("http://get_photo/file:///c/A.MOV;1;5");
  ASSERT_TRUE(request);
  EXPECT_EQ(request->clip_url, "file:///c/A.MOV");
  EXPECT_EQ(request->value, 1980);
  EXPECT_EQ(photo_request("http://get_photo/u;x;y")->value, 30);
  EXPECT_EQ(photo_request("http://get_photo/u; -2;7s")->value, (-120 + 7) * 30 + 30);
  EXPECT_FALSE(photo_request("http://get_photo/u;1"));
}

TEST(CommandArguments, PhotoTimeWrapsIn32Bits) {
  const auto request = photo_request("http://get_photo/u;99999999;0");
  ASSERT_TRUE(request);
  const auto expected = static_cast<std::int32_t>(static_cast<std::uint32_t>(99999999) * 60U * 30U + 30U);
  EXPECT_EQ(request->value, expected);
}

TEST(IntValue, ReadsLikeTheRecordedNames) {
  EXPECT_EQ(int_value("012.MOV"), 12);
  EXPECT_EQ(int_value("  -7x"), -7);
  EXPECT_EQ(int_value("+3"), 3);
  EXPECT_EQ(int_value("abc"), 0);
  EXPECT_EQ(int_value("-"), 0);
  EXPECT_EQ(int_value("99999999999999999999"), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(int_value("-99999999999999999999"), std::numeric_limits<std::int32_t>::min());
}

}  // namespace
}  // namespace vek::bridge
