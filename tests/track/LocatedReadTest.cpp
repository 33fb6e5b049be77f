#include "ClipBuilder.h"
#include "MovBuilder.h"
#include "track/Track.h"
#include "track/container/LocatedRead.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace vek::track::container {
namespace {

using test::atom;
using test::ByteVector;
using Entries = std::vector<std::pair<std::uint64_t, std::uint64_t>>;

struct StringSink final : TextSink {
  std::string text;
  void write(std::string_view piece) override { text += piece; }
};

// A source that records what was read and can fail from a given read on.
class WatchedSource final : public ByteSource {
 public:
  explicit WatchedSource(Bytes bytes, std::size_t fail_from = SIZE_MAX) : inner_(bytes), fail_from_(fail_from) {}
  std::uint64_t size() const noexcept override { return inner_.size(); }
  bool read(std::uint64_t offset, std::span<std::byte> out) override {
    ranges.emplace_back(offset, out.size());
    return ranges.size() <= fail_from_ && inner_.read(offset, out);
  }
  void prefetch(std::uint64_t offset, std::uint64_t n) override { hinted.push_back({offset, n, ranges.size()}); }
  struct Hint {
    std::uint64_t offset;
    std::uint64_t n;
    std::size_t reads_before;  // how many reads came before the hint
  };
  std::vector<std::pair<std::uint64_t, std::uint64_t>> ranges;
  std::vector<Hint> hinted;

