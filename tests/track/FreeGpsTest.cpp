#include "ClipBuilder.h"
#include "track/Track.h"

#include <gtest/gtest.h>

namespace vek::track {
namespace {

using test::ClipBuilder;
using test::count_of;

constexpr std::size_t kBoxOffset = 44;
constexpr std::size_t kBoxSpan = 44 + 332;  // marker to box end

// One box: 2016-03-01 09:05, sample j at 10 m/s, 7.5 + j seconds, G-sensor 0x40/0xC0/0.
void put_box(ClipBuilder& clip, std::size_t marker, std::int32_t lat_e7 = 250339640, std::int32_t lon_e7 = 1215644680) {
  clip.ascii(marker, "freeGPS");
  const std::size_t box = marker + kBoxOffset;
  for (std::size_t j = 0; j < 10; ++j) {
    const std::size_t s = box + 32 * j;
    clip.u16be(s + 2, 1000).u16be(s + 4, 180).u16be(s + 12, static_cast<std::uint16_t>(75 + 10 * j));
    clip.u8(s + 14, 'A').i32be(s + 15, lat_e7).i32be(s + 19, lon_e7);
  }
  // sample 0's own fields 6..11 are the box header
  clip.u16be(box + 6, 2016).u8(box + 8, 3).u8(box + 9, 1).u8(box + 10, 9).u8(box + 11, 5);
  clip.u8(box + 320, 0x40).u8(box + 324, 0xC0).u8(box + 328, 0x00);
}

std::string statement(const std::string& seconds, const std::string& lat = "25.0339642",
                      const std::string& lon = "121.5644684",
                      const std::string& label = "25[ 2' 2.27:,121[ 33' 52.08:") {
  const std::string key = "data[\"F.MOV\"][\"2016/03/01 10:05:" + seconds + "\"]";
  return key + "=new Array();" + key + "={'speed':\"36.000000\",'degrees':\"1.18\",'lat':\"" + lat + "\",'lon':\"" +
         lon + "\",'x':\"1.07\",'y':\"-1.07\",'z':\"0.00\",'lbs':\"" + label + "\",'stat':\"65\"};\n";
}

TEST(FreeGps, OneBoxGivesTenStatementsOnTheHeaderLine) {
  ClipBuilder clip(1000);
  put_box(clip, 100);
  test::LogLines log;
  std::string expected = "data['F.MOV']=new Array();";
  for (const char* s : {"7.5", "8.5", "9.5", "10.5", "11.5", "12.5", "13.5", "14.5", "15.5", "16.5"})
    expected += statement(s);
  EXPECT_EQ(splitData(clip.bytes(), "F.MOV", log.sink()), expected);
  EXPECT_EQ(log.lines, std::vector<std::string>{"data_rn:8"});
}

TEST(FreeGps, KBoxesGiveTenKStatements) {
  ClipBuilder clip(4000);
  for (const std::size_t at : {0U, 700U, 1400U, 2100U, 3000U})
    put_box(clip, at);
  test::LogLines log;
  const std::string text = splitData(clip.bytes(), "F.MOV", log.sink());
  EXPECT_EQ(count_of(text, "\"]=new Array();data[\"F.MOV\"]"), 50U);
  EXPECT_EQ(count_of(text, "\n"), 50U);
  EXPECT_EQ(log.lines, std::vector<std::string>{"data_rn:40"});
}

TEST(FreeGps, MarkerInABoxTailIsFoundAndOverlaps) {
  ClipBuilder clip(2000);
  put_box(clip, 100);
  put_box(clip, 100 + 332 + 10);  // inside the first box's last 44 bytes
  test::LogLines log;
  const std::string text = splitData(clip.bytes(), "F.MOV", log.sink());
  EXPECT_EQ(count_of(text, "\n"), 20U);
  EXPECT_EQ(log.lines, std::vector<std::string>{"data_rn:16"});
}

TEST(FreeGps, BoxReachingPastTheEndIsSkipped) {
  ClipBuilder whole(100 + kBoxSpan);
  put_box(whole, 100);
  const Bytes exact = whole.bytes();
  EXPECT_EQ(count_of(splitData(exact, "F.MOV"), "\n"), 10U) << "a box ending at the last byte is read";
  test::LogLines log;
  EXPECT_EQ(splitData(exact.first(exact.size() - 1), "F.MOV", log.sink()), "data['F.MOV']=new Array();");
  EXPECT_EQ(log.lines, std::vector<std::string>{"data_rn:0"}) << "still the freeGPS form, nothing decoded";
}

TEST(FreeGps, HourWithoutCarryAndNegativeLatitude) {
  ClipBuilder clip(1000);
  put_box(clip, 0, -338568000, 1512153000);
  clip.u8(kBoxOffset + 10, 23);
  const std::string text = splitData(clip.bytes(), "F.MOV");
  EXPECT_NE(text.find("[\"2016/03/01 24:05:7.5\"]"), std::string::npos);
  EXPECT_NE(text.find("'lat':\"-33.8568001\",'lon':\"151.2153015\""), std::string::npos) << text.substr(0, 400);
  EXPECT_NE(text.find("'lbs':\"-33[ 51' 24.48:,151[ 12' 55.08:\""), std::string::npos);
}

TEST(FreeGps, SecondsBelowTenHaveNoLeadingZeroAndWholeSecondsOneDecimal) {
  ClipBuilder clip(1000);
  put_box(clip, 0);
  clip.u16be(kBoxOffset + 12, 0).u16be(kBoxOffset + 32 + 12, 120);
  const std::string text = splitData(clip.bytes(), "F.MOV");
  EXPECT_NE(text.find("[\"2016/03/01 10:05:0.0\"]"), std::string::npos);
  EXPECT_NE(text.find("[\"2016/03/01 10:05:12.0\"]"), std::string::npos);
}

TEST(FreeGps, FileNameIsEscapedWhereverItIsInserted) {
  ClipBuilder clip(1000);
  put_box(clip, 0);
  const std::string text = splitData(clip.bytes(), "it's \"x\".MOV");
  EXPECT_EQ(text.rfind("data['it\\'s \\\"x\\\".MOV']=new Array();", 0), 0U);
  EXPECT_EQ(count_of(text, "data[\"it\\'s \\\"x\\\".MOV\"]"), 20U);
}

}  // namespace
}  // namespace vek::track
