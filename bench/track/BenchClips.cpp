#include "BenchClips.h"

#include <fcntl.h>
#include <unistd.h>
#include <bit>
#include <cstdio>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace vek::bench {
namespace {

using Buffer = std::vector<unsigned char>;

constexpr std::size_t kChunk = std::size_t{1} << 20;
constexpr std::uint64_t kFtypSize = 16;
constexpr std::uint64_t kMdatHeader = 16;  // 64-bit size, as large clips carry
constexpr std::uint64_t kMvhdSize = 108;
constexpr unsigned kSlotsPerSecond = 10;

void put_be(Buffer& b, std::size_t at, std::uint64_t value, unsigned width) {
  for (unsigned i = 0; i < width; ++i)
    b[at + i] = static_cast<unsigned char>(value >> (8 * (width - 1 - i)));
}

Buffer atom_header(std::uint64_t size, const char* type) {
  Buffer b(8);
  put_be(b, 0, size, 4);
  std::copy(type, type + 4, b.begin() + 4);
  return b;
}

class Writer {
 public:
  explicit Writer(const std::filesystem::path& path)
      : fd_(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)), random_(0x9E3779B97F4A7C15ULL) {
    if (fd_ < 0) throw std::runtime_error("cannot create " + path.string());
  }
  ~Writer() { ::close(fd_); }
  void bytes(const Buffer& b) { put(b.data(), b.size()); }
  // Media bytes, all with the high bit set: no ASCII marker can form in
  // them. One random MiB, its head renewed per chunk, keeps writing fast.
  void media(std::uint64_t n) {
    if (chunk_.empty()) {
      chunk_.resize(kChunk);
      for (unsigned char& c : chunk_)
        c = static_cast<unsigned char>(next() | 0x80U);
    }
    while (n > 0) {
      put_be(chunk_, 0, next() | 0x8080808080808080ULL, 8);
      const std::size_t piece = n < kChunk ? static_cast<std::size_t>(n) : kChunk;
      put(chunk_.data(), piece);
      n -= piece;
    }
  }
  std::uint64_t written() const noexcept { return written_; }
  void finish() { ::fdatasync(fd_); }

 private:
  std::uint64_t next() noexcept {
    random_ ^= random_ << 13U, random_ ^= random_ >> 7U, random_ ^= random_ << 17U;
    return random_;
  }
  void put(const unsigned char* data, std::size_t n) {
    if (::write(fd_, data, n) != static_cast<ssize_t>(n)) throw std::runtime_error("short write");
    written_ += n;
  }
  int fd_;
  std::uint64_t random_;
  Buffer chunk_;
  std::uint64_t written_ = 0;
};

Buffer freegps_box(std::uint64_t size, unsigned second) {
  Buffer box(size, 0);
  put_be(box, 0, size, 4);
  const std::string tag = "freeGPS ";
  std::copy(tag.begin(), tag.end(), box.begin() + 4);
  put_be(box, 48 + 6, 2016, 2);
  box[48 + 8] = 3, box[48 + 9] = 1, box[48 + 10] = 9, box[48 + 11] = static_cast<unsigned char>(second / 60);
  for (unsigned j = 0; j < 10; ++j) {
    const std::size_t s = 48 + 32 * j;
    put_be(box, s + 12, (second % 60) * 10 + j, 2);
    box[s + 14] = 'A';
    put_be(box, s + 15, 250000000 + second * 100, 4);
    put_be(box, s + 19, 1215000000 + second * 100, 4);
  }
  return box;
}

Buffer index_moov(const std::vector<std::uint64_t>& offsets, std::uint64_t box_size) {
  const std::uint64_t index_size = 16 + 8 * offsets.size();
  Buffer moov = atom_header(8 + kMvhdSize + index_size, "moov");
  Buffer mvhd = atom_header(kMvhdSize, "mvhd");
  mvhd.resize(kMvhdSize);
  moov.insert(moov.end(), mvhd.begin(), mvhd.end());
  Buffer index = atom_header(index_size, "gps ");
  index.resize(index_size);
  put_be(index, 8, 0x101, 4);
  put_be(index, 12, offsets.size(), 4);
  for (std::size_t i = 0; i < offsets.size(); ++i) {
    put_be(index, 16 + 8 * i, offsets[i], 4);
    put_be(index, 20 + 8 * i, box_size, 4);
  }
  moov.insert(moov.end(), index.begin(), index.end());
  return moov;
}

