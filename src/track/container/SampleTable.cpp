#include "track/container/SampleTable.h"

#include <algorithm>

namespace vek::track::container {
namespace {

using Payload = std::vector<std::byte>;

constexpr std::uint64_t kSecondsFrom1904To1970 = 2082844800;
constexpr std::uint64_t kTableEntriesAt = 8;  // after version, flags and the entry count

struct ChunkRun {
  std::uint64_t first_chunk = 0;  // 1-based
  std::uint64_t per_chunk = 0;
};

std::optional<Payload> payload_of(ByteSource& source, const Atom* atom) {
  if (atom == nullptr || atom->size - atom->header > kMaxTableBytes) return std::nullopt;
  return source.block(atom->payload(), atom->size - atom->header);
}

// The children of the atom of `type` among `atoms`.
std::optional<std::vector<Atom>> children_of(ByteSource& source, const std::vector<Atom>& atoms,
                                             std::string_view type) {
  const Atom* atom = find_atom(atoms, type);
  if (atom == nullptr) return std::nullopt;
  return walk_atoms(source, atom->payload(), atom->end());
}

std::array<char, 4> four_cc(Bytes payload, std::uint64_t at) {
  ByteReader r(payload);
  std::array<char, 4> code{};
  const Bytes field = r.range(at, 4);
  std::transform(field.begin(), field.end(), code.begin(), [](std::byte b) { return static_cast<char>(b); });
  return code;
}

// Entries of `width` bytes after a full table header, when they are all there.
std::optional<std::uint64_t> entry_count(ByteReader& r, std::uint64_t count_at, std::uint64_t width) {
  if (!r.fits(count_at, 4)) return std::nullopt;
  const std::uint64_t count = r.u32be(count_at);
  if (count > kMaxSamplesPerTrack || !r.fits(count_at + 4, count * width)) return std::nullopt;
  return count;
}

std::optional<std::vector<std::uint64_t>> plain_sizes(Bytes stsz) {
  ByteReader r(stsz);
  if (!r.fits(0, 12)) return std::nullopt;
  const std::uint32_t fixed = r.u32be(4);
  const auto count = entry_count(r, 8, fixed != 0 ? 0 : 4);
  if (!count) return std::nullopt;
  if (fixed != 0) return std::vector<std::uint64_t>(*count, fixed);
  std::vector<std::uint64_t> sizes(*count);
  for (std::uint64_t i = 0; i < *count; ++i)
    sizes[i] = r.u32be(12 + 4 * i);
  return sizes;
}

// `stz2`: 4-, 8- or 16-bit sizes, two 4-bit sizes to a byte (the first in the high bits).
std::optional<std::vector<std::uint64_t>> compact_sizes(Bytes stz2) {
  ByteReader r(stz2);
  if (!r.fits(0, 12)) return std::nullopt;
  const std::uint8_t bits = r.u8(7);
  const std::uint64_t count = r.u32be(8);
  if ((bits != 4 && bits != 8 && bits != 16) || count > kMaxSamplesPerTrack || !r.fits(12, (count * bits + 7) / 8))
    return std::nullopt;
  std::vector<std::uint64_t> sizes(count);
  for (std::uint64_t i = 0; i < count; ++i) {
    if (bits == 16)
      sizes[i] = r.u16be(12 + 2 * i);
    else if (bits == 8)
      sizes[i] = r.u8(12 + i);
    else
      sizes[i] = i % 2 == 0 ? r.u8(12 + i / 2) >> 4U : r.u8(12 + i / 2) & 0x0FU;
  }
  return sizes;
}

std::optional<std::vector<std::uint64_t>> chunk_offsets(Bytes table, bool wide) {
  ByteReader r(table);
  const auto count = entry_count(r, 4, wide ? 8 : 4);
  if (!count) return std::nullopt;
  std::vector<std::uint64_t> offsets(*count);
  for (std::uint64_t i = 0; i < *count; ++i)
    offsets[i] = wide ? r.u64be(kTableEntriesAt + 8 * i) : r.u32be(kTableEntriesAt + 4 * i);
  return offsets;
}

// `stsc` runs: the first starts at chunk 1 and each starts after the one before.
std::optional<std::vector<ChunkRun>> chunk_runs(Bytes stsc) {
  ByteReader r(stsc);
  const auto count = entry_count(r, 4, 12);
  if (!count || *count == 0) return std::nullopt;
  std::vector<ChunkRun> runs;
  for (std::uint64_t i = 0; i < *count; ++i) {
    const ChunkRun run{r.u32be(kTableEntriesAt + 12 * i), r.u32be(kTableEntriesAt + 12 * i + 4)};
    const std::uint64_t after = runs.empty() ? 0 : runs.back().first_chunk;
    if (run.first_chunk <= after || (runs.empty() && run.first_chunk != 1)) return std::nullopt;
    runs.push_back(run);
  }
  return runs;
}

// Every sample's place: chunk after chunk, each holding its run's count of
// samples back to back; all of them inside the file.
std::optional<std::vector<SampleRef>> place_samples(const std::vector<std::uint64_t>& sizes,
                                                    const std::vector<std::uint64_t>& offsets,
                                                    const std::vector<ChunkRun>& runs, std::uint64_t file_size) {
  std::vector<SampleRef> samples;
  samples.reserve(sizes.size());
  std::size_t run = 0;
  for (std::uint64_t chunk = 0; chunk < offsets.size() && samples.size() < sizes.size(); ++chunk) {
    while (run + 1 < runs.size() && runs[run + 1].first_chunk <= chunk + 1)
      ++run;
    std::uint64_t at = offsets[chunk];
    for (std::uint64_t k = 0; k < runs[run].per_chunk && samples.size() < sizes.size(); ++k) {
      const std::uint64_t size = sizes[samples.size()];
      if (at > file_size || size > file_size - at) return std::nullopt;
      samples.push_back({at, size, 0, 0});
      at += size;
    }
  }
  if (samples.size() != sizes.size()) return std::nullopt;
  return samples;
}

// Start and duration of each sample from `stts`; samples it does not cover keep zero.
void place_times(std::vector<SampleRef>& samples, Bytes stts, std::uint32_t timescale) {
  ByteReader r(stts);
  if (!r.fits(0, 8)) return;
  const std::uint64_t count = r.u32be(4);
  std::uint64_t ticks = 0;
  std::size_t i = 0;
  for (std::uint64_t e = 0; timescale != 0 && e < count && r.fits(kTableEntriesAt + 8 * e, 8); ++e) {
    const std::uint64_t n = r.u32be(kTableEntriesAt + 8 * e);
    const std::uint64_t delta = r.u32be(kTableEntriesAt + 8 * e + 4);
    for (std::uint64_t k = 0; k < n && i < samples.size(); ++k, ++i) {
      samples[i].start_seconds = static_cast<double>(ticks) / timescale;
      samples[i].duration_seconds = static_cast<double>(delta) / timescale;
      ticks += delta;
    }
  }
}

std::optional<std::vector<std::uint64_t>> sample_sizes(ByteSource& source, const std::vector<Atom>& stbl) {
  if (const auto stsz = payload_of(source, find_atom(stbl, "stsz"))) return plain_sizes(*stsz);
  if (const auto stz2 = payload_of(source, find_atom(stbl, "stz2"))) return compact_sizes(*stz2);
  return std::nullopt;
}

std::optional<std::vector<std::uint64_t>> all_chunk_offsets(ByteSource& source, const std::vector<Atom>& stbl) {
  if (const auto stco = payload_of(source, find_atom(stbl, "stco"))) return chunk_offsets(*stco, false);
  if (const auto co64 = payload_of(source, find_atom(stbl, "co64"))) return chunk_offsets(*co64, true);
  return std::nullopt;
}

std::optional<std::vector<SampleRef>> sample_refs(ByteSource& source, const std::vector<Atom>& stbl,
                                                  std::uint32_t timescale) {
  const auto sizes = sample_sizes(source, stbl);
  const auto offsets = all_chunk_offsets(source, stbl);
  const auto stsc = payload_of(source, find_atom(stbl, "stsc"));
  const auto runs = stsc ? chunk_runs(*stsc) : std::nullopt;
  if (!sizes || !offsets || !runs) return std::nullopt;
  auto samples = place_samples(*sizes, *offsets, *runs, source.size());
  if (const auto stts = payload_of(source, find_atom(stbl, "stts")); samples && stts)
    place_times(*samples, *stts, timescale);
  return samples;
}

// The first sample entry's format, when `stsd` holds one whole entry header.
std::optional<std::array<char, 4>> entry_format(const Payload& stsd) {
  ByteReader r(stsd);
  if (!r.fits(0, 12) || r.u32be(4) == 0 || r.u32be(8) < 8 || !r.fits(8, r.u32be(8))) return std::nullopt;
  return four_cc(stsd, 12);
}

std::optional<TrackTable> read_track(ByteSource& source, const Atom& trak) {
  const auto trak_children = walk_atoms(source, trak.payload(), trak.end());
  const auto mdia = trak_children ? children_of(source, *trak_children, "mdia") : std::nullopt;
  const auto minf = mdia ? children_of(source, *mdia, "minf") : std::nullopt;
  const auto stbl = minf ? children_of(source, *minf, "stbl") : std::nullopt;
  const auto mdhd = mdia ? payload_of(source, find_atom(*mdia, "mdhd")) : std::nullopt;
  const auto hdlr = mdia ? payload_of(source, find_atom(*mdia, "hdlr")) : std::nullopt;
  const auto stsd = stbl ? payload_of(source, find_atom(*stbl, "stsd")) : std::nullopt;
  const auto format = stsd ? entry_format(*stsd) : std::nullopt;
  if (!mdhd || !hdlr || hdlr->size() < 12 || !format) return std::nullopt;
  ByteReader header(*mdhd);
  const std::uint64_t timescale_at = header.fits(0, 1) && header.u8(0) == 1 ? 20 : 12;
  // Without a time scale the samples are placed, untimed.
  const std::uint32_t timescale = header.fits(timescale_at, 4) ? header.u32be(timescale_at) : 0;
  auto samples = sample_refs(source, *stbl, timescale);
  if (!samples) return std::nullopt;
  return TrackTable{four_cc(*hdlr, 8), *format, std::move(*samples)};
}

std::optional<double> creation_time(ByteSource& source, const std::vector<Atom>& moov) {
  const auto mvhd = payload_of(source, find_atom(moov, "mvhd"));
  if (!mvhd) return std::nullopt;
  ByteReader r(*mvhd);
  const bool wide = r.fits(0, 1) && r.u8(0) == 1;  // version 1: 64-bit times
  if (!r.fits(4, wide ? 8 : 4)) return std::nullopt;
  const std::uint64_t since_1904 = wide ? r.u64be(4) : r.u32be(4);
  if (since_1904 <= kSecondsFrom1904To1970) return std::nullopt;
  return static_cast<double>(since_1904 - kSecondsFrom1904To1970);
}

}  // namespace

MovieTables read_movie_tables(ByteSource& source, const std::vector<Atom>& top_level) {
  MovieTables tables;
  const auto moov = children_of(source, top_level, "moov");
  if (!moov) return tables;
  tables.creation_unix = creation_time(source, *moov);
  for (const Atom& atom : *moov) {
    if (!atom.is("trak") || tables.tracks.size() == kMaxTracks) continue;
    if (auto track = read_track(source, atom)) tables.tracks.push_back(std::move(*track));
  }
  return tables;
}

std::optional<std::vector<std::vector<std::byte>>> read_samples(ByteSource& source, const TrackTable& track,
                                                                std::uint64_t max_bytes) {
  std::uint64_t total = 0;
  for (const SampleRef& s : track.samples) {
    if (s.size > max_bytes - total) return std::nullopt;
    total += s.size;
    source.prefetch(s.offset, s.size);
  }
  std::vector<std::vector<std::byte>> samples;
  samples.reserve(track.samples.size());
  for (const SampleRef& s : track.samples) {
    auto bytes = source.block(s.offset, s.size);
    if (!bytes) return std::nullopt;
    samples.push_back(std::move(*bytes));
  }
  return samples;
}

}  // namespace vek::track::container
