// Writes the seed corpus of the track fuzz target: small clips with each kind
// of camera data, and the edge cases of their placement.
// Usage: vek-track-fuzz-seeds FOLDER

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clip = std::vector<unsigned char>;

constexpr const char* kRmc = "$GPRMC,090507.00,A,2502.0378,N,12133.8681,E,10.0,123.5,010316,,,A*68";

void put(Clip& clip, std::size_t at, const std::string& text) {
  std::memcpy(clip.data() + at, text.data(), text.size());
}

void put_be(Clip& clip, std::size_t at, std::uint64_t value, unsigned width) {
  for (unsigned i = 0; i < width; ++i)
    clip[at + i] = static_cast<unsigned char>(value >> (8 * (width - 1 - i)));
}

void put_f64le(Clip& clip, std::size_t at, double value) {
  std::memcpy(clip.data() + at, &value, sizeof value);  // x86-64 and arm64: little-endian
}

void freegps_box(Clip& clip, std::size_t marker) {
  put(clip, marker, "freeGPS");
  const std::size_t box = marker + 44;
  for (std::size_t j = 0; j < 10; ++j) {
    const std::size_t s = box + 32 * j;
    put_be(clip, s + 2, 1000, 2);
    put_be(clip, s + 4, 180, 2);
    put_be(clip, s + 12, 75 + 10 * j, 2);
    clip[s + 14] = 'A';
    put_be(clip, s + 15, 250339640, 4);
    put_be(clip, s + 19, 1215644680, 4);
  }
  put_be(clip, box + 6, 2016, 2);
  clip[box + 8] = 3, clip[box + 9] = 1, clip[box + 10] = 9, clip[box + 11] = 5;
  clip[box + 320] = 0x40, clip[box + 324] = 0xC0;
}

void gps0_records(Clip& clip, std::size_t marker, std::size_t records) {
  put(clip, marker, "gps0");
  for (std::size_t k = 0; k < records && marker + 32 * k + 32 <= clip.size(); ++k) {
    const std::size_t r = marker + 32 * k;
    put_f64le(clip, r + 4, 2502.12345);
    put_f64le(clip, r + 12, 12133.5208);
    const unsigned char fields[] = {60, 0, 16, 3, 1, 9, 5, static_cast<unsigned char>(k)};
    std::memcpy(clip.data() + r + 24, fields, sizeof fields);
  }
}

void append_atom(Clip& clip, const std::string& type, const Clip& payload) {
  const std::size_t at = clip.size();
  clip.resize(at + 8);
  put_be(clip, at, 8 + payload.size(), 4);
  put(clip, at + 4, type);
  clip.insert(clip.end(), payload.begin(), payload.end());
}

// ftyp, an mdat holding two 400-byte box atoms between media bytes, and a moov
// with the `gps ` index of them; `shift` moves the second entry off its box.
Clip indexed_clip(std::size_t shift) {
  Clip clip;
  append_atom(clip, "ftyp", Clip(8, 0));
  Clip media(1000, 0x99);
  std::size_t boxes[2] = {100, 600};
  for (const std::size_t box : boxes) {
    put_be(media, box, 400, 4);
    freegps_box(media, box + 4);
    put(media, box + 8, "GPS ");
  }
  const std::size_t media_at = clip.size() + 8;
  append_atom(clip, "mdat", media);
  Clip index(8 + 16, 0);
  put_be(index, 0, 0x101, 4);
  put_be(index, 4, 2, 4);
  for (std::size_t i = 0; i < 2; ++i) {
    put_be(index, 8 + 8 * i, media_at + boxes[i] + (i == 1 ? shift : 0), 4);
    put_be(index, 12 + 8 * i, 400, 4);
  }
  Clip moov;
  append_atom(moov, "mvhd", Clip(20, 0));
  append_atom(moov, "gps ", index);
  append_atom(clip, "moov", moov);
  return clip;
}

