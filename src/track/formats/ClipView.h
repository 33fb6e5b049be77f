#pragma once
// What the family detectors see of a clip: its top-level atoms, its tracks'
// sample tables and its freeGPS blocks, each read once and only when a
// detector asks, through positioned reads of the clip.

#include "track/container/Atoms.h"
#include "track/container/SampleTable.h"

#include <optional>
#include <vector>

namespace vek::track::formats {

// Every freeGPS layout lies in a block's first bytes (text windows of 1 KiB,
// records within 128 bytes); the rest of a 16 or 32 KiB block is padding.
inline constexpr std::uint64_t kBlockHead = 4096;
// Over 18 hours at one block a second.
inline constexpr std::size_t kMaxBlocks = std::size_t{1} << 16;
// The samples of one track read for a family; no camera writes this much telemetry into one clip.
inline constexpr std::uint64_t kMaxTrackBytes = std::uint64_t{64} << 20;

class ClipView {
 public:
  ClipView(container::ByteSource& source, std::vector<container::Atom> top_level)
      : source_(source), top_level_(std::move(top_level)) {}

  container::ByteSource& source() noexcept { return source_; }
  const std::vector<container::Atom>& top_level() const noexcept { return top_level_; }

  // The movie's tracks, read on first use.
  const container::MovieTables& tables();

  // The heads of the freeGPS blocks the structure points at: those the
  // `moov/gps ` index lists (when it can be followed) or else top-level
  // `free` atoms whose payload starts "GPS ".
  const std::vector<Bytes>& blocks();
  // Blocks found another way (a search of the whole clip), in place of the structure's.
  void use_blocks(std::vector<Bytes> blocks) { blocks_ = std::move(blocks); }

 private:
  container::ByteSource& source_;
  std::vector<container::Atom> top_level_;
  std::optional<container::MovieTables> tables_;
  std::vector<std::vector<std::byte>> block_bytes_;
  std::optional<std::vector<Bytes>> blocks_;
};

}  // namespace vek::track::formats
