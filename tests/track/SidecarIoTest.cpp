// The sidecar step through extraction: which file beside the clip is read,
// what the track and its family record say, and that sidecars stay as they were.

#include "track/io/Extract.h"
#include "track/io/FamilyRecord.h"
#include "track/io/SidecarRead.h"

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace vek::track::io {
namespace {

namespace fs = std::filesystem;
using test::ScratchFolder;

constexpr const char* kRmc = "$GPRMC,090507.00,A,2502.0378,N,12133.8681,E,10.0,123.4,010316,,,A*69\r\n";
constexpr const char* kRmc2 = "$GPRMC,090508.00,A,2502.0390,N,12133.8690,E,10.0,123.4,010316,,,A*60\r\n";

ExtractResult extract(const ScratchFolder& home, const fs::path& clip) {
  fs::create_directories(home / "VEK/data");
  const std::string name = clip.filename().string();
  return extract_clip(clip, home.path(), "/VEK/data/" + name.substr(0, name.size() - 4) + ".data", name, Form::standard,
                      {});
}

TEST(SidecarStep, AClipWithoutDataIsReadFromItsSidecarInTheFreeGpsForm) {
  const ScratchFolder folder;
  const fs::path clip = folder.write("card/C.MOV", "no markers here");
  const fs::path nmea = folder.write("card/C.nmea", std::string(kRmc) + kRmc2);
  const auto before = fs::last_write_time(nmea);
  const ExtractResult result = extract(folder, clip);
  ASSERT_TRUE(result.written) << result.error.message;
  const std::string text = ScratchFolder::read(result.track_path);
  EXPECT_EQ(text.rfind("data['C.MOV']=new Array();data[\"C.MOV\"][\"2016/03/01 10:05:7.0\"]=new Array();", 0), 0U)
      << text;
  EXPECT_NE(text.find("'lat':\"25.0339633\""), std::string::npos) << text;
  EXPECT_EQ(result.family, "NMEA sidecar (family 13)");
  EXPECT_EQ(read_family_record(result.track_path), "NMEA sidecar (family 13)");
  EXPECT_EQ(ScratchFolder::read(nmea), std::string(kRmc) + kRmc2);
  EXPECT_EQ(fs::last_write_time(nmea), before);
}

TEST(SidecarStep, WithoutSidecarsTheTrackTextIsAsAlwaysAndTheRecordSaysSo) {
  const ScratchFolder folder;
  const ExtractResult result = extract(folder, folder.write("card/C.MOV", "no markers here"));
  ASSERT_TRUE(result.written);
  EXPECT_EQ(ScratchFolder::read(result.track_path), "//C12\ndata['C.MOV']=new Array();\n");
  EXPECT_EQ(read_family_record(result.track_path), "no GPS data found");
}

TEST(SidecarStep, AnUnreadableSidecarGivesWayToTheNextKind) {
  const ScratchFolder folder;
  const fs::path clip = folder.write("card/C.MOV", "x");
  folder.write("card/C.gps", "[1456852307000]$GPRMC,090507.00,V,,,,,,,010316,,,N*00\n");
  folder.write("card/C.srt",
               "1\n00:00:00,000 --> 00:00:01,000\n2016-03-01 09:05:07.000\n"
               "[latitude: 25.033964] [longitude: 121.564468] [rel_alt: 1.2 abs_alt: 15.3]\n");
  std::vector<std::string> declined;
  const auto track = read_sidecars(clip, declined);
  ASSERT_TRUE(track.has_value());
  EXPECT_EQ(track->family, "SubRip telemetry sidecar (family 15)");
  EXPECT_EQ(track->used, std::vector<fs::path>{folder / "card/C.srt"});
  ASSERT_EQ(declined.size(), 1U);
  EXPECT_NE(declined[0].find("C.gps: no signature or no fix that validates"), std::string::npos) << declined[0];
}

TEST(SidecarStep, AGpsLogTakesItsAccelerationLog) {
  const ScratchFolder folder;
  const fs::path clip = folder.write("card/C.MOV", "x");
  folder.write("card/C.gps", std::string("[1456852307000]") + kRmc + "[1456852308000]" + kRmc2);
  std::string accel;
  for (const int b : {0, 0, 0, 0, 0, 128, 0, 64, 0, 0, 0, 0, 0, 100, 0, 0, 0, 0, 0, 0})
    accel.push_back(static_cast<char>(b));
  accel += std::string(10, '\xff');
  folder.write("card/C.3gf", accel);
  std::vector<std::string> declined;
  const auto track = read_sidecars(clip, declined);
  ASSERT_TRUE(track.has_value());
  EXPECT_EQ(track->used, (std::vector<fs::path>{folder / "card/C.gps", folder / "card/C.3gf"}));
  ASSERT_EQ(track->decoded.fixes.size(), 2U);
  ASSERT_TRUE(track->decoded.fixes[0].accel.has_value());
  EXPECT_FLOAT_EQ(track->decoded.fixes[0].accel->z, 1.0f);  // vertical 128 at 1/128 g
  EXPECT_FLOAT_EQ(track->decoded.fixes[0].accel->x, 0.5f);  // lateral 64
}

TEST(SidecarStep, TheCardWideLogIsFoundUpToTwoFoldersAbove) {
  const ScratchFolder folder;
  const std::string log = "$V02\n1456794307,A,25.033964,121.564468,0,1000,0,0,100,C.MOV,0,0,0\n";
  const fs::path deep = folder.write("card/DCIM/Movie/Front/C.MOV", "x");
  folder.write("card/GPSData000001.txt", log);
  std::vector<std::string> declined;
  EXPECT_FALSE(read_sidecars(deep, declined).has_value()) << "three folders above is past the card root";
  const fs::path clip = folder.write("card/DCIM/Movie/C.MOV", "x");
  const auto track = read_sidecars(clip, declined);
  ASSERT_TRUE(track.has_value());
  EXPECT_EQ(track->family, "$V02 CSV log (family 4)");
  EXPECT_EQ(track->used, std::vector<fs::path>{folder / "card/GPSData000001.txt"});
}

TEST(FamilyRecord, LabelsAndRecordsThatAreNotOurs) {
  formats::Probe probe;
  EXPECT_EQ(family_label(probe), "no GPS data found");
  probe.verdict = formats::Verdict::today;
  probe.family = "freeGPS boxes (today's layout)";
  EXPECT_EQ(family_label(probe), "freeGPS boxes");
  probe.family = "gps0/gsen records (today's layout)";
  EXPECT_EQ(family_label(probe), "gps0/gsen records");
  probe.verdict = formats::Verdict::encrypted;
  EXPECT_EQ(family_label(probe), "encrypted, not readable");

  const ScratchFolder folder;
  const fs::path track = folder / "C.data";
  EXPECT_EQ(read_family_record(track), "") << "a folder from before the records";
  folder.write("C.data.family", "bad\x01name\n");
  EXPECT_EQ(read_family_record(track), "");
  folder.write("C.data.family", std::string(300, 'a'));
  EXPECT_EQ(read_family_record(track), "");
  folder.write("C.data.family", family_record_text("encrypted, not readable"));
  EXPECT_EQ(read_family_record(track), "encrypted, not readable");
}

}  // namespace
}  // namespace vek::track::io
