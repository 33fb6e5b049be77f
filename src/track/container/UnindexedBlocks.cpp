#include "track/container/UnindexedBlocks.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace vek::track::container {
namespace {

constexpr std::string_view kBlockTag = "freeGPS ";
constexpr std::size_t kSizeField = 4;
constexpr std::size_t kHeaderBytes = kSizeField + kBlockTag.size();

bool is_block_header(std::span<const std::byte, kHeaderBytes> head) noexcept {
  const auto tag = head.subspan<kSizeField>();
  return head[0] == std::byte{0} && head[3] == std::byte{0} &&
         std::equal(kBlockTag.begin(), kBlockTag.end(), tag.begin(),
                    [](char c, std::byte b) { return static_cast<char>(b) == c; });
}

}  // namespace

std::vector<std::uint64_t> unindexed_block_places(const std::vector<Atom>& top_level) {
  const Atom* mdat = find_atom(top_level, "mdat");
  if (mdat == nullptr || mdat->end() - mdat->payload() < kHeaderBytes) return {};
  const std::uint64_t start = mdat->payload();
  const std::uint64_t last = std::min(mdat->end() - kHeaderBytes, start + kUnindexedBlockReach);
  std::vector<std::uint64_t> places;
  for (std::uint64_t at = start; at <= last; at += kUnindexedBlockStep)
    places.push_back(at);
  const std::uint64_t first_boundary = (start + kUnindexedBlockStep - 1) / kUnindexedBlockStep * kUnindexedBlockStep;
  for (std::uint64_t at = first_boundary; at <= last; at += kUnindexedBlockStep)
    places.push_back(at);
  std::sort(places.begin(), places.end());
  places.erase(std::unique(places.begin(), places.end()), places.end());
  return places;
}

bool has_unindexed_block(ByteSource& source, const std::vector<Atom>& top_level) {
  std::array<std::byte, kHeaderBytes> head{};
  for (const std::uint64_t at : unindexed_block_places(top_level)) {
    if (source.read(at, head) && is_block_header(head)) return true;
  }
  return false;
}

}  // namespace vek::track::container
