#include "drive/ClipTrack.h"

#include <gtest/gtest.h>

#include <cmath>

#include "TrackTexts.h"

namespace vek::drive {
namespace {

using testing::freegps_run;
using testing::freegps_statement;
using testing::freegps_text;

constexpr const char* kXyz = "'x':\"0.10\",'y':\"-0.20\",'z':\"0.98\"";

std::string replace_status(std::string statement, const std::string& status) {
  const std::string written = "'stat':\"65\"";
  return statement.replace(statement.find(written), written.size(), "'stat':\"" + status + "\"");
}

TEST(ClipTrack, ReadsFreeGpsStatementsWithTimesFromTheFirstKey) {
  const ClipTrack track = read_track_text(freegps_run(3, 5));
  ASSERT_EQ(track.samples.size(), 3U);
  EXPECT_DOUBLE_EQ(track.samples[0].t, 0.0);
  EXPECT_NEAR(track.samples[2].t, 0.2, 1e-6) << "epoch seconds carry about 0.2 us of rounding, as in the page";
  EXPECT_DOUBLE_EQ(track.samples[1].speed_kmh, 11.0);
  EXPECT_DOUBLE_EQ(track.samples[1].lon, 121.001);
  EXPECT_EQ(track.samples[1].label, "25[ 0' 0.00:,121[ 0' 0.00:");
  EXPECT_DOUBLE_EQ(track.samples[1].y, -0.2);
  EXPECT_TRUE(track.samples[1].valid);
  EXPECT_DOUBLE_EQ(track.key_offset, 3600.0);
}

TEST(ClipTrack, OrdersByTimeAndKeepsTheLastValuesOfAKeyWrittenTwice) {
  const std::string text = freegps_text(freegps_statement("2016/03/01 10:05:9.0", "30", "25", "121", "", kXyz) +
                                        freegps_statement("2016/03/01 10:05:7.5", "10", "25", "121", "", kXyz) +
                                        freegps_statement("2016/03/01 10:05:9.0", "40", "25", "121", "", kXyz));
  const ClipTrack track = read_track_text(text);
  ASSERT_EQ(track.samples.size(), 2U);
  EXPECT_DOUBLE_EQ(track.samples[0].speed_kmh, 10.0);
  EXPECT_DOUBLE_EQ(track.samples[1].speed_kmh, 40.0);
  EXPECT_DOUBLE_EQ(track.samples[1].t, 1.5);
}

TEST(ClipTrack, ReadsTheGps0FormsAndLeavesAnUnfilledGsensorPlaceholderEmpty) {
  const std::string lhs = "data[\"B.MOV\"][\"2016/03/01 27:05:07.3\"]";
  const std::string text = "//C12\ndata['B.MOV']=new Array();\n" + lhs + "=new Array();\n" + lhs +
                           "={'speed':\"42\",'lat':\"0.0000000\",'lon':\"0.0000000\",'lbs':\"0[ 0' 0.00:,0[ 0' "
                           "0.00:\",'stat':\"2\",'degrees':\"0\",[7]};\n";
  const ClipTrack track = read_track_text(text);
  ASSERT_EQ(track.samples.size(), 1U);
  EXPECT_DOUBLE_EQ(track.key_offset, 8 * 3600.0);
  EXPECT_DOUBLE_EQ(track.samples[0].speed_kmh, 42.0);
  EXPECT_TRUE(std::isnan(track.samples[0].x));
  EXPECT_FALSE(track.samples[0].valid) << "0,0 is the camera's 'no position'";
}

TEST(ClipTrack, TheFormIsTheFirstSamplesStatusAsThePageTellsIt) {
  const std::string gps0_status =
      freegps_text(replace_status(freegps_statement("2016/03/01 18:05:1.0", "5", "25", "121", "", kXyz), "2"));
  EXPECT_DOUBLE_EQ(read_track_text(gps0_status).key_offset, 8 * 3600.0);
  EXPECT_DOUBLE_EQ(read_track_text("//C12\n" + freegps_run(2)).key_offset, 3600.0) << "status 65 is freeGPS";
  EXPECT_DOUBLE_EQ(read_track_text("").key_offset, 3600.0);
}

TEST(ClipTrack, DamagedTextGivesTheStatementsThatAreWhole) {
  const std::string whole = freegps_statement("2016/03/01 10:05:1.0", "5", "25", "121", "", kXyz);
  const std::vector<std::string> damaged = {"",
                                            "\"]={",
                                            "data[\"A\"][\"x\"]={'speed':\"1\"};",
                                            "data[\"A\"][\"2016/03/01 10:05:2.0\"]={'speed':\"1",
                                            "data[\"A\"][\"2016/03/01 10:05:3.0\"]={'speed:\"1\"};",
                                            whole.substr(0, whole.size() / 2)};
  for (const std::string& junk : damaged) {
    const ClipTrack track = read_track_text(whole + junk);
    EXPECT_GE(track.samples.size(), 1U) << junk;
    EXPECT_DOUBLE_EQ(track.samples[0].speed_kmh, 5.0) << junk;
  }
  EXPECT_TRUE(read_track_text("nothing here").samples.empty());
}

TEST(ClipTrack, SampleLookupMatchesThePage) {
  const ClipTrack track = read_track_text(freegps_run(20));  // samples at 0.0 .. 1.9
  EXPECT_EQ(sample_index_at(track, -3.0), 0);
  EXPECT_EQ(sample_index_at(track, 0.0), 0);
  EXPECT_EQ(sample_index_at(track, 0.7), 7) << "a time on a key shows that key's sample";
  EXPECT_EQ(sample_index_at(track, 0.7 - 1e-3), 6);
  EXPECT_EQ(sample_index_at(track, 1.0 / 30 * 22), 7);
  EXPECT_EQ(sample_index_at(track, 99.0), 19);
  EXPECT_EQ(sample_index_at(ClipTrack{}, 1.0), -1);
}

}  // namespace
}  // namespace vek::drive
