#pragma once
// Scattered ranges of a clip read straight from the device, many requests in
// flight at once through one io_uring submission. On a cold clip this costs a
// fraction of a page-cache read-ahead per range: no pages are added to the
// cache (nor left resident), no copy is made, and one call submits them all.

#include "track/container/ByteSource.h"

#include <liburing.h>

#include <cstddef>
#include <memory>
#include <span>
#include <vector>

namespace vek::track::io {

// The file open as `fd` opened again for direct reads; -1 when its file
// system does not offer them. The caller closes it.
int open_direct(int fd);

// A ring and a buffer, set up once per thread: a fresh buffer per clip would
// cost a page fault per page the device writes into.
class DirectReads {
 public:
  // This thread's; nothing when the kernel offers no io_uring, or its ring failed.
  static DirectReads* for_this_thread();

  DirectReads(const DirectReads&) = delete;
  DirectReads& operator=(const DirectReads&) = delete;
  ~DirectReads();

  struct Outcome {
    std::size_t visited = 0;  // ranges handed to the visitor, from the first on
    bool stopped = false;     // the visitor asked to stop
  };
  // Reads the ranges in batches and visits them in order. Stops early at a
  // range it could not read, unvisited; the caller reads the rest another
  // way, which tells a failing file from a refusal.
  // `fd` is open for direct reads.
  Outcome read(int fd, std::span<const container::ByteRange> ranges, const container::RangeVisitor& visit);

 private:
  DirectReads() = default;
  // Sets up the ring and the buffer; false when the kernel refuses the ring.
  bool set_up();
  std::size_t batch_end(std::span<const container::ByteRange> ranges, std::size_t first) const noexcept;
  unsigned submit(int fd, std::span<const container::ByteRange> batch);
  bool next_completion(std::span<const container::ByteRange> batch);
  bool complete_in_order(unsigned submitted, std::span<const container::ByteRange> batch,
                         const container::RangeVisitor& visit, Outcome& outcome);
  std::size_t visit_arrived(std::span<const container::ByteRange> batch, std::size_t next,
                            const container::RangeVisitor& visit, Outcome& outcome);

  // Where a range of the batch lies in the buffer, and how its read went.
  struct Slot {
    enum State { waiting, arrived, failed };
    std::size_t at = 0;
    State state = waiting;
  };

  io_uring ring_{};
  bool tried_ = false;
  bool ring_ready_ = false;
  bool usable_ = true;
  std::unique_ptr<std::byte[]> storage_;  // the buffer, with room to align it
  std::span<std::byte> buffer_;
  std::vector<Slot> slots_;
};

}  // namespace vek::track::io