 private:
  SpanSource inner_;
  std::size_t fail_from_;
};

struct IndexedClip {
  ByteVector bytes;
  Entries boxes;  // where the box atoms landed
  std::uint64_t mdat_end = 0;
};

using Edit = std::function<void(Entries&, std::uint64_t&)>;

struct ClipShape {
  std::function<ByteVector(unsigned)> box;  // the box atom of a second
  std::size_t moov_padding = 0;             // bytes of a `udta` atom in the moov before the index
};

// ftyp, an mdat with media noise around one box atom per second, then a moov
// holding the `gps ` index that `edit` may alter before it is written.
IndexedClip shaped_clip(unsigned seconds, const ClipShape& shape, const Edit& edit = {}) {
  IndexedClip clip;
  test::MovBuilder mov;
  mov.add(atom("ftyp", ByteVector(8)));
  ByteVector media;
  Entries placed;
  const std::uint64_t media_start = mov.view().size() + 8;
  for (unsigned s = 0; s < seconds; ++s) {
    const ByteVector frames = test::noise(900 + 37 * s, s);
    media.insert(media.end(), frames.begin(), frames.end());
    const ByteVector box = shape.box(s);
    placed.emplace_back(media_start + media.size(), box.size());
    media.insert(media.end(), box.begin(), box.end());
  }
  mov.add(atom("mdat", media));
  clip.mdat_end = mov.view().size();
  Entries listed = placed;
  std::uint64_t count = listed.size();
  if (edit) edit(listed, count);
  ByteVector moov = atom("mvhd", ByteVector(100));
  const ByteVector padding = shape.moov_padding > 0 ? atom("udta", ByteVector(shape.moov_padding)) : ByteVector{};
  const ByteVector index = atom("gps ", test::gps_index(listed, count));
  moov.insert(moov.end(), padding.begin(), padding.end());
  moov.insert(moov.end(), index.begin(), index.end());
  mov.add(atom("moov", moov));
  clip.bytes = mov.bytes();
  clip.boxes = placed;
  return clip;
}

IndexedClip indexed_clip(unsigned seconds, std::size_t atom_size, const Edit& edit = {}) {
  return shaped_clip(seconds, {[atom_size](unsigned s) { return test::freegps_atom(atom_size, s); }}, edit);
}

LocatedOutcome located(Bytes clip, Form form, StringSink& sink, const LogSink& log = {}) {
  WatchedSource source(clip);
  return extract_located(source, "F.MOV", form, sink, log);
}

TEST(LocatedRead, IndexedClipGivesTheWholeFileTextFromTheListedBoxesOnly) {
  const IndexedClip clip = indexed_clip(5, 0x800);
  WatchedSource source(clip.bytes);
  StringSink sink;
  test::LogLines lines;
  ASSERT_EQ(extract_located(source, "F.MOV", Form::standard, sink, lines.sink()), LocatedOutcome::written_boxes);
  test::LogLines whole_lines;
  EXPECT_EQ(sink.text, splitData(clip.bytes, "F.MOV", whole_lines.sink()));
  EXPECT_EQ(lines.lines, whole_lines.lines);
  EXPECT_EQ(test::count_of(sink.text, "'stat':\"65\""), 50U);
  // Boxes a short gap apart are read together: a media read starts at a box
  // and ends at one, and the gaps read stay under half the boxes' bytes.
  std::uint64_t media_read = 0;
  std::uint64_t listed = 0;
  for (const auto& box : clip.boxes)
    listed += box.second;
  for (const auto& read : source.ranges) {
    if (read.second <= 16 || read.first >= clip.mdat_end) continue;  // headers
    const auto starts = [&read](const auto& box) { return box.first == read.first; };
    const auto ends = [&read](const auto& box) { return box.first + box.second == read.first + read.second; };
    EXPECT_TRUE(std::any_of(clip.boxes.begin(), clip.boxes.end(), starts) &&
                std::any_of(clip.boxes.begin(), clip.boxes.end(), ends))
        << "read of " << read.second << " media bytes at " << read.first;
    media_read += read.second;
  }
  EXPECT_GT(media_read, listed) << "neighbouring boxes shared a read";
  EXPECT_LE(media_read * 2, listed * 3);
}

TEST(LocatedRead, BoxesFarApartAreReadEachOnItsOwn) {
  const ClipShape spread{[](unsigned s) { return test::freegps_atom(0x400, s); }};
  const IndexedClip clip = shaped_clip(4, spread);  // 900 or more media bytes apart, over half a box
  WatchedSource source(clip.bytes);
  StringSink sink;
  ASSERT_EQ(extract_located(source, "F.MOV", Form::standard, sink), LocatedOutcome::written_boxes);
  EXPECT_EQ(sink.text, splitData(clip.bytes, "F.MOV"));
  for (const auto& box : clip.boxes)
    EXPECT_EQ(std::count(source.ranges.begin(), source.ranges.end(), box), 1) << "box at " << box.first;
}

// How many reads touched [offset, offset + n).
std::size_t reads_touching(const WatchedSource& source, std::uint64_t offset, std::uint64_t n) {
  return static_cast<std::size_t>(std::count_if(source.ranges.begin(), source.ranges.end(), [&](const auto& r) {
    return r.first < offset + n && offset < r.first + r.second;
  }));
}

TEST(LocatedRead, EachBoxIsReadOnceAfterAHintAndTheMovieHeaderInOneRead) {
  const IndexedClip clip = indexed_clip(6, 0x800);
  WatchedSource source(clip.bytes);
  StringSink sink;
  ASSERT_EQ(extract_located(source, "F.MOV", Form::standard, sink), LocatedOutcome::written_boxes);
  EXPECT_EQ(sink.text, splitData(clip.bytes, "F.MOV"));
  const std::size_t first_box_read =
      static_cast<std::size_t>(std::find_if(source.ranges.begin(), source.ranges.end(),
                                            [&](const auto& r) { return r.first == clip.boxes[0].first; }) -
                               source.ranges.begin());
  for (const auto& box : clip.boxes) {
    EXPECT_EQ(reads_touching(source, box.first, box.second), 1U) << "box at " << box.first;
    const bool hinted = std::any_of(source.hinted.begin(), source.hinted.end(), [&](const auto& h) {
      return h.offset <= box.first && box.first + box.second <= h.offset + h.n && h.reads_before <= first_box_read;
    });
    EXPECT_TRUE(hinted) << "box at " << box.first << " announced before the boxes are read";
  }
  // The moov's own header, then the whole moov.
  EXPECT_EQ(reads_touching(source, clip.mdat_end, clip.bytes.size() - clip.mdat_end), 2U);
}

TEST(LocatedRead, ALargeMovieHeaderIsWalkedAtomByAtom) {
  const ClipShape shape{[](unsigned s) { return test::freegps_atom(0x800, s); }, 5U << 20};
  const IndexedClip clip = shaped_clip(3, shape);
  WatchedSource source(clip.bytes);
  StringSink sink;
  ASSERT_EQ(extract_located(source, "F.MOV", Form::standard, sink), LocatedOutcome::written_boxes);
  EXPECT_EQ(sink.text, splitData(clip.bytes, "F.MOV"));
  for (const auto& [offset, n] : source.ranges) {
    const bool media = offset + n <= clip.mdat_end;
    EXPECT_TRUE(media || n <= 16 + 8 * 3) << "only headers and the index of the moov: " << n << " bytes at " << offset;
  }
}

// A box atom packing `count` boxes back to back, each after its marker.
ByteVector packed_atom(std::size_t count, unsigned second) {
  const ByteVector one = test::freegps_atom(380, second);  // size, marker, 44 bytes, one box
  ByteVector out(one.begin(), one.begin() + 4);
  for (std::size_t k = 0; k < count; ++k)
    out.insert(out.end(), one.begin() + 4, one.end());
  ByteVector size;
  test::put_be(size, out.size(), 4);
  std::copy(size.begin(), size.end(), out.begin());
  return out;
}

TEST(LocatedRead, MoreBoxesThanAClipCouldHoldAreLeftToTheSearch) {
  const ClipShape few{[](unsigned s) { return packed_atom(50, s); }};
  StringSink read;
  ASSERT_EQ(located(shaped_clip(2, few).bytes, Form::standard, read), LocatedOutcome::written_boxes);
  EXPECT_EQ(test::count_of(read.text, "'stat':"), 2 * 50 * 10U);
  // Atoms of about 1 MiB, the largest a box may be, 35100 boxes in all.
  const ByteVector large = packed_atom(2700, 1);
  const ClipShape many{[&large](unsigned) { return ByteVector(large); }};
  StringSink refused;
  EXPECT_EQ(located(shaped_clip(13, many).bytes, Form::standard, refused), LocatedOutcome::fall_back);
  EXPECT_EQ(refused.text, "");
}

TEST(LocatedRead, MarkersInsideABoxAtomAreReadAsTheSearchReadsThem) {
  // Both boxes share one read. A marker inside the box before it is passed
  // over by the search, one past that box is read; each atom keeps its own.
  struct Case {
    std::vector<std::pair<std::size_t, std::uint64_t>> markers;  // box, offset from its marker
    std::size_t boxes;
  };
  const IndexedClip plain = indexed_clip(2, 0x1000);
  for (const Case& c : {Case{{{0, 1000}}, 3}, Case{{{0, 200}}, 2}, Case{{{0, 200}, {0, 1000}, {1, 1000}}, 4},
                        Case{{{1, 320}, {1, 332}, {1, 700}}, 4}}) {
    ByteVector bytes = plain.bytes;
    for (const auto& [box, from_marker] : c.markers) {
      for (std::size_t i = 0; i < 7; ++i)
        bytes[plain.boxes[box].first + 4 + from_marker + i] = static_cast<std::byte>("freeGPS"[i]);
    }
    StringSink sink;
    ASSERT_EQ(located(bytes, Form::standard, sink), LocatedOutcome::written_boxes) << c.boxes;
    EXPECT_EQ(sink.text, splitData(bytes, "F.MOV"));
    EXPECT_EQ(test::count_of(sink.text, "'stat':"), 10 * c.boxes);
  }
}

TEST(LocatedRead, AMarkerInTheMediaReadBetweenBoxesFallsBack) {
  // Neighbouring boxes share a read, gap and all; the whole-file search
  // would find a box in that gap which the index does not list.
  const IndexedClip plain = indexed_clip(5, 0x800);
  for (const std::uint64_t from_box_end : {std::uint64_t{100}, std::uint64_t{0}}) {
    ByteVector bytes = plain.bytes;
    const std::uint64_t stray = plain.boxes[1].first + plain.boxes[1].second + from_box_end;
    for (std::size_t i = 0; i < 7; ++i)
      bytes[stray + i] = static_cast<std::byte>("freeGPS"[i]);
    StringSink sink;
    EXPECT_EQ(located(bytes, Form::standard, sink), LocatedOutcome::fall_back) << from_box_end;
    EXPECT_EQ(sink.text, "");
  }
}

TEST(LocatedRead, IndexCountBeyondItsEntriesIsClampedToThem) {
  const IndexedClip clip = indexed_clip(3, 0x800, [](Entries&, std::uint64_t& count) { count = 1000; });
  StringSink sink;
  ASSERT_EQ(located(clip.bytes, Form::standard, sink), LocatedOutcome::written_boxes);
  EXPECT_EQ(sink.text, splitData(clip.bytes, "F.MOV"));
}

TEST(LocatedRead, AnIndexThatCannotBeTrustedFallsBackWithoutWriting) {
  const std::pair<const char*, Edit> cases[] = {
      {"empty",
       [](Entries& e, std::uint64_t& n) {
         e.clear();
         n = 0;
       }},
      {"entry outside the file", [](Entries& e, std::uint64_t&) { e[1].first = 0xFFFFFF00; }},
      {"entry at media bytes", [](Entries& e, std::uint64_t&) { e[1].first -= 100; }},
      {"entry size differs from the atom's", [](Entries& e, std::uint64_t&) { e[2].second -= 4; }},
      {"entries out of order", [](Entries& e, std::uint64_t&) { std::swap(e[0], e[1]); }},
      {"entries overlap", [](Entries& e, std::uint64_t&) { e[1] = e[0]; }},
      {"entry of zero size", [](Entries& e, std::uint64_t&) { e[0].second = 0; }},
  };
  for (const auto& [what, edit] : cases) {
    const IndexedClip clip = indexed_clip(3, 0x800, edit);
    StringSink sink;
    EXPECT_EQ(located(clip.bytes, Form::standard, sink), LocatedOutcome::fall_back) << what;
    EXPECT_EQ(sink.text, "") << what;
  }
}

TEST(LocatedRead, BoxesThatDoNotFitTheirAtomFallBack) {
  // The box is 332 bytes from 44 behind the marker: an atom of 300 bytes ends inside it.
  StringSink small;
  EXPECT_EQ(located(indexed_clip(2, 300).bytes, Form::standard, small), LocatedOutcome::fall_back);

  // A marker in the atom's tail whose box would reach past the atom.
  IndexedClip clip = indexed_clip(2, 0x800);
  const std::uint64_t late = clip.boxes[0].first + 0x800 - 100;
  for (std::size_t i = 0; i < 7; ++i)
    clip.bytes[late + i] = static_cast<std::byte>("freeGPS"[i]);
  StringSink late_sink;
  EXPECT_EQ(located(clip.bytes, Form::standard, late_sink), LocatedOutcome::fall_back);

  // An atom ending in the first bytes of a marker the search could complete past it.
  IndexedClip cut = indexed_clip(2, 0x800);
  const std::uint64_t end = cut.boxes[0].first + 0x800;
  for (std::size_t i = 0; i < 4; ++i)
    cut.bytes[end - 4 + i] = static_cast<std::byte>("free"[i]);
  StringSink cut_sink;
  EXPECT_EQ(located(cut.bytes, Form::standard, cut_sink), LocatedOutcome::fall_back);
}

TEST(LocatedRead, AFailingBoxReadIsReportedWithNothingWritten) {
  const IndexedClip clip = indexed_clip(3, 0x800);
  WatchedSource counting(clip.bytes);
  StringSink first;
  ASSERT_EQ(extract_located(counting, "F.MOV", Form::standard, first), LocatedOutcome::written_boxes);
  // The last read is the last box: the clip changed or vanished while read.
  WatchedSource failing(clip.bytes, counting.ranges.size() - 1);
  StringSink sink;
  EXPECT_EQ(extract_located(failing, "F.MOV", Form::standard, sink), LocatedOutcome::read_failed);
  EXPECT_EQ(sink.text, "");
  // A header read failing: the structure cannot be followed, so the caller may search instead.
  WatchedSource early(clip.bytes, 1);
  StringSink none;
  EXPECT_EQ(extract_located(early, "F.MOV", Form::standard, none), LocatedOutcome::fall_back);
  EXPECT_EQ(none.text, "");
}

// ftyp, an mdat of noise, moov, then gps0 and gsen atoms as the cameras append
// them; the records hold real dates and positions at today's gps0 offsets.
ByteVector gps0_clip(std::size_t records, std::size_t slots, std::uint8_t month = 3) {
  test::MovBuilder mov;
  mov.add(atom("ftyp", ByteVector(8)));
  mov.add(atom("mdat", test::noise(5000)));
  mov.add(atom("moov", atom("mvhd", ByteVector(100))));
  test::ClipBuilder gps0(records * 32);
  for (std::size_t k = 0; k < records; ++k) {
    gps0.f64le(k * 32, 2502.12 + 0.01 * static_cast<double>(k)).f64le(k * 32 + 8, 12133.52);
    gps0.u8(k * 32 + 20, static_cast<std::uint8_t>(40 + k)).u8(k * 32 + 22, 16).u8(k * 32 + 23, month);
    gps0.u8(k * 32 + 24, 1).u8(k * 32 + 25, 9).u8(k * 32 + 26, 5).u8(k * 32 + 27, static_cast<std::uint8_t>(k));
  }
  mov.add(atom("gps0", gps0.bytes()));
  mov.add(atom("gsen", test::noise(slots * 12, 5)));
  return mov.bytes();
}

TEST(LocatedRead, Gps0ClipGivesTheWholeFileTextAndLogInBothForms) {
  const ByteVector clip = gps0_clip(20, 200);
  for (const Form form : {Form::standard, Form::close}) {
    StringSink sink;
    test::LogLines lines;
    test::LogLines whole_lines;
    ASSERT_EQ(located(clip, form, sink, lines.sink()), LocatedOutcome::written_tail);
    EXPECT_EQ(sink.text, extract_text(clip, "F.MOV", form, whole_lines.sink()));
    EXPECT_EQ(lines.lines, whole_lines.lines) << "the lengths logged after a failed search included";
    EXPECT_GT(sink.text.size(), 1000U);
  }
}

TEST(LocatedRead, ClipsWithoutUsableStructureFallBack) {
  ByteVector with_marker = gps0_clip(20, 10);
  const std::size_t at = with_marker.size() - 50;
  for (std::size_t i = 0; i < 7; ++i)
    with_marker[at + i] = static_cast<std::byte>("freeGPS"[i]);
  ByteVector broken_walk = gps0_clip(20, 10);
  broken_walk.push_back(std::byte{1});
  test::MovBuilder no_data;
  no_data.add(atom("ftyp", ByteVector(8)));
  no_data.add(atom("mdat", test::noise(3000)));
  const IndexedClip indexed = indexed_clip(2, 0x800, [](Entries& e, std::uint64_t&) { e[0].first += 1; });
  const ByteVector implausible = gps0_clip(20, 10, 13);
  const std::pair<const char*, ByteVector> cases[] = {
      {"freeGPS marker in the gps0 tail", with_marker},
      {"gps0 records today's layout cannot read", implausible},
      {"a top-level atom cut off", broken_walk},
      {"neither index nor gps0", no_data.bytes()},
      {"no bytes", {}},
  };
  for (const auto& [what, bytes] : cases) {
    StringSink sink;
    EXPECT_EQ(located(bytes, Form::standard, sink), LocatedOutcome::fall_back) << what;
  }
  StringSink close;
  EXPECT_EQ(located(indexed.bytes, Form::close, close), LocatedOutcome::fall_back)
      << "a freeGPS clip read in the gps0 close form is searched whole";
}

}  // namespace
}  // namespace vek::track::container
