#include "base/files/TemporaryCleanup.h"

#include <linux/limits.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <csignal>
#include <cstring>

namespace vek::base {
namespace {

// More files than one program writes at once (one track, one snapshot, one
// export, one recording).
constexpr std::size_t kSlots = 16;

struct Slot {
  std::atomic<bool> claimed{false};  // a writer owns `path`
  std::atomic<bool> ready{false};    // `path` is complete and may be removed
  std::array<char, PATH_MAX> path{};
};

std::array<Slot, kSlots> slots;

void remove_pending_and_reraise(int signal_number) {
  for (Slot& slot : slots) {
    if (slot.ready.load()) ::unlink(slot.path.data());
  }
  std::signal(signal_number, SIG_DFL);
  std::raise(signal_number);
}

}  // namespace

void remove_temporaries_on_signals() {
  for (const int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
    std::signal(signal_number, remove_pending_and_reraise);
  }
}

void register_temporary(const char* path) noexcept {
  const std::size_t length = std::strlen(path);
  if (length >= PATH_MAX) return;
  for (Slot& slot : slots) {
    if (!slot.claimed.exchange(true)) {
      std::memcpy(slot.path.data(), path, length + 1);
      slot.ready.store(true);
      return;
    }
  }
}

void unregister_temporary(const char* path) noexcept {
  for (Slot& slot : slots) {
    if (slot.ready.load() && std::strcmp(slot.path.data(), path) == 0) {
      slot.ready.store(false);
      slot.claimed.store(false);
      return;
    }
  }
}

}  // namespace vek::base
