#include "library/CardOffers.h"

#include <algorithm>

#include "base/threads/BackgroundPriority.h"

namespace vek::library {

CardOffers::CardOffers(CardListener listener, PostToMain post)
    : listener_(std::move(listener)), post_(std::move(post)) {}

CardOffers::~CardOffers() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
    counts_.clear();
  }
  for (auto& [root, card] : cards_) {
    card.stop->store(true);
  }
  wake_.notify_all();
  if (counter_.joinable()) {
    counter_.join();
  }
}

void CardOffers::mounted(const std::string& root, std::string_view name) {
  unmounted(root);  // mounted again without word of the unmount
  Card card;
  card.id = ++last_id_;
  card.label = card_label(name, root);
  {
    const std::lock_guard lock(mutex_);
    counts_.push_back({card.id, root, card.stop});
    if (!counter_.joinable()) {
      counter_ = std::jthread([this] { count_cards(); });
    }
  }
  cards_.emplace(root, std::move(card));
  wake_.notify_one();
}

void CardOffers::unmounted(const std::string& root) {
  const auto found = cards_.find(root);
  if (found == cards_.end()) {
    return;
  }
  found->second.stop->store(true);
  const bool offered = found->second.offered;
  const int id = found->second.id;
  cards_.erase(found);
  if (offered) {
    listener_.withdraw(id);
  }
}

std::vector<std::string> CardOffers::take(int id) {
  Card* card = card_by_id(id);
  if (card == nullptr || !card->offered) {
    return {};
  }
  card->offered = false;
  listener_.withdraw(id);
  return std::move(card->contents->clips);
}

std::vector<CardOffer> CardOffers::offers() const {
  std::vector<CardOffer> standing;
  for (const auto& [root, card] : cards_) {
    if (card.offered) {
      standing.push_back(offer_of(card));
    }
  }
  std::sort(standing.begin(), standing.end(), [](const CardOffer& a, const CardOffer& b) { return a.id < b.id; });
  return standing;
}

// A card without clips (a phone's, a music stick) is not offered.
void CardOffers::counted(int id, std::optional<CardContents> contents) {
  Card* card = card_by_id(id);
  if (card == nullptr || !contents || contents->clips.empty()) {
    return;
  }
  card->contents = std::move(contents);
  card->offered = true;
  listener_.offer(offer_of(*card));
}

CardOffers::Card* CardOffers::card_by_id(int id) {
  const auto found =
      std::find_if(cards_.begin(), cards_.end(), [id](const auto& entry) { return entry.second.id == id; });
  return found == cards_.end() ? nullptr : &found->second;
}

bool CardOffers::next_count(Count& count) {
  std::unique_lock lock(mutex_);
  wake_.wait(lock, [this] { return stopping_ || !counts_.empty(); });
  if (stopping_) {
    return false;
  }
  count = std::move(counts_.front());
  counts_.pop_front();
  return true;
}

void CardOffers::count_cards() {
  base::lower_current_thread_priority();
  Count count;
  while (next_count(count)) {
    std::optional<CardContents> contents = read_card_contents(count.root, [stop = count.stop] { return stop->load(); });
    post_([this, alive = std::weak_ptr<int>(alive_), id = count.id, contents = std::move(contents)]() mutable {
      if (alive.lock()) {
        counted(id, std::move(contents));
      }
    });
  }
}

CardOffer CardOffers::offer_of(const Card& card) {
  return {card.id, card.label, card.contents ? card.contents->clips.size() : 0,
          card.contents ? card.contents->bytes : 0};
}

}  // namespace vek::library
