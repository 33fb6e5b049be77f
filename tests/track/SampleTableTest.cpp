#include "MovBuilder.h"
#include "track/ByteReader.h"
#include "track/container/SampleTable.h"

#include <gtest/gtest.h>

namespace vek::track::container {
namespace {

using test::atom;
using test::ByteVector;
using test::put_be;
using test::put_text;

constexpr std::uint64_t kMediaAt = 24;  // after an 16-byte ftyp and the mdat header

ByteVector u32s(std::initializer_list<std::uint64_t> values) {
  ByteVector out;
  for (const std::uint64_t v : values)
    put_be(out, v, 4);
  return out;
}

ByteVector join(std::initializer_list<ByteVector> parts) {
  ByteVector out;
  for (const ByteVector& p : parts)
    out.insert(out.end(), p.begin(), p.end());
  return out;
}

struct Tables {
  std::string handler = "meta";
  std::string format = "gpmd";
  std::string sizes_type = "stsz";
  ByteVector sizes = u32s({0, 0, 3, 10, 20, 30});    // version, fixed size 0, count, sizes
  ByteVector runs = u32s({0, 2, 1, 2, 1, 2, 1, 1});  // chunk 1 holds 2 samples, chunk 2 on 1 each
  std::string offsets_type = "stco";
  ByteVector offsets = u32s({0, 2, kMediaAt, kMediaAt + 40});
  ByteVector times = u32s({0, 2, 2, 500, 1, 1000});
  bool with_stsd = true;
  ByteVector short_stsd;  // replaces the sample description when set
  ByteVector mdhd = u32s({0, 0, 0, 1000, 2500, 0});
};

ByteVector stsd(const std::string& format) {
  ByteVector entry = u32s({16});
  put_text(entry, format);
  entry.resize(16);
  return atom("stsd", join({u32s({0, 1}), entry}));
}

ByteVector hdlr(const std::string& handler) {
  ByteVector payload = u32s({0, 0});
  put_text(payload, handler);
  payload.resize(24);
  return atom("hdlr", payload);
}

ByteVector trak(const Tables& t) {
  const ByteVector stbl = atom("stbl", join({!t.short_stsd.empty() ? atom("stsd", t.short_stsd)
                                             : t.with_stsd         ? stsd(t.format)
                                                                   : ByteVector{},
                                             atom("stts", t.times), atom("stsc", t.runs), atom(t.sizes_type, t.sizes),
                                             atom(t.offsets_type, t.offsets)}));
  const ByteVector mdhd = atom("mdhd", t.mdhd);
  const ByteVector mdia = atom("mdia", join({mdhd, hdlr(t.handler), atom("minf", stbl)}));
  return atom("trak", mdia);
}

// A clip whose media holds 80 bytes 0, 1, 2... and whose movie holds the tracks.
ByteVector clip(std::initializer_list<ByteVector> traks, std::uint64_t created_1904 = 0, std::size_t mvhd_size = 100) {
  ByteVector media(80);
  for (std::size_t i = 0; i < media.size(); ++i)
    media[i] = static_cast<std::byte>(i);
  ByteVector mvhd = u32s({0, created_1904});
  mvhd.resize(mvhd_size);
  ByteVector moov = atom("mvhd", mvhd);
  for (const ByteVector& t : traks)
    moov.insert(moov.end(), t.begin(), t.end());
  return join({atom("ftyp", ByteVector(8)), atom("mdat", media), atom("moov", moov)});
}

MovieTables tables_of(const ByteVector& bytes) {
  SpanSource source(bytes);
  const auto top = walk_atoms(source, 0, bytes.size());
  EXPECT_TRUE(top.has_value());
  return read_movie_tables(source, top.value_or(std::vector<Atom>{}));
}

TEST(SampleTable, ChunksRunsSizesAndTimesPlaceEverySample) {
  const MovieTables movie = tables_of(clip({trak({})}, 2082844800ULL + 1456823100ULL));
  ASSERT_EQ(movie.tracks.size(), 1U);
  const TrackTable& t = movie.tracks[0];
  EXPECT_TRUE(t.handler_is("meta"));
  EXPECT_TRUE(t.format_is("gpmd"));
  ASSERT_EQ(t.samples.size(), 3U);
  EXPECT_EQ(t.samples[0].offset, kMediaAt);
  EXPECT_EQ(t.samples[1].offset, kMediaAt + 10) << "the second sample follows the first in chunk 1";
  EXPECT_EQ(t.samples[2].offset, kMediaAt + 40) << "chunk 2 starts where stco says";
  EXPECT_EQ(t.samples[2].size, 30U);
  EXPECT_DOUBLE_EQ(t.samples[1].start_seconds, 0.5);
  EXPECT_DOUBLE_EQ(t.samples[2].start_seconds, 1.0);
  EXPECT_DOUBLE_EQ(t.samples[2].duration_seconds, 1.0);
  EXPECT_EQ(movie.creation_unix, 1456823100.0);
}

TEST(SampleTable, WideOffsetsCompactAndFixedSizesAreFollowed) {
  Tables wide;
  wide.offsets_type = "co64";
  wide.offsets = join({u32s({0, 2}), u32s({0, kMediaAt}), u32s({0, kMediaAt + 40})});
  Tables nibbles;
  nibbles.sizes_type = "stz2";
  nibbles.sizes = join({u32s({0, 4, 3}), ByteVector{std::byte{0x9A}, std::byte{0xB0}}});  // 9, 10, 11
  Tables fixed;
  fixed.sizes = u32s({0, 7, 3});
  const MovieTables movie = tables_of(clip({trak(wide), trak(nibbles), trak(fixed)}));
  ASSERT_EQ(movie.tracks.size(), 3U);
  EXPECT_EQ(movie.tracks[0].samples[2].offset, kMediaAt + 40);
  EXPECT_EQ(movie.tracks[1].samples[0].size, 9U);
  EXPECT_EQ(movie.tracks[1].samples[1].offset, kMediaAt + 9);
  EXPECT_EQ(movie.tracks[1].samples[2].size, 11U);
  EXPECT_EQ(movie.tracks[2].samples[1].offset, kMediaAt + 7);
  EXPECT_FALSE(movie.creation_unix.has_value()) << "a zero creation time is no time";
}

TEST(SampleTable, MalformedTablesLeaveTheirTrackOutAndReadNothingOutside) {
  std::vector<Tables> bad(8);
  bad[0].sizes = u32s({0, 0, 5, 10, 20});              // count past the entries
  bad[1].runs = u32s({0, 1, 2, 2, 1});                 // runs start at chunk 2
  bad[2].runs = u32s({0, 2, 1, 2, 1, 1, 1, 1});        // runs not ascending
  bad[3].offsets = u32s({0, 2, kMediaAt, 1U << 30});   // a chunk past the file's end
  bad[4].sizes = u32s({0, 0, 3, 10, 20, 0xFFFFFFF0});  // a sample past the end
  bad[5].runs = u32s({0, 1, 1, 1, 1});                 // two chunks of one: fewer than the sizes
  bad[6].sizes = u32s({0, 0, static_cast<std::uint64_t>(kMaxSamplesPerTrack) + 1});  // beyond the limit
  bad[7].with_stsd = false;
  for (std::size_t i = 0; i < bad.size(); ++i) {
    const MovieTables movie = tables_of(clip({trak(bad[i]), trak({})}));
    ASSERT_EQ(movie.tracks.size(), 1U) << "case " << i;
    EXPECT_EQ(movie.tracks[0].samples.size(), 3U) << "the sound track beside it is read, case " << i;
  }
}

TEST(SampleTable, TruncatedHeadersAndTablesAreRefusedBeforeAnyReadPastThem) {
  const std::uint64_t overflows = ByteReader::overflows_on_this_thread();
  std::vector<Tables> bad(4);
  bad[0].sizes = u32s({0});  // stsz cut after its version
  bad[1].sizes_type = "stz2";
  bad[1].sizes = ByteVector(6);   // stz2 cut before its field size
  bad[2].short_stsd = u32s({0});  // stsd without its count
  bad[3].runs = u32s({0});        // stsc without its count
  for (std::size_t i = 0; i < bad.size(); ++i) {
    const MovieTables movie = tables_of(clip({trak(bad[i]), trak({})}));
    ASSERT_EQ(movie.tracks.size(), 1U) << "case " << i;
  }
  // A cut mdhd (no time scale) or stts leaves the samples placed but untimed.
  std::vector<Tables> untimed(3);
  untimed[0].mdhd = ByteVector(1, std::byte{1});  // version 1 and nothing more
  untimed[1].mdhd = ByteVector{};
  untimed[2].times = u32s({0});
  for (std::size_t i = 0; i < untimed.size(); ++i) {
    const MovieTables movie = tables_of(clip({trak(untimed[i])}));
    ASSERT_EQ(movie.tracks.size(), 1U) << "case " << i;
    EXPECT_EQ(movie.tracks[0].samples.at(2).offset, kMediaAt + 40) << "case " << i;
    EXPECT_EQ(movie.tracks[0].samples.at(2).start_seconds, 0.0) << "case " << i;
  }
  for (const std::size_t mvhd_size : {std::size_t{0}, std::size_t{1}, std::size_t{6}}) {
    EXPECT_FALSE(tables_of(clip({trak({})}, 2082844800ULL + 1456823100ULL, mvhd_size)).creation_unix.has_value())
        << "an mvhd of " << mvhd_size << " bytes has no time";
  }
  EXPECT_EQ(ByteReader::overflows_on_this_thread(), overflows) << "every field was checked before it was read";
}

TEST(SampleTable, SamplesAreReadWholeWithinTheByteCap) {
  const ByteVector bytes = clip({trak({})});
  SpanSource source(bytes);
  const MovieTables movie = read_movie_tables(source, *walk_atoms(source, 0, bytes.size()));
  const auto samples = read_samples(source, movie.tracks.at(0), 60);
  ASSERT_TRUE(samples.has_value());
  ASSERT_EQ(samples->size(), 3U);
  EXPECT_EQ((*samples)[2].size(), 30U);
  EXPECT_EQ((*samples)[2][0], std::byte{40});
  EXPECT_EQ((*samples)[1][9], std::byte{19});
  EXPECT_FALSE(read_samples(source, movie.tracks.at(0), 59).has_value()) << "60 bytes in all pass a cap of 59";
}

}  // namespace
}  // namespace vek::track::container
