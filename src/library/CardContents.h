#pragma once
// What a mounted memory card holds for the intake, and how the offer to take
// it in names the card and its size.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vek::library {

struct CardContents {
  // Every .MOV/.mov on the card, in name order.
  std::vector<std::string> clips;
  std::uintmax_t bytes = 0;
};

// Walks the card from its root (a camera's DCIM folder or its own folders);
// empty once `stop` says so, as when the card is pulled out meanwhile.
std::optional<CardContents> read_card_contents(const std::string& root, const std::function<bool()>& stop);

// The card's name as the desktop shows it, else its mount folder's name,
// else "card"; never more than a line.
std::string card_label(std::string_view mount_name, const std::string& root);

// "12.3 GB" from 1 GB (decimal, as cards are labelled), else whole MB with
// at least "1 MB" for any clip at all; the page's own progress reads alike.
std::string size_text(std::uintmax_t bytes);

}  // namespace vek::library
