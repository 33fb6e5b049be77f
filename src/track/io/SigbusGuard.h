#pragma once
// A mapped clip that shrinks while it is read (a memory card pulled out, a
// file truncated by another program) raises SIGBUS on the lost pages, which
// would end the process. The guard maps zero pages over the lost part instead
// and flags the mapping, so the parse runs to its end and the caller reports
// the clip as changed rather than writing a track from it.
//
// The handler is installed once per process and hands signals outside the
// watched mappings to the handler that was there before.

#include <cstddef>

namespace vek::track::io {

class SigbusGuard {
 public:
  static constexpr int kUnwatched = -1;

  // Watches [begin, begin + size) of a mapping; kUnwatched when all slots are in use.
  static int watch(const std::byte* begin, std::size_t size) noexcept;
  static void forget(int slot) noexcept;
  // Whether a page of the watched mapping was lost since watch().
  static bool faulted(int slot) noexcept;
};

}  // namespace vek::track::io
