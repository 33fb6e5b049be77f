#include "track/container/GpsIndex.h"

#include "track/container/ReadBuffer.h"
#include "track/container/WindowedSource.h"

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

// The followable entries of an index payload, or nothing.
std::optional<std::vector<BoxEntry>> followable_entries(Bytes payload, std::uint64_t file_size) {
  std::vector<BoxEntry> entries = listed_entries(payload);
  if (entries.empty() || !sizes_plausible(entries) || !in_order_inside(entries, file_size)) return std::nullopt;
  return entries;
}

}  // namespace

GpsIndex read_gps_index(ByteSource& source, const std::vector<Atom>& top_level) {
  const Atom* moov = find_atom(top_level, "moov");
  if (moov == nullptr) return {};
  ReadBuffer whole;
  const auto held = moov->size <= kMaxWholeMovieHeader ? whole.fill(source, moov->offset, moov->size) : std::nullopt;
  WindowedSource header(source, moov->offset, held.value_or(Bytes{}));
  const auto children = walk_atoms(header, moov->payload(), moov->end());
  const Atom* index = children ? find_atom(*children, "gps ") : nullptr;
  if (index == nullptr) return {};
  GpsIndex found{.present = true, .entries = std::nullopt};
  const std::uint64_t payload_size = index->size - index->header;
  ReadBuffer payload;
  const auto bytes =
      payload_size <= kMaxIndexSize ? payload.fill(header, index->payload(), payload_size) : std::nullopt;
  if (bytes) found.entries = followable_entries(*bytes, source.size());
  return found;
}

std::optional<std::vector<BoxEntry>> listed_gps_boxes(ByteSource& source, const std::vector<Atom>& top_level) {
  GpsIndex index = read_gps_index(source, top_level);
  if (index.entries) prefetch_boxes(source, *index.entries);
  return std::move(index.entries);
}

void prefetch_boxes(ByteSource& source, const std::vector<BoxEntry>& entries) {
  for (const BoxEntry& entry : entries)
    source.prefetch(entry.offset, entry.size);
}

bool is_box_atom(Bytes atom, std::uint64_t listed_size) noexcept {
  return atom.size() >= kBoxHeadSize && u32be(atom, 0) == listed_size && text_at(atom, 4, kBoxType) &&
         text_at(atom, 8, kBoxTag);
}

}  // namespace vek::track::container
