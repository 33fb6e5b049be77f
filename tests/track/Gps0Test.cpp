#include "ClipBuilder.h"
#include "track/Search.h"
#include "track/Track.h"

#include <gtest/gtest.h>

namespace vek::track {
namespace {

using test::ClipBuilder;
using test::count_of;

constexpr std::size_t kMarker = 64;

// A gps0 marker at kMarker with `units` x 36 bytes behind it; every record
// the worked example's position, 60 km/h, 2016-03-01 09:05:k.
ClipBuilder gps0_clip(std::size_t units, std::size_t tail = 0) {
  ClipBuilder clip(kMarker + units * 36 + tail);
  clip.ascii(kMarker, "gps0");
  for (std::size_t k = 0; 32 * k + 32 <= units * 36; ++k) {
    const std::size_t r = kMarker + 32 * k;
    clip.f64le(r + 4, 2502.12345).f64le(r + 12, 12133.5208).u8(r + 24, 60).u8(r + 25, 0x99);
    clip.u8(r + 26, 16)
        .u8(r + 27, 3)
        .u8(r + 28, 1)
        .u8(r + 29, 9)
        .u8(r + 30, 5)
        .u8(r + 31, static_cast<std::uint8_t>(k));
  }
  const std::size_t end = kMarker + units * 36;
  clip.u8(end - 12, 0x40).u8(end - 8, 0xC0).u8(end - 4, 0x00);
  return clip;
}

std::string example_statement(const std::string& key) {
  const std::string head = "data[\"G.MOV\"][\"" + key + "\"]";
  return head + "=new Array();\n" + head +
         "={'speed':\"60\",'lat':\"25.0288872\",'lon':\"121.5480427\",'x':\"1.07\",'y':\"-1.07\",'z':\"0.00\","
         "'lbs':\"25[ 1' 43.99:,121[ 32' 52.95:\",'stat':\"2\",'degrees':\"0\"};\n";
}

TEST(Gps0, WorkedExampleRecordWrittenTenTimes) {
  const ClipBuilder clip = gps0_clip(20);
  const std::string text = splitData_new(clip.bytes(), "G.MOV");
  std::string expected = "//C12\ndata['G.MOV']=new Array();\n";
  for (int k = 3; k < 15; ++k)
    for (int t = 0; t < 10; ++t)
      expected += example_statement("2016/03/01 17:05:" + std::string(k < 10 ? "0" : "") + std::to_string(k) + "." +
                                    std::to_string(t));
  EXPECT_EQ(text, expected);
}

TEST(Gps0, LogOfOneChunk) {
  const ClipBuilder clip = gps0_clip(20);
  test::LogLines log;
  splitData(clip.bytes(), "G.MOV", log.sink());
  ASSERT_EQ(log.lines.size(), 2U + 1U + 1U + 15U * 8U + 1U);
  EXPECT_EQ(log.lines[0], "data_rn:0");
  EXPECT_EQ(log.lines[1], "新晶片");
  EXPECT_EQ(log.lines[2], "新晶片解析_start");
  EXPECT_EQ(log.lines[3], "影片長度:20");
  EXPECT_EQ(log.lines[4], "v1:25.000000");
  EXPECT_EQ(log.lines[8], "v1:121.000000");
  // After the failed search the length is computed from NSNotFound all the same.
  const std::uint64_t wrapped = (clip.size() - NSNotFound) / 36;
  EXPECT_EQ(log.lines.back(), "影片長度:" + std::to_string(static_cast<int>(static_cast<std::uint32_t>(wrapped))));
}

TEST(Gps0, ZeroRecord) {
  ClipBuilder clip(kMarker + 20 * 36);
  clip.ascii(kMarker, "gps0");
  const std::string text = splitData_new(clip.bytes(), "G.MOV");
  EXPECT_NE(
      text.find("data[\"G.MOV\"][\"2000/00/00 08:00:00.0\"]={'speed':\"0\",'lat':\"-0.0078750\","
                "'lon':\"-0.0164256\",'x':\"0.00\",'y':\"0.00\",'z':\"0.00\",'lbs':\"0[ 0' 28.35:,0[ 0' 59.13:\""),
      std::string::npos)
      << text.substr(0, 300);
}

TEST(Gps0, NoMarkerGivesTheTwoHeaderLines) {
  ClipBuilder clip(500);
  EXPECT_EQ(splitData(clip.bytes(), "CLIP.MOV"), "//C12\ndata['CLIP.MOV']=new Array();\n");
  EXPECT_EQ(splitData(Bytes{}, "E.MOV"), "//C12\ndata['E.MOV']=new Array();\n");
}

TEST(Gps0, HourPlusEightWithoutCarry) {
  ClipBuilder clip = gps0_clip(20);
  clip.u8(kMarker + 32 * 3 + 29, 16).u8(kMarker + 32 * 4 + 29, 23);
  const std::string text = splitData_new(clip.bytes(), "G.MOV");
  EXPECT_NE(text.find("[\"2016/03/01 24:05:03.9\"]"), std::string::npos);
  EXPECT_NE(text.find("[\"2016/03/01 31:05:04.0\"]"), std::string::npos);
}

TEST(Gps0, ShortChunkIsDecodedAsFarAsItReaches) {
  test::LogLines log;
  const std::string text = splitData_new(gps0_clip(5).bytes(), "G.MOV", log.sink());  // records 0..4 fit
  EXPECT_EQ(count_of(text, "=new Array();\n"), 1U + 20U);
  EXPECT_EQ(log.lines.size(), 1U + 1U + 5U * 8U + 1U);
}

TEST(Gps0, EmptyChunkEndsTheSearch) {
  ClipBuilder clip(kMarker + 35);
  clip.ascii(kMarker, "gps0");
  test::LogLines log;
  EXPECT_EQ(splitData_new(clip.bytes(), "G.MOV", log.sink()), "//C12\ndata['G.MOV']=new Array();\n");
  EXPECT_EQ(log.lines, (std::vector<std::string>{"新晶片解析_start", "影片長度:0"}));
}

TEST(Gps0, SecondMarkerInTheTailDoesNotLoop) {
  ClipBuilder clip = gps0_clip(20, 30);
  clip.ascii(clip.size() - 10, "gps0");
  test::LogLines log;
  const std::string text = splitData_new(clip.bytes(), "G.MOV", log.sink());
  EXPECT_EQ(count_of(text, "'degrees':\"0\"};\n"), 120U);
  EXPECT_EQ(log.lines.back(), "影片長度:0");
}

TEST(Gps0, SameSecondTwiceGivesTheSameKeys) {
  ClipBuilder clip = gps0_clip(20);
  clip.u8(kMarker + 32 * 4 + 31, 3);
  const std::string text = splitData_new(clip.bytes(), "G.MOV");
  EXPECT_EQ(count_of(text, "[\"2016/03/01 17:05:03.7\"]={"), 2U);
}

}  // namespace
}  // namespace vek::track
