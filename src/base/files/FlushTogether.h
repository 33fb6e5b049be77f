#pragma once
// Flushes of files written together, waited for together. One flush after
// another makes each pay its own journal commit and device cache flush (a
// millisecond or more on a virtual disk); flushes in flight at once share the
// commit that the first one starts, and its flush.

#include <span>
#include <vector>

namespace vek::base {

// fsync of each of `fds`, all in flight at once (through io_uring, else one
// after another); the error number of each, in order, 0 when it is flushed.
std::vector<int> flush_together(std::span<const int> fds);

}  // namespace vek::base
