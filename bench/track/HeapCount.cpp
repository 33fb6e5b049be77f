#include "HeapCount.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {
std::atomic<std::size_t> g_live{0};
std::atomic<std::size_t> g_peak{0};
}  // namespace

void* operator new(std::size_t size) {
  void* p = std::malloc(size + sizeof(std::max_align_t));
  if (p == nullptr) throw std::bad_alloc();
  std::memcpy(p, &size, sizeof size);
  const std::size_t live = g_live += size;
  std::size_t peak = g_peak.load();
  while (live > peak && !g_peak.compare_exchange_weak(peak, live)) {
  }
  return static_cast<char*>(p) + sizeof(std::max_align_t);
}

void operator delete(void* p) noexcept {
  if (p == nullptr) return;
  char* block = static_cast<char*>(p) - sizeof(std::max_align_t);
  std::size_t size = 0;
  std::memcpy(&size, block, sizeof size);
  g_live -= size;
  std::free(block);
}

void operator delete(void* p, std::size_t) noexcept {
  operator delete(p);
}

namespace vek::bench {

std::size_t start_heap_peak() {
  const std::size_t live = g_live.load();
  g_peak = live;
  return live;
}

std::size_t heap_peak() {
  return g_peak.load();
}

}  // namespace vek::bench