// An indexed clip whose blocks hold little-endian single-fix records.
Clip single_fix_clip() {
  Clip clip = indexed_clip(0);
  const std::size_t boxes[2] = {16 + 8 + 100, 16 + 8 + 600};
  for (std::size_t i = 0; i < 2; ++i) {
    const std::size_t r = boxes[i] + 48;
    std::fill(clip.begin() + static_cast<long>(boxes[i]) + 12, clip.begin() + static_cast<long>(boxes[i]) + 400, 0);
    const std::uint32_t fields[] = {9, 5, static_cast<std::uint32_t>(7 + i), 16, 3, 1};
    for (std::size_t f = 0; f < 6; ++f)
      for (std::size_t b = 0; b < 4; ++b)
        clip[r + 4 * f + b] = static_cast<unsigned char>(fields[f] >> (8 * b));
    put(clip, r + 24, std::string("ANE\0", 4));
    const float values[] = {2502.0378F, 12133.8681F, 10.0F, 123.5F};
    std::memcpy(clip.data() + r + 28, values, sizeof values);  // little-endian hosts
  }
  return clip;
}

// The gps0 and gsen atoms appended after the movie's atoms.
Clip atoms_clip() {
  Clip clip;
  append_atom(clip, "ftyp", Clip(8, 0));
  append_atom(clip, "mdat", Clip(300, 0x77));
  Clip records(4 + 16 * 32, 0);
  gps0_records(records, 0, 16);
  append_atom(clip, "gps0", Clip(records.begin() + 4, records.end()));
  Clip slots(60 * 12, 0x11);
  append_atom(clip, "gsen", slots);
  return clip;
}

// A full table atom's payload: version and flags, then 32-bit values.
Clip full_table(std::initializer_list<std::uint32_t> values) {
  Clip out(4, 0);
  for (const std::uint32_t v : values) {
    out.resize(out.size() + 4);
    put_be(out, out.size() - 4, v, 4);
  }
  return out;
}

Clip text_clip(const std::string& text) {
  return Clip(text.begin(), text.end());
}

// A movie with one track of `format` and `handler` whose samples lie in the
// media data one per chunk; `wide` writes 64-bit chunk offsets.
Clip track_clip(const std::string& format, const std::string& handler, const std::vector<Clip>& samples, bool wide) {
  Clip clip;
  append_atom(clip, "ftyp", Clip(8, 0));
  Clip media;
  std::vector<std::size_t> offsets;
  for (const Clip& sample : samples) {
    offsets.push_back(clip.size() + 8 + media.size());
    media.insert(media.end(), sample.begin(), sample.end());
  }
  append_atom(clip, "mdat", media);
  Clip stbl, entry(16, 0);
  put_be(entry, 0, 16, 4);
  put(entry, 4, format);
  Clip stsd = full_table({1});
  stsd.insert(stsd.end(), entry.begin(), entry.end());
  append_atom(stbl, "stsd", stsd);
  append_atom(stbl, "stts", full_table({1, static_cast<std::uint32_t>(samples.size()), 1000}));
  append_atom(stbl, "stsc", full_table({1, 1, 1, 1}));
  Clip sizes = full_table({0, static_cast<std::uint32_t>(samples.size())});
  Clip chunks = full_table({static_cast<std::uint32_t>(samples.size())});
  for (std::size_t i = 0; i < samples.size(); ++i) {
    sizes.resize(sizes.size() + 4), put_be(sizes, sizes.size() - 4, samples[i].size(), 4);
    chunks.resize(chunks.size() + (wide ? 8 : 4)),
        put_be(chunks, chunks.size() - (wide ? 8 : 4), offsets[i], wide ? 8 : 4);
  }
  append_atom(stbl, "stsz", sizes);
  append_atom(stbl, wide ? "co64" : "stco", chunks);
  Clip hdlr = full_table({0});
  hdlr.resize(24), put(hdlr, 8, handler);
  Clip mdia, minf, trak, moov;
  append_atom(mdia, "mdhd", full_table({0, 0, 1000, 1000, 0}));
  append_atom(mdia, "hdlr", hdlr);
  append_atom(minf, "stbl", stbl);
  append_atom(mdia, "minf", minf);
  append_atom(trak, "mdia", mdia);
  append_atom(moov, "mvhd", Clip(100, 0));
  append_atom(moov, "trak", trak);
  append_atom(clip, "moov", moov);
  return clip;
}

