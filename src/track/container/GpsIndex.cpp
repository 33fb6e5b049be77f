#include "track/container/GpsIndex.h"

#include <algorithm>
#include <string_view>

namespace vek::track::container {
namespace {

constexpr std::uint64_t kCountAt = 4;  // after the version and flags
constexpr std::uint64_t kEntriesAt = 8;
constexpr std::uint64_t kEntrySize = 8;     // 32-bit offset, 32-bit size
constexpr std::uint64_t kBoxHeadSize = 12;  // size, "free", "GPS "
constexpr std::string_view kBoxType = "free";
constexpr std::string_view kBoxTag = "GPS";

std::uint32_t u32be(Bytes bytes, std::uint64_t at) noexcept {
  ByteReader reader(bytes);
  return static_cast<std::uint32_t>(reader.i32be(at));
}

bool text_at(Bytes bytes, std::uint64_t at, std::string_view text) noexcept {
  ByteReader reader(bytes);
  const Bytes field = reader.range(at, text.size());
  return field.size() == text.size() && std::equal(text.begin(), text.end(), field.begin(),
                                                   [](char c, std::byte b) { return static_cast<char>(b) == c; });
}

std::optional<std::vector<std::byte>> index_payload(ByteSource& source, const std::vector<Atom>& top_level) {
  const Atom* moov = find_atom(top_level, "moov");
  if (moov == nullptr) return std::nullopt;
  const auto children = walk_atoms(source, moov->payload(), moov->end());
  const Atom* index = children ? find_atom(*children, "gps ") : nullptr;
  if (index == nullptr || index->size - index->header > kMaxIndexSize) return std::nullopt;
  return source.block(index->payload(), index->size - index->header);
}

// The listed entries, as many as the index holds room for.
std::vector<BoxEntry> listed_entries(Bytes payload) {
  std::vector<BoxEntry> entries;
  if (payload.size() < kEntriesAt) return entries;
  const std::uint64_t room = (payload.size() - kEntriesAt) / kEntrySize;
  const std::uint64_t count = std::min<std::uint64_t>(u32be(payload, kCountAt), room);
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::uint64_t at = kEntriesAt + i * kEntrySize;
    entries.push_back({u32be(payload, at), u32be(payload, at + 4)});
  }
  return entries;
}

bool sizes_plausible(const std::vector<BoxEntry>& entries) noexcept {
  return std::all_of(entries.begin(), entries.end(),
                     [](const BoxEntry& e) { return e.size >= kBoxHeadSize && e.size <= kMaxBoxSize; });
}

bool in_order_inside(const std::vector<BoxEntry>& entries, std::uint64_t file_size) noexcept {
  std::uint64_t previous_end = 0;
  for (const BoxEntry& e : entries) {
    if (e.offset < previous_end || e.offset > file_size || e.size > file_size - e.offset) return false;
    previous_end = e.offset + e.size;
  }
  return true;
}

}  // namespace

std::optional<std::vector<BoxEntry>> listed_gps_boxes(ByteSource& source, const std::vector<Atom>& top_level) {
  const auto payload = index_payload(source, top_level);
  if (!payload) return std::nullopt;
  std::vector<BoxEntry> entries = listed_entries(*payload);
  if (entries.empty() || !sizes_plausible(entries) || !in_order_inside(entries, source.size())) return std::nullopt;
  for (const BoxEntry& entry : entries)
    source.prefetch(entry.offset, entry.size);
  return entries;
}

bool is_box_atom(Bytes atom, std::uint64_t listed_size) noexcept {
  return atom.size() >= kBoxHeadSize && u32be(atom, 0) == listed_size && text_at(atom, 4, kBoxType) &&
         text_at(atom, 8, kBoxTag);
}

}  // namespace vek::track::container
