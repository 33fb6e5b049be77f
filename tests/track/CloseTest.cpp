#include "ClipBuilder.h"
#include "track/GsensorParser.h"
#include "track/Track.h"

#include <gtest/gtest.h>

#include <map>

namespace vek::track {
namespace {

using test::ClipBuilder;
using test::count_of;

// A clip of `size` bytes whose gps0 marker stands `records` x 36 bytes before
// its end; record k has second k.
ClipBuilder close_clip(std::size_t size, std::size_t records) {
  ClipBuilder clip(size);
  const std::size_t p = size - 36 * records;
  clip.ascii(p, "gps0");
  for (std::size_t k = 0; k < records; ++k) {
    const std::size_t r = p + 32 * k;
    clip.f64le(r + 4, 2502.12345).f64le(r + 12, 12133.5208).u8(r + 24, 60);
    clip.u8(r + 26, 16)
        .u8(r + 27, 3)
        .u8(r + 28, 1)
        .u8(r + 29, 9)
        .u8(r + 30, 5)
        .u8(r + 31, static_cast<std::uint8_t>(k));
  }
  return clip;
}

std::string object_head(int second) {
  return "data[\"C.MOV\"][\"2016/03/01 17:05:0" + std::to_string(second) +
         ".0\"]={'speed':\"60\",'lat':\"25.0288872\",'lon':\"121.5480427\",'lbs':\"25[ 1' 43.99:,121[ 32' 52.95:\","
         "'stat':\"2\",'degrees':\"0\",";
}

TEST(Close, FiveRecordsFromTheLast180Bytes) {
  ClipBuilder clip = close_clip(1000, 5);
  clip.ascii(100, "gsen").u16be(100 + 36, 0x4000).u16be(100 + 40, 0xC000).u16be(100 + 44, 0x2000);
  test::LogLines log;
  const std::string text = splitData_new_close(clip.bytes(), "C.MOV", log.sink());
  EXPECT_EQ(text.rfind("//C12\ndata['C.MOV']=new Array();\n", 0), 0U);
  EXPECT_EQ(count_of(text, "=new Array();\n"), 1U + 20U) << "records 4 and 5 only";
  EXPECT_NE(text.find(object_head(3) + "'x':\"1.07\",'y':\"-1.07\",'z':\"0.54\"};\n"), std::string::npos) << text;
  EXPECT_NE(text.find(object_head(4) + "'x':\"0.00\",'y':\"0.00\",'z':\"0.00\"};\n"), std::string::npos);
  const std::string times =
      "2016/03/01 17:05:00,2016/03/01 17:05:01,2016/03/01 17:05:02,"
      "2016/03/01 17:05:03,2016/03/01 17:05:04,";
  const std::vector<std::string> tail(log.lines.end() - 4, log.lines.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"新晶片解析XYZ_start", "lines:" + times, "XYZ影片長度:75", tail.back()}));
  EXPECT_EQ(log.lines.size(), 1U + 2U + 5U * 8U + 2U + 2U);
}

// Slot n's z field holds n << 8, which prints as these values.
const std::map<int, std::string> kSlotZ = {{4, "0.07"}, {5, "0.08"}, {6, "0.10"},
                                           {7, "0.12"}, {8, "0.13"}, {9, "0.15"}};

void put_slot_z(ClipBuilder& clip, std::size_t marker, int first, int last) {
  for (int slot = first; slot <= last; ++slot)
    clip.u16be(marker + 12 * static_cast<std::size_t>(slot - 1) + 8, static_cast<std::uint16_t>(slot << 8));
}

TEST(Close, PlaceholdersFilledBySlotNumber) {
  ClipBuilder clip = close_clip(1000, 9);  // placeholders 4..9
  clip.ascii(100, "gsen");                 // a chunk of 75 slots
  put_slot_z(clip, 100, 1, 20);
  const std::string text = splitData_new_close(clip.bytes(), "C.MOV");
  for (const auto& [number, z] : kSlotZ)
    EXPECT_EQ(count_of(text, "'z':\"" + z + "\"};\n"), 10U) << number;
  EXPECT_EQ(count_of(text, "'degrees':\"0\",'x':"), 60U);
}

