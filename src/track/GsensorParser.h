#pragma once
// The "gsen" G-sensor slots of a clip, numbered from 1 across all chunks.
// Slots are decoded on demand by number, so the close form fills each record
// without holding the clip's slots (one per 12 bytes) in memory.

#include "track/ByteReader.h"
#include "track/Log.h"
#include "track/Samples.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vek::track {

class GsensorSlots {
 public:
  // The slot with this number, if the clip has one.
  std::optional<GSensor> find(std::uint64_t number) const;

  // The pass's log: "新晶片解析XYZ_start", "lines:" with the time list, and
  // "XYZ影片長度:%i" for every search.
  void log_pass(std::string_view time_list, const LogSink& log) const;

  std::uint64_t slot_count() const noexcept { return base_; }

 private:
  friend GsensorSlots splitData_new_XYZ(Bytes clip, std::uint64_t skipped);

  struct Chunk {
    std::uint64_t offset;  // of the marker in the clip
    std::uint64_t slots;   // m
    std::uint64_t base;    // slots of the earlier chunks
  };

  Bytes clip_;
  std::vector<Chunk> chunks_;
  std::vector<std::uint64_t> searched_lengths_;  // m after every search, for the log
  std::uint64_t base_ = 0;
};

// Searches the "gsen" chunks of the clip. An empty chunk (the marker within
// the last 11 bytes) ends the search: searching on from it would find it again.
// `skipped`: bytes of the file before `clip` when only its tail was read.
GsensorSlots splitData_new_XYZ(Bytes clip, std::uint64_t skipped = 0);

}  // namespace vek::track
