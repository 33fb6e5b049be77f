#include "track/io/SigbusGuard.h"

#include <sys/mman.h>
#include <unistd.h>
#include <atomic>
#include <csignal>
#include <cstdint>
#include <mutex>

namespace vek::track::io {
namespace {

constexpr int kSlots = 64;  // clips mapped at the same time; the viewer maps one

struct Slot {
  std::atomic<std::uintptr_t> begin{0};
  std::atomic<std::uintptr_t> end{0};  // page-rounded, as the mapping is
  std::atomic<bool> faulted{false};
  std::atomic<bool> used{false};
};

Slot g_slots[kSlots];
struct sigaction g_previous {};
std::uintptr_t g_page = 4096;
std::once_flag g_installed;

void pass_on(int signal, siginfo_t* info, void* context) {
  if ((g_previous.sa_flags & SA_SIGINFO) != 0 && g_previous.sa_sigaction != nullptr) {
    g_previous.sa_sigaction(signal, info, context);
  } else if (g_previous.sa_handler != SIG_DFL && g_previous.sa_handler != SIG_IGN) {
    g_previous.sa_handler(signal);
  } else {
    // Returning re-runs the faulting access, which now takes the default action.
    ::signal(SIGBUS, SIG_DFL);
  }
}

// Async-signal-safe: atomics and mmap only.
void on_sigbus(int signal, siginfo_t* info, void* context) {
  const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
  for (Slot& slot : g_slots) {
    const std::uintptr_t begin = slot.begin.load();
    const std::uintptr_t end = slot.end.load();
    if (begin == 0 || address < begin || address >= end) continue;
    const std::uintptr_t page = address & ~(g_page - 1);
    // The page is computed from the faulting address, and mmap takes it back
    // as a pointer: no pointer to derive it from exists here.
    void* zeros = ::mmap(reinterpret_cast<void*>(page),  // NOLINT(performance-no-int-to-ptr)
                         end - page, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    if (zeros != MAP_FAILED) {
      slot.faulted.store(true);
      return;
    }
  }
  pass_on(signal, info, context);
}

void install() noexcept {
  g_page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  struct sigaction action {};
  action.sa_sigaction = on_sigbus;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGBUS, &action, &g_previous);
}

}  // namespace

int SigbusGuard::watch(const std::byte* begin, std::size_t size) noexcept {
  std::call_once(g_installed, install);
  for (int i = 0; i < kSlots; ++i) {
    Slot& slot = g_slots[i];
    bool expected = false;
    if (!slot.used.compare_exchange_strong(expected, true)) continue;
    const auto start = reinterpret_cast<std::uintptr_t>(begin);
    slot.faulted.store(false);
    slot.end.store(start + (size + g_page - 1) / g_page * g_page);
    slot.begin.store(start);
    return i;
  }
  return kUnwatched;
}

void SigbusGuard::forget(int slot) noexcept {
  if (slot < 0 || slot >= kSlots) return;
  g_slots[slot].begin.store(0);
  g_slots[slot].end.store(0);
  g_slots[slot].used.store(false);
}

bool SigbusGuard::faulted(int slot) noexcept {
  return slot >= 0 && slot < kSlots && g_slots[slot].faulted.load();
}

}  // namespace vek::track::io
