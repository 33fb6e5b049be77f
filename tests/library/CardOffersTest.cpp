// Memory cards: what a card holds, how the offer names it, and when it is
// offered and withdrawn, with the counting on its real thread.

#include "library/CardOffers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <mutex>

#include "TempHome.h"

namespace vek::library::testing {
namespace {

using Strings = std::vector<std::string>;

TEST(CardLabel, TheDesktopsNameElseTheMountFolderElseCard) {
  EXPECT_EQ(card_label("NO NAME", "/media/u/3861-6331"), "NO NAME");
  EXPECT_EQ(card_label("", "/media/u/3861-6331"), "3861-6331");
  EXPECT_EQ(card_label("  ", "/media/u/DASHCAM/"), "DASHCAM");
  EXPECT_EQ(card_label("", "/"), "card");
  EXPECT_EQ(card_label("", ""), "card");
}

TEST(CardLabel, KeptToOneShortLine) {
  EXPECT_EQ(card_label("CAM\nERA\t1", "/m"), "CAM ERA 1");
  EXPECT_EQ(card_label(std::string(200, 'x'), "/m").size(), 64U);
}

TEST(CardSize, GigabytesFromOneDecimalGigabyteElseWholeMegabytes) {
  EXPECT_EQ(size_text(0), "0 MB");
  EXPECT_EQ(size_text(1), "1 MB") << "a clip at all is never shown as nothing";
  EXPECT_EQ(size_text(1'499'999), "1 MB");
  EXPECT_EQ(size_text(450'000'000), "450 MB");
  EXPECT_EQ(size_text(999'999'999), "1000 MB");
  EXPECT_EQ(size_text(1'000'000'000), "1.0 GB");
  EXPECT_EQ(size_text(12'345'678'901), "12.3 GB");
  EXPECT_EQ(size_text(256'000'000'000), "256.0 GB");
}

class CardContentsTest : public TempHome {};

TEST_F(CardContentsTest, EveryClipAnywhereOnTheCardInNameOrderWithItsBytes) {
  const std::string b = make_file("card/DCIM/Movie/FILE0002.MOV", "12345");
  const std::string a = make_file("card/DCIM/Movie/FILE0001.mov", "123");
  const std::string event = make_file("card/EVENT/E0001.MOV", "1");
  make_file("card/DCIM/Photo/P0001.JPG", "123456789");
  make_file("card/FILE0003.MOV.txt", "123456789");
  const auto contents = read_card_contents((root_ / "card").string(), [] { return false; });
  ASSERT_TRUE(contents);
  EXPECT_EQ(contents->clips, (Strings{a, b, event}));
  EXPECT_EQ(contents->bytes, 9U);
}

TEST_F(CardContentsTest, StoppedOrMissingCardsGiveNoClips) {
  make_file("card/DCIM/FILE0001.MOV");
  EXPECT_FALSE(read_card_contents((root_ / "card").string(), [] { return true; }));
  const auto missing = read_card_contents((root_ / "gone").string(), [] { return false; });
  ASSERT_TRUE(missing);
  EXPECT_TRUE(missing->clips.empty());
}

// Offers with a main thread the test runs itself.
class CardOffersTest : public TempHome {
 protected:
  void SetUp() override {
    TempHome::SetUp();
    CardListener listener;
    listener.offer = [this](const CardOffer& offer) {
      events_.push_back("offer " + std::to_string(offer.id) + " " + offer.label + " " + std::to_string(offer.clips) +
                        " " + std::to_string(offer.bytes));
    };
    listener.withdraw = [this](int id) { events_.push_back("withdraw " + std::to_string(id)); };
    offers_ = std::make_unique<CardOffers>(listener, [this](std::function<void()> task) {
      {
        const std::lock_guard lock(mutex_);
        posted_.push_back(std::move(task));
      }
      wake_.notify_all();
    });
  }
  void TearDown() override {
    offers_.reset();
    TempHome::TearDown();
  }
  // Runs the next result of a count; false when none came within 10 s.
  bool run_next() {
    std::unique_lock lock(mutex_);
    if (!wake_.wait_for(lock, std::chrono::seconds(10), [this] { return !posted_.empty(); })) {
      return false;
    }
    auto task = std::move(posted_.front());
    posted_.pop_front();
    lock.unlock();
    task();
    return true;
  }
  std::string card(const std::string& name, int clips) {
    for (int i = 1; i <= clips; ++i) {
      make_file(name + "/DCIM/FILE000" + std::to_string(i) + ".MOV", "1234");
    }
    std::filesystem::create_directories(root_ / name);
    return (root_ / name).string();
  }

  Strings events_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> posted_;
  std::unique_ptr<CardOffers> offers_;
};

TEST_F(CardOffersTest, ACardWithClipsIsOfferedOnceCountedAndTakenOnlyOnRequest) {
  const std::string root = card("A", 3);
  offers_->mounted(root, "NO NAME");
  EXPECT_TRUE(events_.empty()) << "counted off the caller's thread first";
  ASSERT_TRUE(run_next());
  EXPECT_EQ(events_, Strings{"offer 1 NO NAME 3 12"});
  ASSERT_EQ(offers_->offers().size(), 1U);
  EXPECT_EQ(offers_->offers().front().label, "NO NAME");
  const Strings clips = offers_->take(1);
  EXPECT_EQ(clips.size(), 3U);
  EXPECT_EQ(clips.front(), root + "/DCIM/FILE0001.MOV");
  EXPECT_EQ(events_.back(), "withdraw 1");
  EXPECT_TRUE(offers_->offers().empty());
  EXPECT_TRUE(offers_->take(1).empty()) << "one click is one import";
  offers_->unmounted(root);
  EXPECT_EQ(events_.size(), 2U) << "a taken offer is not withdrawn twice";
}

TEST_F(CardOffersTest, PullingTheCardOutWithdrawsItsOffer) {
  const std::string root = card("A", 1);
  offers_->mounted(root, "CAM");
  ASSERT_TRUE(run_next());
  offers_->unmounted(root);
  EXPECT_EQ(events_, (Strings{"offer 1 CAM 1 4", "withdraw 1"}));
  EXPECT_TRUE(offers_->take(1).empty());
}

TEST_F(CardOffersTest, ACardPulledOutWhileCountedIsNeverOffered) {
  const std::string root = card("A", 2);
  offers_->mounted(root, "CAM");
  offers_->unmounted(root);
  ASSERT_TRUE(run_next());
  EXPECT_TRUE(events_.empty());
  EXPECT_TRUE(offers_->offers().empty());
}

TEST_F(CardOffersTest, MediaWithoutClipsAreNotOffered) {
  make_file("stick/music/song.mp3");
  offers_->mounted((root_ / "stick").string(), "STICK");
  ASSERT_TRUE(run_next());
  EXPECT_TRUE(events_.empty());
}

TEST_F(CardOffersTest, TwoCardsAreOfferedApartAndAMountedAgainCardGetsANewOffer) {
  const std::string a = card("A", 1);
  const std::string b = card("B", 2);
  offers_->mounted(a, "A");
  offers_->mounted(b, "B");
  ASSERT_TRUE(run_next());
  ASSERT_TRUE(run_next());
  EXPECT_EQ(events_, (Strings{"offer 1 A 1 4", "offer 2 B 2 8"}));
  offers_->mounted(a, "A");
  ASSERT_TRUE(run_next());
  EXPECT_EQ(events_, (Strings{"offer 1 A 1 4", "offer 2 B 2 8", "withdraw 1", "offer 3 A 1 4"}));
  ASSERT_EQ(offers_->offers().size(), 2U);
  EXPECT_EQ(offers_->offers().front().id, 2) << "in the order they were offered";
}

TEST_F(CardOffersTest, GoingAwayWhileACountRunsLeavesNothingBehind) {
  offers_->mounted(card("A", 3), "A");
  offers_.reset();
  while (!posted_.empty()) {
    run_next();  // a result that arrives after the offers went is dropped
  }
  EXPECT_TRUE(events_.empty());
}

}  // namespace
}  // namespace vek::library::testing
