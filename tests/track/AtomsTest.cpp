#include "MovBuilder.h"
#include "track/container/Atoms.h"

#include <gtest/gtest.h>

#include <string>

namespace vek::track::container {
namespace {

using test::atom;
using test::ByteVector;
using test::put_be;
using test::put_text;

std::string types(const std::vector<Atom>& atoms) {
  std::string out;
  for (const Atom& a : atoms)
    out += std::string(a.type.data(), 4) + ";";
  return out;
}

ByteVector joined(std::initializer_list<ByteVector> pieces) {
  ByteVector out;
  for (const ByteVector& p : pieces)
    out.insert(out.end(), p.begin(), p.end());
  return out;
}

TEST(Atoms, WalksThirtyTwoBitSixtyFourBitAndToTheEndSizes) {
  ByteVector large;
  put_be(large, 1, 4);
  put_text(large, "mdat");
  put_be(large, 16 + 5, 8);
  large.resize(large.size() + 5, std::byte{0x66});
  ByteVector to_end;
  put_be(to_end, 0, 4);
  put_text(to_end, "gps0");
  to_end.resize(to_end.size() + 40);
  const ByteVector clip = joined({atom("ftyp", ByteVector(4)), large, to_end});
  SpanSource source(clip);

  const auto atoms = walk_atoms(source, 0, clip.size());
  ASSERT_TRUE(atoms.has_value());
  EXPECT_EQ(types(*atoms), "ftyp;mdat;gps0;");
  EXPECT_EQ((*atoms)[1].offset, 12U);
  EXPECT_EQ((*atoms)[1].header, 16U);
  EXPECT_EQ((*atoms)[1].payload(), 28U);
  EXPECT_EQ((*atoms)[1].end(), 33U);
  EXPECT_EQ((*atoms)[2].size, 48U) << "size 0 runs to the end of the range";
  EXPECT_EQ(find_atom(*atoms, "gps0"), &(*atoms)[2]);
  EXPECT_EQ(find_atom(*atoms, "gsen"), nullptr);
}

TEST(Atoms, ChildrenOfAnAtomEndAtItsEndNotTheFiles) {
  const ByteVector clip = joined(
      {atom("moov", joined({atom("mvhd", ByteVector(4)), atom("gps ", ByteVector(8))})), atom("free", ByteVector(2))});
  SpanSource source(clip);
  const auto top = walk_atoms(source, 0, clip.size());
  ASSERT_TRUE(top.has_value());
  const auto children = walk_atoms(source, (*top)[0].payload(), (*top)[0].end());
  ASSERT_TRUE(children.has_value());
  EXPECT_EQ(types(*children), "mvhd;gps ;");
}

struct Broken {
  const char* what;
  ByteVector clip;
};

ByteVector header(std::uint32_t size32, std::string_view type, std::size_t payload) {
  ByteVector out;
  put_be(out, size32, 4);
  put_text(out, type);
  out.resize(out.size() + payload);
  return out;
}

ByteVector large_header(std::uint64_t size64, std::size_t payload) {
  ByteVector out;
  put_be(out, 1, 4);
  put_text(out, "mdat");
  put_be(out, size64, 8);
  out.resize(out.size() + payload);
  return out;
}

TEST(Atoms, SizesThatDoNotAddUpGiveNothing) {
  const ByteVector ok = atom("ftyp", ByteVector(4));
  const Broken cases[] = {
      {"size below the header", joined({ok, header(7, "free", 0)})},
      {"size past the end", joined({ok, header(100, "free", 10)})},
      {"header cut off", joined({ok, ByteVector(5)})},
      {"64-bit size below its header", joined({ok, large_header(15, 4)})},
      {"64-bit size past the end", joined({ok, large_header(1ULL << 40, 4)})},
      {"64-bit size field cut off", joined({ok, header(1, "mdat", 4)})},
  };
  for (const Broken& c : cases) {
    SpanSource source(c.clip);
    EXPECT_FALSE(walk_atoms(source, 0, c.clip.size()).has_value()) << c.what;
  }
}

TEST(Atoms, TooManyAtomsAtOneLevelGiveNothingAndAnEmptyRangeGivesNone) {
  ByteVector many;
  for (std::size_t i = 0; i <= kMaxAtomsPerLevel; ++i) {
    const ByteVector a = atom("free", {});
    many.insert(many.end(), a.begin(), a.end());
  }
  SpanSource source(many);
  EXPECT_FALSE(walk_atoms(source, 0, many.size()).has_value());
  const auto at_limit = walk_atoms(source, 8, many.size());
  ASSERT_TRUE(at_limit.has_value());
  EXPECT_EQ(at_limit->size(), kMaxAtomsPerLevel);
  EXPECT_TRUE(walk_atoms(source, 0, 0)->empty());
  EXPECT_FALSE(walk_atoms(source, 0, many.size() + 1).has_value()) << "a range past the source";
}

}  // namespace
}  // namespace vek::track::container
