#include "track/MovieHeader.h"

#include <array>
#include <cstdint>

namespace vek::track {
namespace {

constexpr std::uint64_t kBoxHeader = 8;
constexpr std::uint64_t kLargeBoxHeader = 16;
// Boxes visited before giving up, so a clip of tiny boxes costs little.
constexpr int kMaxBoxes = 4096;

struct Box {
  std::uint64_t body = 0;  // offset of the first byte after the header
  std::uint64_t end = 0;
};

std::uint32_t u32be(ByteReader& in, std::uint64_t at) {
  return static_cast<std::uint32_t>(in.i32be(at));
}

std::uint64_t u64be(ByteReader& in, std::uint64_t at) {
  return (static_cast<std::uint64_t>(u32be(in, at)) << 32U) | u32be(in, at + 4);
}

bool has_type(ByteReader& in, std::uint64_t at, const std::array<char, 4>& type) {
  const Bytes field = in.range(at + 4, 4);
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (static_cast<char>(field[i]) != type.at(i)) return false;
  }
  return field.size() == 4;
}

// The box of `type` among the boxes in [from, to), when one is found.
std::optional<Box> find_box(ByteReader& in, std::uint64_t from, std::uint64_t to, const std::array<char, 4>& type) {
  std::uint64_t at = from;
  for (int visited = 0; visited < kMaxBoxes && in.fits(at, kBoxHeader) && at + kBoxHeader <= to; ++visited) {
    std::uint64_t size = u32be(in, at);
    std::uint64_t header = kBoxHeader;
    if (size == 1) {
      size = in.fits(at, kLargeBoxHeader) ? u64be(in, at + kBoxHeader) : 0;
      header = kLargeBoxHeader;
    } else if (size == 0) {
      size = to - at;
    }
    if (size < header || size > to - at) return std::nullopt;
    if (has_type(in, at, type)) return Box{at + header, at + size};
    at += size;
  }
  return std::nullopt;
}

constexpr std::uint64_t kSeconds1904To1970 = 2082844800;

std::optional<Box> movie_header(ByteReader& in) {
  const std::optional<Box> movie = find_box(in, 0, in.size(), {'m', 'o', 'o', 'v'});
  if (!movie) return std::nullopt;
  return find_box(in, movie->body, movie->end, {'m', 'v', 'h', 'd'});
}

}  // namespace

std::optional<double> movie_creation_unix(Bytes clip) {
  ByteReader in(clip);
  const std::optional<Box> header = movie_header(in);
  if (!header) return std::nullopt;
  const bool wide = in.u8(header->body) == 1;
  const std::uint64_t field_end = header->body + 4 + (wide ? 8 : 4);
  if (field_end > header->end || !in.fits(header->body, field_end - header->body)) return std::nullopt;
  const std::uint64_t created = wide ? u64be(in, header->body + 4) : u32be(in, header->body + 4);
  if (created < kSeconds1904To1970) return std::nullopt;
  return static_cast<double>(created - kSeconds1904To1970);
}

std::optional<double> movie_duration_seconds(Bytes clip) {
  ByteReader in(clip);
  const std::optional<Box> header = movie_header(in);
  if (!header) return std::nullopt;
  const bool wide = in.u8(header->body) == 1;  // version 1: 64-bit times and duration
  const std::uint64_t scale_at = header->body + (wide ? 20 : 12);
  const std::uint64_t field_end = scale_at + 4 + (wide ? 8 : 4);
  if (field_end > header->end || !in.fits(header->body, field_end - header->body)) return std::nullopt;
  const std::uint32_t timescale = u32be(in, scale_at);
  const std::uint64_t duration = wide ? u64be(in, scale_at + 4) : u32be(in, scale_at + 4);
  if (timescale == 0) return std::nullopt;
  return static_cast<double>(duration) / timescale;
}

}  // namespace vek::track
