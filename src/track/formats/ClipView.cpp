#include "track/formats/ClipView.h"

#include "track/container/GpsIndex.h"

#include <algorithm>

namespace vek::track::formats {
namespace {

constexpr std::uint64_t kTagAt = 8;  // "GPS " after the atom's size and type

std::optional<std::vector<std::byte>> block_head(container::ByteSource& source, std::uint64_t offset,
                                                 std::uint64_t size) {
  return source.block(offset, std::min(size, kBlockHead));
}

// The listed blocks, or nothing when one is not a box atom of its listed size.
std::vector<std::vector<std::byte>> indexed_blocks(container::ByteSource& source,
                                                   const std::vector<container::Atom>& top_level) {
  std::vector<std::vector<std::byte>> blocks;
  const auto entries = container::listed_gps_boxes(source, top_level);
  for (const container::BoxEntry& e : entries.value_or(std::vector<container::BoxEntry>{})) {
    auto head = block_head(source, e.offset, e.size);
    if (!head || !container::is_box_atom(*head, e.size) || blocks.size() == kMaxBlocks) return {};
    blocks.push_back(std::move(*head));
  }
  return blocks;
}

bool is_gps_tag(const std::vector<std::byte>& head) {
  constexpr std::string_view tag = "GPS ";
  return head.size() >= kTagAt + tag.size() &&
         std::equal(tag.begin(), tag.end(), head.begin() + kTagAt,
                    [](char c, std::byte b) { return static_cast<char>(b) == c; });
}

std::vector<std::vector<std::byte>> top_level_blocks(container::ByteSource& source,
                                                     const std::vector<container::Atom>& top_level) {
  std::vector<std::vector<std::byte>> blocks;
  for (const container::Atom& atom : top_level) {
    if (!atom.is("free") || atom.header != 8 || atom.size > container::kMaxBoxSize || blocks.size() == kMaxBlocks)
      continue;
    auto head = block_head(source, atom.offset, atom.size);
    if (head && is_gps_tag(*head)) blocks.push_back(std::move(*head));
  }
  return blocks;
}

}  // namespace

const container::MovieTables& ClipView::tables() {
  if (!tables_) tables_ = container::read_movie_tables(source_, top_level_);
  return *tables_;
}

const std::vector<Bytes>& ClipView::blocks() {
  if (blocks_) return *blocks_;
  block_bytes_ = indexed_blocks(source_, top_level_);
  if (block_bytes_.empty()) block_bytes_ = top_level_blocks(source_, top_level_);
  blocks_.emplace(block_bytes_.begin(), block_bytes_.end());
  return *blocks_;
}

}  // namespace vek::track::formats
