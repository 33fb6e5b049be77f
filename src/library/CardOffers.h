#pragma once
// Memory cards offered for intake: a mounted card's clips are counted on a
// background thread, and once it holds any, the page is offered to take them
// in with one click. Nothing is taken in without that click; a card pulled
// out withdraws its offer. Main thread only, except the counting.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "library/CardContents.h"
#include "library/ExtractionWorkers.h"

namespace vek::library {

struct CardOffer {
  // Names the offer between the page and the application for this run.
  int id = 0;
  std::string label;
  std::size_t clips = 0;
  std::uintmax_t bytes = 0;
};

// What the offers tell their owner; every call comes on the main thread.
struct CardListener {
  std::function<void(const CardOffer& offer)> offer;
  std::function<void(int id)> withdraw;
};

class CardOffers {
 public:
  CardOffers(CardListener listener, PostToMain post);
  CardOffers(const CardOffers&) = delete;
  CardOffers& operator=(const CardOffers&) = delete;
  // Stops the counting and waits for its thread.
  ~CardOffers();

  // A removable medium mounted at `root`, named `name` on the desktop.
  void mounted(const std::string& root, std::string_view name);
  void unmounted(const std::string& root);
  // The offered card's clips, in name order, and its offer withdrawn; empty
  // when the offer is gone (the card pulled out, or taken already).
  std::vector<std::string> take(int id);
  // The offers standing now, for a page loaded again.
  std::vector<CardOffer> offers() const;

 private:
  struct Card {
    int id = 0;
    std::string label;
    std::shared_ptr<std::atomic<bool>> stop = std::make_shared<std::atomic<bool>>(false);
    std::optional<CardContents> contents;
    bool offered = false;
  };
  struct Count {
    int id = 0;
    std::string root;
    std::shared_ptr<std::atomic<bool>> stop;
  };
  void counted(int id, std::optional<CardContents> contents);
  Card* card_by_id(int id);
  void count_cards();
  bool next_count(Count& count);
  static CardOffer offer_of(const Card& card);

  CardListener listener_;
  PostToMain post_;
  // Posted results check it: they may run after the offers have gone.
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
  std::map<std::string, Card> cards_;
  int last_id_ = 0;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Count> counts_;
  bool stopping_ = false;
  // One card at a time: they share the machine's buses and the reading.
  std::jthread counter_;
};

}  // namespace vek::library
