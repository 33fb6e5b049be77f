#pragma once
// Hand-built QuickTime files for the container tests: atoms appended in
// order, with the offsets they landed at.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

namespace vek::track::test {

using ByteVector = std::vector<std::byte>;

inline void put_be(ByteVector& out, std::uint64_t value, unsigned width) {
  for (unsigned i = 0; i < width; ++i)
    out.push_back(static_cast<std::byte>(value >> (8 * (width - 1 - i))));
}

inline void put_text(ByteVector& out, std::string_view text) {
  for (const char c : text)
    out.push_back(static_cast<std::byte>(c));
}

// An atom with a 32-bit size.
inline ByteVector atom(std::string_view type, std::span<const std::byte> payload) {
  ByteVector out;
  put_be(out, 8 + payload.size(), 4);
  put_text(out, type);
  out.insert(out.end(), payload.begin(), payload.end());
  return out;
}

// Bytes that never form a marker: a counter over the lowercase-free range.
inline ByteVector noise(std::size_t n, unsigned seed = 1) {
  ByteVector out(n);
  for (std::size_t i = 0; i < n; ++i)
    out[i] = static_cast<std::byte>(0x80 + (i * 7 + seed) % 0x40);
  return out;
}

// A freeGPS box atom of `size` bytes: size, "free", "GPS ", then a box whose
// fields vary with `second` (position, time, status "A").
inline ByteVector freegps_atom(std::size_t size, unsigned second) {
  ByteVector out;
  put_be(out, size, 4);
  put_text(out, "freeGPS ");
  out.resize(size);
  const std::size_t box = 48;
  if (box + 332 <= size) {
    const auto set = [&](std::size_t at, std::uint64_t v, unsigned width) {
      for (unsigned i = 0; i < width; ++i)
        out[box + at + i] = static_cast<std::byte>(v >> (8 * (width - 1 - i)));
    };
    set(6, 2016, 2);
    set(8, 3, 1);
    set(9, 1, 1);
    set(10, 9, 1);
    set(11, 5, 1);
    for (unsigned j = 0; j < 10; ++j) {
      set(32 * j + 2, 1000 + second, 2);
      set(32 * j + 12, (second % 60) * 10 + j, 2);
      set(32 * j + 14, 'A', 1);
      set(32 * j + 15, 250000000 + second * 100 + j, 4);
      set(32 * j + 19, 1215000000 + second * 100 + j, 4);
    }
  }
  return out;
}

// Appends pieces and remembers where each began.
class MovBuilder {
 public:
  std::uint64_t add(std::span<const std::byte> piece) {
    const std::uint64_t at = bytes_.size();
    bytes_.insert(bytes_.end(), piece.begin(), piece.end());
    return at;
  }
  ByteVector& bytes() { return bytes_; }
  std::span<const std::byte> view() const { return bytes_; }

 private:
  ByteVector bytes_;
};

// The `gps ` index payload: version and flags, count, then offset/size pairs.
inline ByteVector gps_index(const std::vector<std::pair<std::uint64_t, std::uint64_t>>& entries,
                            std::uint64_t count_field) {
  ByteVector out;
  put_be(out, 0x00000101, 4);
  put_be(out, count_field, 4);
  for (const auto& [offset, size] : entries) {
    put_be(out, offset, 4);
    put_be(out, size, 4);
  }
  return out;
}

// A full table atom's payload: version and flags zero, then 32-bit fields.
inline ByteVector u32_fields(std::initializer_list<std::uint64_t> values) {
  ByteVector out(4);
  for (const std::uint64_t v : values)
    put_be(out, v, 4);
  return out;
}

inline void append(ByteVector& out, std::span<const std::byte> more) {
  out.insert(out.end(), more.begin(), more.end());
}

// The sample tables of a track holding `sizes`, one sample per chunk at `offsets`.
inline ByteVector sample_tables(std::string_view format, const std::vector<std::uint64_t>& sizes,
                                const std::vector<std::uint64_t>& offsets) {
  ByteVector entry = u32_fields({1, 16});
  put_text(entry, format);
  entry.resize(entry.size() + 8);
  ByteVector stsz = u32_fields({0, sizes.size()});
  ByteVector stco = u32_fields({offsets.size()});
  for (std::size_t i = 0; i < sizes.size(); ++i)
    put_be(stsz, sizes[i], 4), put_be(stco, offsets[i], 4);
  ByteVector stbl = atom("stsd", entry);
  append(stbl, atom("stts", u32_fields({1, sizes.size(), 1000})));
  append(stbl, atom("stsc", u32_fields({1, 1, 1, 1})));
  append(stbl, atom("stsz", stsz));
  append(stbl, atom("stco", stco));
  return atom("stbl", stbl);
}

// ftyp, an mdat of `padding` noise bytes then the samples, and a moov with
// one track of `handler` and sample entry `format` holding them.
inline ByteVector telemetry_movie(std::size_t padding, std::string_view handler, std::string_view format,
                                  const std::vector<ByteVector>& samples) {
  ByteVector media = noise(padding);
  std::vector<std::uint64_t> sizes, offsets;
  for (const ByteVector& sample : samples) {
    offsets.push_back(16 + 8 + media.size());
    sizes.push_back(sample.size());
    append(media, sample);
  }
  ByteVector hdlr = u32_fields({0});
  put_text(hdlr, handler);
  hdlr.resize(24);
  ByteVector mdia = atom("mdhd", u32_fields({0, 0, 1000, 1000 * samples.size(), 0}));
  append(mdia, atom("hdlr", hdlr));
  append(mdia, atom("minf", sample_tables(format, sizes, offsets)));
  ByteVector movie = atom("ftyp", ByteVector(8));
  append(movie, atom("mdat", media));
  append(movie, atom("moov", atom("trak", atom("mdia", mdia))));
  return movie;
}

}  // namespace vek::track::test
