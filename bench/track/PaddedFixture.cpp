#include "PaddedFixture.h"

#include "track/container/SampleTable.h"
#include "track/formats/AitgTrailer.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <limits>
#include <vector>

namespace vek::bench {
namespace {

namespace container = vek::track::container;
using Bytes = std::vector<std::byte>;

constexpr std::uint64_t kAtomHeader = 8;
constexpr std::size_t kChunk = std::size_t{1} << 20;

void add_be(Bytes& b, std::uint64_t at, std::uint64_t delta, unsigned width) {
  std::uint64_t value = 0;
  for (unsigned i = 0; i < width; ++i)
    value = (value << 8U) | static_cast<std::uint64_t>(b[at + i]);
  value += delta;
  for (unsigned i = 0; i < width; ++i)
    b[at + i] = static_cast<std::byte>(value >> (8 * (width - 1 - i)));
}

bool is_table_path(const container::Atom& a) {
  return a.is("moov") || a.is("trak") || a.is("mdia") || a.is("minf") || a.is("stbl");
}

// Moves every entry of each track's `stco` or `co64` under `atom` by `delta`.
void shift_chunks(Bytes& clip, container::SpanSource& source, const container::Atom& atom, std::uint64_t delta) {
  const unsigned width = atom.is("co64") ? 8 : atom.is("stco") ? 4 : 0;
  for (std::uint64_t at = atom.payload() + 8; width != 0 && at + width <= atom.end(); at += width)
    add_be(clip, at, delta, width);
  if (!is_table_path(atom)) return;
  for (const auto& child :
       container::walk_atoms(source, atom.payload(), atom.end()).value_or(std::vector<container::Atom>{}))
    shift_chunks(clip, source, child, delta);
}

// Top-level atoms but the media data, and the samples of tracks that are neither video nor sound.
std::uint64_t needed_bytes(container::SpanSource& source, const std::vector<container::Atom>& top) {
  std::uint64_t bytes = 0;
  for (const auto& atom : top)
    bytes += atom.is("mdat") ? kAtomHeader : atom.size;
  for (const auto& t : container::read_movie_tables(source, top).tracks) {
    if (t.handler_is("vide") || t.handler_is("soun")) continue;
    for (const auto& s : t.samples)
      bytes += s.size;
  }
  return bytes;
}

void write_media(std::ofstream& out, std::uint64_t n) {
  std::vector<char> chunk(kChunk);
  std::uint64_t random = 0x9E3779B97F4A7C15ULL;
  for (char& c : chunk) {
    random ^= random << 13U, random ^= random >> 7U, random ^= random << 17U;
    c = static_cast<char>(random | 0x80U);  // high bit set: no ASCII marker forms in it
  }
  for (; n > 0; n -= std::min<std::uint64_t>(n, kChunk))
    out.write(chunk.data(), static_cast<std::streamsize>(std::min<std::uint64_t>(n, kChunk)));
}

void write_bytes(std::ofstream& out, std::span<const std::byte> bytes) {
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The atoms' part of the clip and what follows where they stop tiling the
// file (a trailer some cameras append after the last atom), split.
std::optional<std::vector<container::Atom>> split_trailer(Bytes& clip, Bytes& trailer) {
  container::SpanSource whole(clip);
  if (auto top = container::walk_atoms(whole, 0, clip.size())) return top;
  const auto start = vek::track::formats::aitg_trailer_start(whole);
  if (!start) return std::nullopt;
  trailer.assign(clip.begin() + static_cast<std::ptrdiff_t>(*start), clip.end());
  clip.resize(*start);
  container::SpanSource atoms(clip);
  return container::walk_atoms(atoms, 0, clip.size());
}

Bytes read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<char> chars((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Bytes bytes(chars.size());
  std::transform(chars.begin(), chars.end(), bytes.begin(), [](char c) { return static_cast<std::byte>(c); });
  return bytes;
}

}  // namespace

std::optional<BenchClip> write_padded_fixture(const std::filesystem::path& fixture, const std::filesystem::path& path,
                                              std::uint64_t padding) {
  Bytes clip = read_file(fixture);
  Bytes trailer;
  const auto top = split_trailer(clip, trailer);
  container::SpanSource source(clip);
  const container::Atom* mdat = top ? container::find_atom(*top, "mdat") : nullptr;
  if (mdat == nullptr || mdat->header != kAtomHeader ||
      mdat->size + padding > std::numeric_limits<std::uint32_t>::max())
    return std::nullopt;
  const std::uint64_t needed = needed_bytes(source, *top) + trailer.size();
  for (const auto& atom : *top)
    shift_chunks(clip, source, atom, padding);
  add_be(clip, mdat->offset, padding, 4);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  const std::span<const std::byte> whole(clip);
  write_bytes(out, whole.first(mdat->payload()));
  write_media(out, padding);
  write_bytes(out, whole.subspan(mdat->payload()));
  write_bytes(out, trailer);
  if (!out.flush()) return std::nullopt;
  return BenchClip{path, clip.size() + trailer.size() + padding, needed, 1.5};
}

}  // namespace vek::bench