Clip gpmf_sample() {
  Clip gps(8 + 20, 0);
  put(gps, 0, "GPS5"), gps[4] = 'l', gps[5] = 20, put_be(gps, 6, 1, 2);
  put_be(gps, 8, 250339640, 4), put_be(gps, 12, 1215644680, 4);
  Clip time(8 + 16, 0);
  put(time, 0, "GPSU"), time[4] = 'U', time[5] = 16, put_be(time, 6, 1, 2), put(time, 8, "160301090507.000");
  Clip scale(12, 0);
  put(scale, 0, "SCAL"), scale[4] = 'l', scale[5] = 4, put_be(scale, 6, 1, 2), put_be(scale, 8, 10000000, 4);
  Clip strm(8, 0);
  put(strm, 0, "STRM"), strm[5] = 1, put_be(strm, 6, time.size() + scale.size() + gps.size(), 2);
  for (const Clip* part : {&time, &scale, &gps})
    strm.insert(strm.end(), part->begin(), part->end());
  Clip devc(8, 0);
  put(devc, 0, "DEVC"), devc[5] = 1, put_be(devc, 6, strm.size(), 2);
  devc.insert(devc.end(), strm.begin(), strm.end());
  return devc;
}

Clip cue(const std::string& text) {
  Clip sample(2, 0);
  put_be(sample, 0, text.size(), 2);
  sample.insert(sample.end(), text.begin(), text.end());
  return sample;
}

// A top-level `free` atom of `gps ` and `3gf ` children, after the movie.
Clip free_children_clip() {
  Clip clip;
  append_atom(clip, "ftyp", Clip(8, 0));
  append_atom(clip, "mdat", Clip(64, 0x55));
  Clip children;
  append_atom(children, "gps ", text_clip("[1456823107000]" + std::string(kRmc) + "\n"));
  Clip accel(10, 0);  // one record at 0 ms, then the end mark
  accel.insert(accel.end(), 10, 0xFF);
  append_atom(children, "3gf ", accel);
  append_atom(clip, "free", children);
  return clip;
}

void write(const std::filesystem::path& folder, const std::string& name, const Clip& clip) {
  std::ofstream(folder / name, std::ios::binary)
      .write(reinterpret_cast<const char*>(clip.data()), static_cast<std::streamsize>(clip.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: vek-track-fuzz-seeds FOLDER\n", stderr);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);
  Clip two(1200);
  freegps_box(two, 16);
  freegps_box(two, 16 + 332 + 20);  // in the first box's tail: overlapping boxes
  write(folder, "freegps-two-boxes", two);
  Clip cut(400);
  freegps_box(cut, 16);
  cut.resize(16 + 300);  // the box reaches past the end
  write(folder, "freegps-cut-box", cut);
  Clip gps0(64 + 20 * 36);
  gps0_records(gps0, 64, 15);
  write(folder, "gps0-one-chunk", gps0);
  Clip short_chunk(64 + 5 * 36);
  gps0_records(short_chunk, 64, 5);
  write(folder, "gps0-short-chunk", short_chunk);
  Clip close(1000);
  put(close, 100, "gsen");
  put_be(close, 136, 0x4000, 2);
  gps0_records(close, 1000 - 9 * 36, 9);
  put(close, 1000 - 8, "gps0");
  write(folder, "gps0-gsen-tail-marker", close);
  write(folder, "empty", Clip{});
  write(folder, "indexed-boxes", indexed_clip(0));
  write(folder, "indexed-broken-entry", indexed_clip(16));
  write(folder, "gps0-gsen-atoms", atoms_clip());
  write(folder, "single-fix-records", single_fix_clip());
  write(folder, "gpmd-track", track_clip("gpmd", "meta", {gpmf_sample(), gpmf_sample()}, false));
  write(folder, "subtitle-nmea-track-co64",
        track_clip("tx3g", "sbtl", {cue(std::string("gsensori,2,512,1,2,3;") + (kRmc + 1)), cue(kRmc)}, true));
  write(folder, "free-children", free_children_clip());
  return 0;
}