TEST(Close, PlaceholdersWithoutSlotAreRemoved) {
  // The gsen chunk is the last 72 bytes: six slots, in the chunk's unread tail
  // and the end of record 7 (whose time it changes).
  ClipBuilder clip = close_clip(1000, 9);
  const std::size_t gsen = 1000 - 72;
  clip.ascii(gsen, "gsen");
  put_slot_z(clip, gsen, 4, 6);
  const std::string text = splitData_new_close(clip.bytes(), "C.MOV");
  for (int number = 4; number <= 6; ++number)
    EXPECT_EQ(count_of(text, "'z':\"" + kSlotZ.at(number) + "\"};\n"), 10U) << number;
  EXPECT_EQ(count_of(text, "'degrees':\"0\",};\n"), 30U) << "records 7 to 9";
  EXPECT_EQ(text.find('['), text.find("['C.MOV']")) << "no placeholder is left";
}

TEST(Close, NoGsenMarkerLeavesNoPlaceholder) {
  const ClipBuilder clip = close_clip(400, 6);
  test::LogLines log;
  const std::string text = splitData_new_close(clip.bytes(), "C.MOV", log.sink());
  EXPECT_EQ(count_of(text, "'degrees':\"0\",};\n"), 30U);
  EXPECT_EQ(log.lines.at(log.lines.size() - 3), "新晶片解析XYZ_start");
}

TEST(Close, FileNameWithABracketedNumberIsUntouched) {
  ClipBuilder clip = close_clip(1000, 5);
  clip.ascii(100, "gsen");
  const std::string text = splitData_new_close(clip.bytes(), "A[4][5].MOV");
  EXPECT_EQ(count_of(text, "data[\"A[4][5].MOV\"]"), 40U);
}

TEST(Close, NoMarkerOrEmptyChunk) {
  test::LogLines log;
  EXPECT_EQ(splitData_new_close(ClipBuilder(100).bytes(), "C.MOV", log.sink()), "//C12\ndata['C.MOV']=new Array();\n");
  EXPECT_EQ(log.lines.at(3), "lines:");
  ClipBuilder tail(100);
  tail.ascii(100 - 35, "gps0");
  EXPECT_EQ(splitData_new_close(tail.bytes(), "C.MOV"), "//C12\ndata['C.MOV']=new Array();\n");
}

TEST(GsensorSlots, NumberedAcrossTheChunkFromOne) {
  ClipBuilder clip(100);
  clip.ascii(40, "gsen").u16be(40 + 4, 0x4000).u16be(40 + 8, 0xC000).u16be(40 + 12, 0x4000);
  const GsensorSlots slots = splitData_new_XYZ(clip.bytes());
  EXPECT_EQ(slots.slot_count(), 5U);
  const auto first = slots.find(1);
  ASSERT_TRUE(first.has_value());
  EXPECT_FLOAT_EQ(first->x, 1.7355899F) << "the marker's own \"gs\"";
  EXPECT_FLOAT_EQ(first->y, 1.0737418F);
  EXPECT_FLOAT_EQ(first->z, -1.0737418F);
  EXPECT_FLOAT_EQ(slots.find(2)->x, 1.0737418F);
  EXPECT_FALSE(slots.find(0).has_value());
  EXPECT_FALSE(slots.find(6).has_value());
}

TEST(GsensorSlots, MarkerInTheLastElevenBytesGivesNoSlot) {
  ClipBuilder clip(100);
  clip.ascii(100 - 11, "gsen");
  EXPECT_EQ(splitData_new_XYZ(clip.bytes()).slot_count(), 0U);
}

}  // namespace
}  // namespace vek::track
