#include "ClipBuilder.h"
#include "track/formats/UtcClock.h"
#include "track/route/Gpx.h"

#include <gtest/gtest.h>

namespace vek::track {
namespace {

using test::ClipBuilder;
using test::count_of;

// The `gpx` command's text of a clip read with today's layouts.
std::string gpx_track(Bytes clip, std::string name) {
  return track::route::gpx_track({std::move(name), route::route_samples(clip)});
}

TEST(Gpx, FreeGpsPointsInUtc) {
  ClipBuilder clip(600);
  clip.ascii(0, "freeGPS");
  for (std::size_t j = 0; j < 10; ++j) {
    const std::size_t s = 44 + 32 * j;
    clip.u16be(s + 2, 1000).u16be(s + 12, static_cast<std::uint16_t>(75 + 10 * j));
    clip.i32be(s + 15, 250339640).i32be(s + 19, 1215644680);
  }
  clip.u16be(44 + 6, 2016).u8(44 + 8, 3).u8(44 + 9, 1).u8(44 + 10, 9).u8(44 + 11, 5);
  const std::string gpx = gpx_track(clip.bytes(), "a&b.MOV");
  EXPECT_EQ(gpx.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\"", 0), 0U);
  EXPECT_NE(gpx.find("<name>a&amp;b.MOV</name>"), std::string::npos);
  EXPECT_EQ(count_of(gpx, "<trkpt "), 10U);
  EXPECT_NE(gpx.find("<trkpt lat=\"25.0339640\" lon=\"121.5644680\"><time>2016-03-01T09:05:07.5Z</time>"
                     "<extensions><gpxtpx:TrackPointExtension><gpxtpx:speed>10.00</gpxtpx:speed>"),
            std::string::npos)
      << gpx;
  EXPECT_NE(gpx.find("<time>2016-03-01T09:05:16.5Z</time>"), std::string::npos);
}

TEST(Gpx, AnyNameGivesWellFormedXml) {
  ClipBuilder clip(64);
  const std::string gpx = gpx_track(clip.bytes(), "caf\xE9\x01<'\".MOV");
  EXPECT_NE(gpx.find("<name>caf\xEF\xBF\xBD\xEF\xBF\xBD&lt;&apos;&quot;.MOV</name>"), std::string::npos) << gpx;
}

TEST(Gpx, Gps0OnePointPerWrittenRecordAndNoInvalidTimes) {
  ClipBuilder clip(64 + 20 * 36);
  clip.ascii(64, "gps0");
  for (std::size_t k = 0; k < 15; ++k) {
    const std::size_t r = 64 + 32 * k;
    clip.f64le(r + 4, 2502.12345).f64le(r + 12, 12133.5208).u8(r + 24, 36);
    if (k != 5) clip.u8(r + 26, 16).u8(r + 27, 2).u8(r + 28, 29).u8(r + 29, 23).u8(r + 30, 59).u8(r + 31, 58);
  }
  const std::string gpx = gpx_track(clip.bytes(), "G.MOV");
  EXPECT_EQ(count_of(gpx, "<trkpt lat=\"25.0288872\" lon=\"121.5480427\">"), 12U);
  EXPECT_EQ(count_of(gpx, "<time>2016-02-29T23:59:58.0Z</time>"), 11U) << "record 5 has month 0";
  EXPECT_EQ(count_of(gpx, "<gpxtpx:speed>10.00</gpxtpx:speed>"), 12U);
}

TEST(Gpx, EmptyClipGivesAnEmptyTrack) {
  EXPECT_EQ(count_of(gpx_track(Bytes{}, "E.MOV"), "<trkseg>\n</trkseg>"), 1U);
}

TEST(Gpx, AnotherFamilysFixesGiveOnePointEachInUtc) {
  formats::Fix fix;
  fix.time = {2016, 3, 1, 9, 5, 7.25};
  fix.latitude = -34.6037;
  fix.longitude = -58.3816;
  fix.speed_kmh = 36.0;
  formats::Fix next = fix;
  next.time.second = 8.0;
  next.latitude = 91.0;  // off the globe: no point
  const std::string gpx = track::route::gpx_track({"F.MOV", route::route_samples({fix, next, fix})});
  EXPECT_EQ(count_of(gpx,
                     "<trkpt lat=\"-34.6037000\" lon=\"-58.3816000\"><time>2016-03-01T09:05:07.3Z</time>"
                     "<extensions><gpxtpx:TrackPointExtension><gpxtpx:speed>10.00</gpxtpx:speed>"),
            2U)
      << gpx;
  EXPECT_EQ(count_of(gpx, "<trkpt "), 2U);
}

}  // namespace
}  // namespace vek::track
