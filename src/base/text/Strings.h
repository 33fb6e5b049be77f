#pragma once
// Plain text operations on which the command channel and the clip list rest:
// lists are comma-joined strings, searched and edited by substring.

#include <string>
#include <string_view>
#include <vector>

namespace vek::base {

// `text` with every occurrence of `from` replaced by `to`, scanning left to
// right without rescanning replaced text. An empty `from` changes nothing.
std::string replace_all(std::string_view text, std::string_view from, std::string_view to);

// Splits at every `separator`. Never yields zero pieces: "" gives one empty
// piece, and a trailing separator gives a trailing empty piece.
std::vector<std::string> split(std::string_view text, char separator);

// An ASCII decimal digit, whatever the locale.
constexpr bool is_ascii_digit(char c) {
  return c >= '0' && c <= '9';
}

// Substring test in which an empty needle never counts as contained.
bool contains_nonempty(std::string_view haystack, std::string_view needle);

}  // namespace vek::base
