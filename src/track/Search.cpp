#include "Search.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vek::track {
namespace {

using u8 = unsigned char;

// The byte walk itself: used for the few starts a vector block cannot cover.
std::size_t walk(const u8* hay, std::size_t begin, std::size_t n, const u8* pat, std::size_t m) noexcept
{
    for (std::size_t p = begin; p + m <= n; ++p) {
        if (std::memcmp(hay + p, pat, m) == 0)
            return p;
    }
    return n;
}

#if defined(__SSE2__)
constexpr std::size_t kLanes = 16;          // bytes per SSE2 register
constexpr std::size_t kBlock = 4 * kLanes;  // one cache line per loop turn

// Bit k set when start (at + k) matches the pattern's first and last byte.
unsigned candidates(const u8* at, std::size_t m, __m128i first, __m128i last) noexcept
{
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + m - 1));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
}

// Checks the candidate starts of one 16-byte lane group in increasing order.
std::size_t confirm(const u8* hay, std::size_t i, unsigned mask, const u8* pat, std::size_t m) noexcept
{
    for (; mask != 0; mask &= mask - 1) {
        const auto bit = static_cast<std::size_t>(__builtin_ctz(mask));
        if (std::memcmp(hay + i + bit, pat, m) == 0)
            return i + bit;
    }
    return SIZE_MAX;
}

// Filters 64 starts per turn on the pattern's first and last byte, then
// confirms candidates left to right: the leftmost match, at memory speed.
std::size_t scan(const u8* hay, std::size_t n, const u8* pat, std::size_t m) noexcept
{
    const __m128i first = _mm_set1_epi8(static_cast<char>(pat[0]));
    const __m128i last = _mm_set1_epi8(static_cast<char>(pat[m - 1]));
    std::size_t i = 0;
    for (; i + (m - 1) + kBlock <= n; i += kBlock) {
        unsigned masks[4];
        for (std::size_t g = 0; g < 4; ++g)
            masks[g] = candidates(hay + i + g * kLanes, m, first, last);
        if ((masks[0] | masks[1] | masks[2] | masks[3]) == 0)
            continue;
        for (std::size_t g = 0; g < 4; ++g) {
            const std::size_t hit = confirm(hay, i + g * kLanes, masks[g], pat, m);
            if (hit != SIZE_MAX)
                return hit;
        }
    }
    return walk(hay, i, n, pat, m);
}
#else
std::size_t scan(const u8* hay, std::size_t n, const u8* pat, std::size_t m) noexcept
{
    const void* hit = ::memmem(hay, n, pat, m);
    return hit == nullptr ? n : static_cast<std::size_t>(static_cast<const u8*>(hit) - hay);
}
#endif

} // namespace

std::uint64_t indexOfData(Bytes pattern, Bytes haystack, std::uint64_t offset) noexcept
{
    const std::uint64_t m = pattern.size();
    const std::uint64_t n = haystack.size();
    if (m > n || offset > n - m)
        return NSNotFound;
    if (m == 0)
        return offset;
    const Bytes rest = haystack.subspan(static_cast<std::size_t>(offset));
    const auto* hay = reinterpret_cast<const u8*>(rest.data());
    const auto* pat = reinterpret_cast<const u8*>(pattern.data());
    const std::size_t found = scan(hay, rest.size(), pat, pattern.size());
    return found == rest.size() ? NSNotFound : offset + found;
}

Bytes marker_bytes(std::string_view marker) noexcept
{
    return std::as_bytes(std::span<const char>(marker.data(), marker.size()));
}

} // namespace vek::track
