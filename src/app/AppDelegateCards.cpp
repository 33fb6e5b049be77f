// Memory cards: a mounted card with clips is offered to the page, and taken
// in on the intake workers only when the user accepts the offer.

#include "app/AppDelegate.h"
#include "bridge/CommandArguments.h"
#include "bridge/ScriptCalls.h"

namespace vek::app {
namespace {

std::string offer_call(const library::CardOffer& offer) {
  const std::string size = library::size_text(offer.bytes);
  return bridge::card_offer_call({offer.id, offer.label, offer.clips, size});
}

}  // namespace

void AppDelegate::watch_cards() {
  library::CardListener listener;
  listener.offer = [this](const library::CardOffer& offer) {
    log("card " + offer.label + ": " + std::to_string(offer.clips) + " clips offered");
    platform_.wv.evaluate(offer_call(offer));
  };
  listener.withdraw = [this](int id) { platform_.wv.evaluate(bridge::card_withdrawn_call(id)); };
  cards_ = std::make_unique<library::CardOffers>(
      std::move(listener), [this](std::function<void()> task) { platform_.main_thread.post(std::move(task)); });
  ports::VolumeEvents events;
  events.mounted = [this](const std::string& root, const std::string& name) { cards_->mounted(root, name); };
  events.unmounted = [this](const std::string& root) { cards_->unmounted(root); };
  platform_.volumes.watch(std::move(events));
}

// A reloaded page starts without the offers.
void AppDelegate::send_card_offers() {
  for (const library::CardOffer& offer : cards_->offers()) {
    platform_.wv.evaluate(offer_call(offer));
  }
}

void AppDelegate::import_card(const std::string& text) {
  const std::optional<int> id = bridge::card_offer_id(text);
  std::vector<std::string> clips = id ? cards_->take(*id) : std::vector<std::string>{};
  if (clips.empty()) {
    log("card_import: no card offered as " + bridge::argument_text(text, bridge::Command::CardImport));
    return;
  }
  intake_->enqueue(library::IntakeKind::Card, std::move(clips));
}

}  // namespace vek::app
