// Memory cards as the window sees them: offered to the page once counted,
// taken in only on the page's click, withdrawn when pulled out.

#include <gtest/gtest.h>

#include "AppFixture.h"

namespace vek::app::testing {
namespace {

class Cards : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    app_->webViewDidFinishLoad(true);
    wv_.scripts.clear();
  }
  std::string card_with_clips(int clips) {
    for (int i = clips; i >= 1; --i) {
      make_file("media/CAM/DCIM/FILE000" + std::to_string(i) + ".MOV");
    }
    return (root_ / "media" / "CAM").string();
  }
  std::vector<std::string> scripts_starting(const std::string& start) const {
    std::vector<std::string> found;
    for (const std::string& script : wv_.scripts) {
      if (script.starts_with(start)) {
        found.push_back(script);
      }
    }
    return found;
  }
  void mount_and_count(const std::string& root) {
    volumes_.mount(root, "CAM");
    ASSERT_TRUE(main_thread_.run_until([this] { return !scripts_starting("if(window.card_offer)").empty(); }));
  }
};

constexpr const char* kOffer = "if(window.card_offer)card_offer('1','CAM','2','1 MB')";

TEST_F(Cards, AMountedCardIsOfferedAndNothingIsTakenInWithoutTheClick) {
  mount_and_count(card_with_clips(2));
  EXPECT_EQ(scripts_starting("if(window.card_offer)"), std::vector<std::string>{kOffer});
  EXPECT_FALSE(app_->intake_running());
  EXPECT_TRUE(reports().empty());
  EXPECT_FALSE(std::filesystem::exists(library() + "/FILE0001.data"));
}

TEST_F(Cards, TheClickTakesTheCardInClipByClipAndWithdrawsTheOffer) {
  const std::string root = card_with_clips(2);
  mount_and_count(root);
  EXPECT_EQ(navigate("http://card_import/1"), bridge::Navigation::Ignore);
  EXPECT_EQ(scripts_starting("if(window.card_withdrawn)"),
            std::vector<std::string>{"if(window.card_withdrawn)card_withdrawn('1')"});
  settle();
  const std::vector<std::string> made = reports();
  ASSERT_EQ(made.size(), 2U) << "the list fills as the card is read";
  EXPECT_NE(made.back().find(root + "/DCIM/FILE0001.MOV,"), std::string::npos) << made.back();
  EXPECT_TRUE(std::filesystem::exists(library() + "/FILE0001.data"));
  EXPECT_TRUE(std::filesystem::exists(library() + "/FILE0002.data"));
  navigate("http://card_import/1");
  EXPECT_FALSE(app_->intake_running()) << "a second click of the same offer takes nothing in";
}

TEST_F(Cards, PullingTheCardOutWithdrawsTheOfferAndAReloadedPageIsOfferedAgain) {
  const std::string root = card_with_clips(2);
  mount_and_count(root);
  app_->webViewDidFinishLoad(true);
  EXPECT_EQ(scripts_starting("if(window.card_offer)").size(), 2U) << "a reloaded page hears of the card again";
  volumes_.unmount(root);
  EXPECT_EQ(scripts_starting("if(window.card_withdrawn)").size(), 1U);
  navigate("http://card_import/1");
  EXPECT_FALSE(app_->intake_running());
  EXPECT_EQ(log_.lines.back(), "card_import: no card offered as 1");
}

TEST_F(Cards, ACardNamedByAnythingButAnOfferIsRefused) {
  mount_and_count(card_with_clips(1));
  for (const char* url : {"http://card_import/", "http://card_import/x", "http://card_import/1x",
                          "http://card_import/-1", "http://card_import/99"}) {
    navigate(url);
    EXPECT_FALSE(app_->intake_running()) << url;
  }
  EXPECT_TRUE(scripts_starting("if(window.card_withdrawn)").empty());
}

}  // namespace
}  // namespace vek::app::testing