void put_le(Buffer& b, std::size_t at, std::uint64_t value, unsigned width) {
  for (unsigned i = 0; i < width; ++i)
    b[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

// One plausible record a second (a real date, a position in Taipei), so the
// clip passes the check that today's layout reads it.
Buffer gps0_atom(std::uint64_t size, unsigned seconds) {
  Buffer gps0 = atom_header(size, "gps0");
  gps0.resize(size, 0);
  for (unsigned k = 0; k < seconds; ++k) {
    const std::size_t r = 8 + 32 * std::size_t{k};
    put_le(gps0, r, std::bit_cast<std::uint64_t>(2502.12345), 8);
    put_le(gps0, r + 8, std::bit_cast<std::uint64_t>(12133.5208), 8);
    const unsigned char fields[] = {
        60, 0, 16, 3, 1, 9, static_cast<unsigned char>(k / 60 % 60), static_cast<unsigned char>(k % 60)};
    std::copy(std::begin(fields), std::end(fields), gps0.begin() + static_cast<std::ptrdiff_t>(r + 20));
  }
  return gps0;
}

void begin_movie(Writer& w, std::uint64_t media_size) {
  Buffer ftyp = atom_header(kFtypSize, "ftyp");
  ftyp.resize(kFtypSize);
  w.bytes(ftyp);
  Buffer mdat = atom_header(1, "mdat");
  mdat.resize(kMdatHeader);
  put_be(mdat, 8, kMdatHeader + media_size, 8);
  w.bytes(mdat);
}

}  // namespace

BenchClip write_indexed_clip(const std::filesystem::path& path, std::uint64_t size, unsigned seconds,
                             std::uint64_t box_size, unsigned seed) {
  const std::uint64_t moov_size = 8 + kMvhdSize + 16 + 8 * seconds;
  const std::uint64_t media = size - kFtypSize - kMdatHeader - moov_size;
  const std::uint64_t gap = (media - seconds * box_size) / seconds;
  Writer w(path);
  begin_movie(w, media);
  std::vector<std::uint64_t> offsets;
  for (unsigned s = 0; s < seconds; ++s) {
    w.media(gap + (s == 0 ? (media - seconds * box_size) % seconds : 0));
    offsets.push_back(w.written());
    w.bytes(freegps_box(box_size, s + seed));
  }
  w.bytes(index_moov(offsets, box_size));
  w.finish();
  return {path, w.written(), kFtypSize + kMdatHeader + moov_size + seconds * box_size, 1.5};
}

BenchClip write_gps0_clip(const std::filesystem::path& path, std::uint64_t size, unsigned seconds) {
  const std::uint64_t gps0_size = 4 + 32 * std::uint64_t{seconds};
  const std::uint64_t gsen_size = 4 + 12 * std::uint64_t{seconds} * kSlotsPerSecond;
  const std::uint64_t moov_size = 8 + kMvhdSize;
  const std::uint64_t media = size - kFtypSize - kMdatHeader - moov_size - gps0_size - gsen_size;
  Writer w(path);
  begin_movie(w, media);
  w.media(media);
  Buffer moov = atom_header(moov_size, "moov");
  moov.resize(moov_size);
  w.bytes(moov);
  w.bytes(gps0_atom(gps0_size, seconds));
  Buffer gsen = atom_header(gsen_size, "gsen");
  gsen.resize(gsen_size, 0x22);
  w.bytes(gsen);
  w.finish();
  return {path, w.written(), kFtypSize + kMdatHeader + moov_size + gps0_size + gsen_size, 1.0};
}

}  // namespace vek::bench
