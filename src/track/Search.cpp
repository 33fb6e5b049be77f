#include "track/Search.h"

#include <string.h>  // memmem
#include <cstdint>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace vek::track {
namespace {

using u8 = unsigned char;

using Scan = std::size_t (*)(const u8* hay, std::size_t n, const u8* pat, std::size_t m) noexcept;

struct Scanner {
  std::string_view name;
  bool (*supported)() noexcept;
  Scan scan;
};

// The byte walk itself: used for the few starts a vector block cannot cover.
std::size_t walk(const u8* hay, std::size_t begin, std::size_t n, const u8* pat, std::size_t m) noexcept {
  for (std::size_t p = begin; p + m <= n; ++p) {
    if (std::memcmp(hay + p, pat, m) == 0) return p;
  }
  return n;
}

std::size_t walk_all(const u8* hay, std::size_t n, const u8* pat, std::size_t m) noexcept {
  return walk(hay, 0, n, pat, m);
}

#if defined(__x86_64__)
constexpr std::size_t kLanes = 16;          // bytes per SSE2 register
constexpr std::size_t kBlock = 4 * kLanes;  // one cache line per loop turn

// Checks candidate starts (bit k: start i + k) left to right.
std::size_t confirm(const u8* hay, std::size_t i, std::uint64_t mask, const u8* pat, std::size_t m) noexcept {
  for (; mask != 0; mask &= mask - 1) {
    const auto bit = static_cast<std::size_t>(__builtin_ctzll(mask));
    if (std::memcmp(hay + i + bit, pat, m) == 0) return i + bit;
  }
  return SIZE_MAX;
}

// Bit k set when start (at + k) matches the pattern's first and last byte.
std::uint64_t candidates_sse2(const u8* at, std::size_t m, __m128i first, __m128i last) noexcept {
  const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + m - 1));
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
}

// Filters 64 starts per turn on the pattern's first and last byte, then
// confirms candidates left to right: the leftmost match, at memory speed.
std::size_t scan_sse2(const u8* hay, std::size_t n, const u8* pat, std::size_t m) noexcept {
  const __m128i first = _mm_set1_epi8(static_cast<char>(pat[0]));
  const __m128i last = _mm_set1_epi8(static_cast<char>(pat[m - 1]));
  std::size_t i = 0;
  for (; i + (m - 1) + kBlock <= n; i += kBlock) {
    std::uint64_t mask = 0;
    for (std::size_t g = 0; g < kBlock / kLanes; ++g)
      mask |= candidates_sse2(hay + i + g * kLanes, m, first, last) << (g * kLanes);
    if (mask != 0) {
      if (const std::size_t hit = confirm(hay, i, mask, pat, m); hit != SIZE_MAX) return hit;
    }
  }
  return walk(hay, i, n, pat, m);
}

// The same filter, 32 starts per register.
__attribute__((target("avx2"))) std::size_t scan_avx2(const u8* hay, std::size_t n, const u8* pat,
                                                      std::size_t m) noexcept {
  constexpr std::size_t kWide = 32;
  const __m256i first = _mm256_set1_epi8(static_cast<char>(pat[0]));
  const __m256i last = _mm256_set1_epi8(static_cast<char>(pat[m - 1]));
  std::size_t i = 0;
  for (; i + (m - 1) + kBlock <= n; i += kBlock) {
    std::uint64_t mask = 0;
    for (std::size_t g = 0; g < kBlock / kWide; ++g) {
      const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(hay + i + g * kWide));
      const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(hay + i + g * kWide + m - 1));
      const auto bits = static_cast<std::uint32_t>(
          _mm256_movemask_epi8(_mm256_and_si256(_mm256_cmpeq_epi8(a, first), _mm256_cmpeq_epi8(b, last))));
      mask |= static_cast<std::uint64_t>(bits) << (g * kWide);
    }
    if (mask != 0) {
      if (const std::size_t hit = confirm(hay, i, mask, pat, m); hit != SIZE_MAX) return hit;
    }
  }
  return walk(hay, i, n, pat, m);
}

