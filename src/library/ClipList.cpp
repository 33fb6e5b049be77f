#include "library/ClipList.h"

#include <algorithm>

namespace vek::library {
namespace {

constexpr char kSafeSeparator = '\0';

template <typename Field>
std::string list_text(const std::vector<ListedClip>& entries, Field field) {
  const bool any_comma = std::any_of(entries.begin(), entries.end(), [&](const ListedClip& clip) {
    return (clip.*field).find(',') != std::string::npos;
  });
  const char separator = any_comma ? kSafeSeparator : ',';
  std::string text;
  if (any_comma) {
    text.push_back(kSafeSeparator);
  }
  for (const ListedClip& clip : entries) {
    text.append(clip.*field).push_back(separator);
  }
  return text;
}

// The family's name inside the facts, where ',' ends a clip and '|' a field.
std::string facts_field(std::string_view text) {
  std::string field;
  for (const char c : text) {
    if (c == ',' || c == '|' || c == '%') {
      constexpr const char* kHex = "0123456789ABCDEF";
      const auto byte = static_cast<unsigned char>(c);
      field += {'%', kHex[byte >> 4U], kHex[byte & 0xFU]};
    } else {
      field += c;
    }
  }
  return field;
}

}  // namespace

bool ClipList::lists_track(std::string_view track_path) const {
  return std::any_of(entries_.begin(), entries_.end(),
                     [&](const ListedClip& clip) { return clip.track_path == track_path; });
}

std::string ClipList::track_of(std::string_view source_path) const {
  const auto found = std::find_if(entries_.begin(), entries_.end(),
                                  [&](const ListedClip& clip) { return clip.source_path == source_path; });
  return found == entries_.end() ? std::string() : found->track_path;
}

bool ClipList::lists_clip(std::string_view source_path) const {
  return std::any_of(entries_.begin(), entries_.end(),
                     [&](const ListedClip& clip) { return clip.source_path == source_path; });
}

void ClipList::append(ListedClip clip) {
  entries_.push_back(std::move(clip));
}

void ClipList::append(std::string_view track_path, std::string_view source_path) {
  append(ListedClip{std::string(track_path), std::string(source_path), std::nullopt});
}

void ClipList::remove(std::string_view source_path) {
  std::erase_if(entries_, [&](const ListedClip& clip) { return clip.source_path == source_path; });
}

std::string ClipList::facts_text() const {
  std::string text;
  for (const ListedClip& clip : entries_) {
    if (clip.duration_seconds) {
      text += std::to_string(*clip.duration_seconds);
    }
    text += clip.track_too_large ? "|large" : "|";
    if (!clip.family.empty()) text += "|" + facts_field(clip.family);
    text += ',';
  }
  return text;
}

bool ClipList::has_facts() const {
  return std::any_of(entries_.begin(), entries_.end(), [](const ListedClip& clip) {
    return clip.duration_seconds || clip.track_too_large || !clip.family.empty();
  });
}

std::string ClipList::track_list_text() const {
  return list_text(entries_, &ListedClip::track_path);
}

std::string ClipList::clip_list_text() const {
  return list_text(entries_, &ListedClip::source_path);
}

}  // namespace vek::library
