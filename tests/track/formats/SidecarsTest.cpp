// The sidecar choice: which files beside a clip are looked at, in which
// order, how each kind is decoded, and acceleration spread over the fixes.

#include "track/formats/Sidecars.h"

#include "FamilyPayloads.h"
#include "Int32TrioPayloads.h"

#include <gtest/gtest.h>

namespace vek::track::formats {
namespace {

TEST(Sidecars, CandidatesBesideTheClipInTheirOrder) {
  const auto candidates = clip_sidecars("/card/DCIM/Movie/FILE.MOV");
  ASSERT_FALSE(candidates.empty());
  EXPECT_EQ(candidates.front().path, "/card/DCIM/Movie/FILE.gps");
  EXPECT_EQ(candidates.front().kind, SidecarKind::gps_log);
  const auto has = [&](const char* path, SidecarKind kind) {
    return std::any_of(candidates.begin(), candidates.end(),
                       [&](const SidecarCandidate& c) { return c.path == path && c.kind == kind; });
  };
  EXPECT_TRUE(has("/card/DCIM/Movie/FILE.3GF", SidecarKind::accel_log));
  EXPECT_TRUE(has("/card/DCIM/Movie/FILE.nmea", SidecarKind::nmea));
  EXPECT_TRUE(has("/card/DCIM/Movie/FILE.MAP", SidecarKind::map));
  EXPECT_TRUE(has("/card/DCIM/103gps/FILE.gpx", SidecarKind::nmea));
  EXPECT_TRUE(has("/card/DCIM/Movie/FILE.srt", SidecarKind::srt));
  EXPECT_EQ(candidates.back().kind, SidecarKind::srt);
}

TEST(Sidecars, CardWideLogFoldersStopAtTheRoot) {
  EXPECT_EQ(v02_log_folders("/card/DCIM/Movie/FILE.MOV"),
            (std::vector<std::filesystem::path>{"/card/DCIM/Movie", "/card/DCIM", "/card"}));
  EXPECT_EQ(v02_log_folders("/FILE.MOV"), (std::vector<std::filesystem::path>{"/"}));
  EXPECT_EQ(v02_log_folders("FILE.MOV"), (std::vector<std::filesystem::path>{}));
}

TEST(Sidecars, EachKindDecodesOnlyItsOwnText) {
  const std::string rmc = test::nmea(test::kRmcBody) + "\r\n";
  EXPECT_EQ(decode_sidecar(SidecarKind::nmea, rmc, "FILE.MOV").fixes.size(), 1u);
  EXPECT_EQ(decode_sidecar(SidecarKind::gps_log, "[1456851907000]" + rmc, "FILE.MOV").fixes.size(), 1u);
  EXPECT_EQ(decode_sidecar(SidecarKind::v02_log, test::v02_log(), "FILE.MOV").fixes.size(), 3u);
  EXPECT_TRUE(decode_sidecar(SidecarKind::v02_log, rmc, "FILE.MOV").fixes.empty());
  EXPECT_TRUE(decode_sidecar(SidecarKind::srt, test::v02_log(), "FILE.MOV").fixes.empty());
  EXPECT_TRUE(decode_sidecar(SidecarKind::map, rmc, "FILE.MOV").fixes.empty());
}

TEST(Sidecars, AccelerationSpreadByShareKeepsAFixsOwn) {
  Decoded d;
  d.fixes.resize(3);
  d.fixes[2].accel = GSensor{9, 9, 9};
  std::vector<GSensor> accel;
  for (int i = 0; i < 30; ++i)
    accel.push_back(GSensor{static_cast<float>(i), 0, 0});
  spread_accel(d, accel);
  EXPECT_FLOAT_EQ(d.fixes[0].accel->x, 0);
  EXPECT_FLOAT_EQ(d.fixes[1].accel->x, 10);
  EXPECT_FLOAT_EQ(d.fixes[2].accel->x, 9);
  Decoded none;
  spread_accel(none, accel);
  EXPECT_TRUE(none.fixes.empty());
}

}  // namespace
}  // namespace vek::track::formats