// The same filter, 64 starts per register, two registers per turn.
__attribute__((target("avx512bw"))) std::size_t scan_avx512(const u8* hay, std::size_t n, const u8* pat,
                                                            std::size_t m) noexcept {
  constexpr std::size_t kWide = 64;
  const __m512i first = _mm512_set1_epi8(static_cast<char>(pat[0]));
  const __m512i last = _mm512_set1_epi8(static_cast<char>(pat[m - 1]));
  std::size_t i = 0;
  for (; i + (m - 1) + 2 * kWide <= n; i += 2 * kWide) {
    for (std::size_t g = 0; g < 2; ++g) {
      const u8* at = hay + i + g * kWide;
      const __m512i a = _mm512_loadu_si512(at);
      const __m512i b = _mm512_loadu_si512(at + m - 1);
      const std::uint64_t mask = _mm512_cmpeq_epi8_mask(a, first) & _mm512_cmpeq_epi8_mask(b, last);
      if (mask != 0) {
        if (const std::size_t hit = confirm(hay, i + g * kWide, mask, pat, m); hit != SIZE_MAX) return hit;
      }
    }
  }
  return walk(hay, i, n, pat, m);
}

const Scanner kScanners[] = {
    // best first
    {"avx512bw", []() noexcept -> bool { return __builtin_cpu_supports("avx512bw"); }, scan_avx512},
    {"avx2", []() noexcept -> bool { return __builtin_cpu_supports("avx2"); }, scan_avx2},
    {"sse2", []() noexcept { return true; }, scan_sse2},
};
#else
std::size_t scan_memmem(const u8* hay, std::size_t n, const u8* pat, std::size_t m) noexcept {
  const void* hit = ::memmem(hay, n, pat, m);
  return hit == nullptr ? n : static_cast<std::size_t>(static_cast<const u8*>(hit) - hay);
}

const Scanner kScanners[] = {
    {"memmem", []() noexcept { return true; }, scan_memmem},
};
#endif

Scan best_scan() noexcept {
  for (const Scanner& scanner : kScanners) {
    if (scanner.supported()) return scanner.scan;
  }
  return walk_all;
}

std::uint64_t index_with(Scan scan, Bytes pattern, Bytes haystack, std::uint64_t offset) noexcept {
  const std::uint64_t m = pattern.size();
  const std::uint64_t n = haystack.size();
  if (m > n || offset > n - m) return NSNotFound;
  if (m == 0) return offset;
  const Bytes rest = haystack.subspan(static_cast<std::size_t>(offset));
  const auto* hay = reinterpret_cast<const u8*>(rest.data());
  const auto* pat = reinterpret_cast<const u8*>(pattern.data());
  const std::size_t found = scan(hay, rest.size(), pat, pattern.size());
  return found == rest.size() ? NSNotFound : offset + found;
}

}  // namespace

std::uint64_t indexOfData(Bytes pattern, Bytes haystack, std::uint64_t offset) noexcept {
  static const Scan best = best_scan();
  return index_with(best, pattern, haystack, offset);
}

Bytes marker_bytes(std::string_view marker) noexcept {
  return std::as_bytes(std::span<const char>(marker.data(), marker.size()));
}

namespace detail {

std::vector<std::string_view> scan_paths() {
  std::vector<std::string_view> names;
  for (const Scanner& scanner : kScanners) {
    if (scanner.supported()) names.push_back(scanner.name);
  }
  return names;
}

std::uint64_t indexOfData_on(std::string_view path, Bytes pattern, Bytes haystack, std::uint64_t offset) noexcept {
  for (const Scanner& scanner : kScanners) {
    if (scanner.name == path && scanner.supported()) return index_with(scanner.scan, pattern, haystack, offset);
  }
  return index_with(walk_all, pattern, haystack, offset);
}

}  // namespace detail
}  // namespace vek::track
