#include "track/formats/TextSidecar.h"

#include "FamilyPayloads.h"

#include <gtest/gtest.h>

namespace vek::track::formats {
namespace {

std::string nmea_log() {
  return "$GPSCAMTIME,20160301170507\r\n" + test::nmea(test::kRmcBody) +
         "\r\n$GSENSORD,0.01,-0.5,0.98\r\n"
         "$GSENSOR,12,-400,1000\r\n" +
         test::nmea("GPRMC,090508.00,V,,,,,,,010316,,,N") + "\r\n" +
         test::nmea("GPRMC,090509.00,A,2502.0578,N,12133.8681,E,10.0,0.0,010316,,,A") + "\r\n$GPSENDTIME,1\r\n";
}

TEST(TextSidecar, NmeaLogGivesFixesAndDecimalAcceleration) {
  ASSERT_TRUE(looks_like_nmea_sidecar(nmea_log()));
  const Decoded d = decode_nmea_sidecar(nmea_log());
  ASSERT_EQ(d.fixes.size(), 2u);  // the void sentence has no position
  EXPECT_EQ(d.fixes[1].time.second, 9);
  ASSERT_EQ(d.accel.size(), 1u);
  EXPECT_FLOAT_EQ(d.accel[0].y, -0.5f);
  EXPECT_EQ(d.notes.size(), 2u);
}

TEST(TextSidecar, MapRowsInKmh) {
  const std::string map =
      "A,010316,090507,2502.0378,N,12133.8681,E,36.0,12,-3,1010;"
      "V,010316,090508,2502.0378,N,12133.8681,E,0.0,12,-3,1010;\n"
      "A,010316,090509,2502.0478,S,12133.8681,W,40.5,12,-3,1010;\n";
  ASSERT_TRUE(looks_like_map_sidecar(map));
  const Decoded d = decode_map_sidecar(map);
  ASSERT_EQ(d.fixes.size(), 3u);
  EXPECT_DOUBLE_EQ(d.fixes[0].speed_kmh, 36.0);
  EXPECT_FALSE(d.fixes[1].valid);
  EXPECT_LT(d.fixes[2].latitude, 0);
  EXPECT_LT(d.fixes[2].longitude, 0);
}

TEST(TextSidecar, MalformedTextGivesNothing) {
  for (const std::string_view text : {"", "\n\n\n", "$GPRMC,,,,,*00", "A,010316,090507,2502.0378,N,12133.8681,E,36.0;",
                                      "A,010316,090507,2502.0378,N,12133.8681,E,36.0,x,y,z;"}) {
    EXPECT_TRUE(decode_nmea_sidecar(text).fixes.empty()) << text;
    EXPECT_TRUE(decode_map_sidecar(text).fixes.empty()) << text;
    EXPECT_FALSE(looks_like_nmea_sidecar(text));
    EXPECT_FALSE(looks_like_map_sidecar(text));
  }
  // A line beyond the line limit is not read, though it starts with a whole sentence.
  const std::string sentence = test::nmea(test::kRmcBody);
  EXPECT_EQ(decode_nmea_sidecar(sentence + std::string(400, ' ') + "x").fixes.size(), 1u);
  EXPECT_TRUE(decode_nmea_sidecar(sentence + std::string(600, ' ') + "x").fixes.empty());
}

TEST(TextSidecar, CandidatePaths) {
  const auto paths = text_sidecars("/card/CARDV/100video/FILE_A.MP4");
  ASSERT_EQ(paths.size(), 6u);
  EXPECT_EQ(paths[0], "/card/CARDV/100video/FILE_A.nmea");
  EXPECT_EQ(paths[2], "/card/CARDV/100video/FILE_A.map");
  EXPECT_EQ(paths[4], "/card/CARDV/103gps/FILE_A.gpx");
  EXPECT_EQ(paths[5], "/card/CARDV/203gps/FILE_A.gpx");
}

}  // namespace
}  // namespace vek::track::formats
