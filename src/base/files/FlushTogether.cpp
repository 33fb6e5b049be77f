#include "base/files/FlushTogether.h"

#include <liburing.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>

namespace vek::base {
namespace {

// A track and its records, with room to spare; more files go in batches.
constexpr unsigned kRingDepth = 8;
constexpr int kNotFlushed = -1;

int flush_one(int fd) {
  return ::fsync(fd) == 0 ? 0 : errno;
}

// One small ring per thread, set up at its first group: a ring costs a
// system call and a map, more than the flushes it saves on a single file.
class FlushRing {
 public:
  FlushRing() : ready_(io_uring_queue_init(kRingDepth, &ring_, 0) == 0) {}
  FlushRing(const FlushRing&) = delete;
  FlushRing& operator=(const FlushRing&) = delete;
  ~FlushRing() {
    if (ready_) io_uring_queue_exit(&ring_);
  }

  // Flushes a batch of at most kRingDepth files into `codes`; those the ring
  // could not take keep kNotFlushed.
  void flush(std::span<const int> fds, std::span<int> codes) {
    if (!ready_) return;
    for (std::size_t i = 0; i < fds.size(); ++i) {
      io_uring_sqe* sqe = io_uring_get_sqe(&ring_);
      if (sqe == nullptr) break;  // never with the batches kept to the depth
      io_uring_prep_fsync(sqe, fds[i], 0);
      io_uring_sqe_set_data64(sqe, i);
    }
    const int submitted = io_uring_submit(&ring_);
    for (int k = 0; k < submitted && ready_; ++k)
      complete_one(codes);
    // Requests left in the ring would go with a later batch: the ring is given up.
    if (submitted != static_cast<int>(fds.size())) ready_ = false;
  }

 private:
  void complete_one(std::span<int> codes) {
    io_uring_cqe* cqe = nullptr;
    int waited = 0;
    do {
      waited = io_uring_wait_cqe(&ring_, &cqe);
    } while (waited == -EINTR);
    if (waited < 0) {
      ready_ = false;
      return;
    }
    codes[static_cast<std::size_t>(io_uring_cqe_get_data64(cqe))] = cqe->res < 0 ? -cqe->res : 0;
    io_uring_cqe_seen(&ring_, cqe);
  }

  io_uring ring_{};
  bool ready_ = false;
};

}  // namespace

std::vector<int> flush_together(std::span<const int> fds) {
  std::vector<int> codes(fds.size(), kNotFlushed);
  if (fds.size() > 1) {
    thread_local FlushRing ring;
    for (std::size_t first = 0; first < fds.size(); first += kRingDepth) {
      const std::size_t count = std::min<std::size_t>(kRingDepth, fds.size() - first);
      ring.flush(fds.subspan(first, count), std::span(codes).subspan(first, count));
    }
  }
  // A flush repeated is harmless, so any the ring did not report is done here.
  for (std::size_t i = 0; i < fds.size(); ++i) {
    if (codes[i] == kNotFlushed) codes[i] = flush_one(fds[i]);
  }
  return codes;
}

}  // namespace vek::base
