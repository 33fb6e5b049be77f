#include "track/io/DirectReads.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <cerrno>
#include <memory>
#include <string>

namespace vek::track::io {
namespace {

using container::ByteRange;

// Every device's logical block divides this, and it is the page size: reads
// on these boundaries suit O_DIRECT on any file system that offers it.
constexpr std::uint64_t kAlignment = 4096;
// x86-64's huge page, a multiple of kAlignment.
constexpr std::size_t kHugePage = std::size_t{2} << 20;
// A clip's boxes in one batch (a 3-minute clip lists 180 of 32 KiB), so
// none waits for a batch before it; a run of boxes is about a MiB at most.
constexpr std::size_t kBufferSize = std::size_t{8} << 20;
// Requests in flight per batch: a box a second for over four minutes.
constexpr unsigned kDepth = 256;

struct AlignedSpan {
  std::uint64_t begin = 0;
  std::uint64_t length = 0;
};

AlignedSpan aligned(const ByteRange& range) noexcept {
  const std::uint64_t begin = range.offset / kAlignment * kAlignment;
  const std::uint64_t end = (range.end() + kAlignment - 1) / kAlignment * kAlignment;
  return {begin, end - begin};
}

}  // namespace

int open_direct(int fd) {
  // The same open file, found again: its path may name another file by now.
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  return ::open(self.c_str(), O_RDONLY | O_CLOEXEC | O_DIRECT | O_NONBLOCK | O_NOCTTY);
}

bool DirectReads::set_up() {
  // O_DIRECT reads land on aligned memory; on huge-page boundaries, the
  // buffer can be backed by huge pages where the system offers them (it
  // asks for the hint), so a box's read pins one page instead of nine and
  // reaches the device as one piece: a clip's reads are submitted in about a
  // third of the time. Without them it works as before.
  constexpr std::size_t kRoom = kBufferSize + kHugePage;
  storage_ = std::make_unique_for_overwrite<std::byte[]>(kRoom);
  void* start = storage_.get();
  std::size_t room = kRoom;
  if (std::align(kHugePage, kBufferSize, start, room) == nullptr) return false;
  ::madvise(start, kBufferSize, MADV_HUGEPAGE);
  buffer_ = std::span<std::byte>(static_cast<std::byte*>(start), kBufferSize);
  ring_ready_ = io_uring_queue_init(kDepth, &ring_, 0) == 0;
  return ring_ready_;
}

DirectReads* DirectReads::for_this_thread() {
  thread_local DirectReads reads;
  if (!reads.tried_) {
    reads.tried_ = true;
    reads.usable_ = reads.set_up();
  }
  return reads.usable_ ? &reads : nullptr;
}

DirectReads::~DirectReads() {
  if (ring_ready_) io_uring_queue_exit(&ring_);
}

DirectReads::Outcome DirectReads::read(int fd, std::span<const ByteRange> ranges,
                                       const container::RangeVisitor& visit) {
  Outcome outcome;
  while (usable_ && !outcome.stopped && outcome.visited < ranges.size()) {
    const std::size_t end = batch_end(ranges, outcome.visited);
    if (end == outcome.visited) break;  // a range larger than the buffer
    const auto batch = ranges.subspan(outcome.visited, end - outcome.visited);
    if (!complete_in_order(submit(fd, batch), batch, visit, outcome)) break;
  }
  return outcome;
}

std::size_t DirectReads::batch_end(std::span<const ByteRange> ranges, std::size_t first) const noexcept {
  std::uint64_t bytes = 0;
  std::size_t end = first;
  while (end < ranges.size() && end - first < kDepth) {
    const std::uint64_t length = aligned(ranges[end]).length;
    if (length > kBufferSize - bytes) break;
    bytes += length;
    ++end;
  }
  return end;
}

unsigned DirectReads::submit(int fd, std::span<const ByteRange> batch) {
  const std::span<std::byte> into = buffer_;
  slots_.assign(batch.size(), Slot{});
  std::uint64_t at = 0;
  for (std::size_t k = 0; k < batch.size(); ++k) {
    const AlignedSpan span = aligned(batch[k]);
    io_uring_sqe* sqe = io_uring_get_sqe(&ring_);
    io_uring_prep_read(sqe, fd, into.subspan(at, span.length).data(), static_cast<unsigned>(span.length), span.begin);
    io_uring_sqe_set_data64(sqe, k);
    slots_[k].at = at + (batch[k].offset - span.begin);
    at += span.length;
  }
  const int submitted = io_uring_submit(&ring_);
  // What was not submitted stays queued: the ring is not used again, so it never runs.
  if (submitted < 0 || static_cast<std::size_t>(submitted) != batch.size()) usable_ = false;
  return submitted < 0 ? 0 : static_cast<unsigned>(submitted);
}

// The next completed read's slot; false, with the buffer given up, when the
// ring fails: reads may still be landing in it.
bool DirectReads::next_completion(std::span<const ByteRange> batch) {
  io_uring_cqe* cqe = nullptr;
  int waited = 0;
  do {
    waited = io_uring_wait_cqe(&ring_, &cqe);
  } while (waited == -EINTR || waited == -EAGAIN);
  if (waited < 0) {
    static_cast<void>(storage_.release());
    buffer_ = {};
    usable_ = false;
    return false;
  }
  const auto k = static_cast<std::size_t>(io_uring_cqe_get_data64(cqe));
  const std::uint64_t needed = batch[k].end() - aligned(batch[k]).begin;
  slots_[k].state = cqe->res >= 0 && static_cast<std::uint64_t>(cqe->res) >= needed ? Slot::arrived : Slot::failed;
  io_uring_cqe_seen(&ring_, cqe);
  return true;
}

// Visits the ranges in order as their reads complete, so decoding overlaps
// the reads still under way; every submitted read is waited for, whatever
// it gives or the visitor throws, since the device writes into the buffer
// until then.
bool DirectReads::complete_in_order(unsigned submitted, std::span<const ByteRange> batch,
                                    const container::RangeVisitor& visit, Outcome& outcome) {
  unsigned completed = 0;
  try {
    std::size_t next = 0;
    while (completed < submitted) {
      if (!next_completion(batch)) return false;
      ++completed;
      next = visit_arrived(batch, next, visit, outcome);
    }
    return next == batch.size();
  } catch (...) {
    while (completed < submitted && next_completion(batch))
      ++completed;
    throw;
  }
}

// Visits the ranges from `next` on whose reads have arrived; the next one to visit.
std::size_t DirectReads::visit_arrived(std::span<const ByteRange> batch, std::size_t next,
                                       const container::RangeVisitor& visit, Outcome& outcome) {
  const std::size_t first = outcome.visited - next;
  for (; !outcome.stopped && next < batch.size() && slots_[next].state == Slot::arrived; ++next) {
    if (!visit(first + next, buffer_.subspan(slots_[next].at, batch[next].size))) {
      outcome.stopped = true;
      return next;
    }
    outcome.visited = first + next + 1;
  }
  return next;
}

}  // namespace vek::track::io
