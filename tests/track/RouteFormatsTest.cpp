#include "ClipBuilder.h"
#include "track/route/RouteFormats.h"

#include <gtest/gtest.h>

namespace vek::track::route {
namespace {

using test::ClipBuilder;
using test::count_of;

constexpr double kT0 = 1456822800;  // 2016-03-01 09:00:00 UTC

RouteSample fix(double t, double lat, double lon) {
  RouteSample s;
  s.utc = kT0 + t;
  s.latitude = lat;
  s.longitude = lon;
  s.speed_kmh = 36;
  s.status = 'A';
  s.gx = 0.25;
  return s;
}

std::vector<Trip> two_trips() {
  ClipSamples a{"a&b.MOV", {fix(0, 25, 121), fix(1, 25.0001, 121), fix(2, 0, 0)}};
  a.samples[1].status = 'V';
  ClipSamples b{"say \"hi\", then.MOV", {fix(1000, 25.01, 121), fix(1001, 25.0101, 121)}};
  return group_trips({a, b}, 120);
}

TEST(RouteFormats, UtcTextInTenthsWithoutASixtiethSecond) {
  EXPECT_EQ(utc_text(kT0 + 7.5), "2016-03-01T09:00:07.5Z");
  EXPECT_EQ(utc_text(kT0 + 59.96), "2016-03-01T09:01:00.0Z");
  EXPECT_EQ(utc_text(951782400 - 0.1), "2000-02-28T23:59:59.9Z") << "day before a leap day";
  EXPECT_EQ(utc_text(-0.1), "1969-12-31T23:59:59.9Z");
  EXPECT_FALSE(utc_seconds(2015, 2, 29, 0, 0, 0).has_value());
  EXPECT_FALSE(utc_seconds(2016, 3, 1, 24, 0, 0).has_value());
  EXPECT_EQ(utc_seconds(2016, 3, 1, 9, 0, 0), kT0);
}

TEST(RouteFormats, GpxHasATrackPerTripWithOnlyFixesInUtc) {
  const std::string gpx = gpx_text(two_trips());
  EXPECT_EQ(count_of(gpx, "<trk>"), 2U);
  EXPECT_EQ(count_of(gpx, "<trkpt "), 3U) << "no-fix and (0,0) samples left out";
  EXPECT_NE(gpx.find("<name>a&amp;b.MOV</name>"), std::string::npos);
  EXPECT_NE(gpx.find("<trkpt lat=\"25.0000000\" lon=\"121.0000000\"><time>2016-03-01T09:00:00.0Z</time>"
                     "<extensions><gpxtpx:TrackPointExtension><gpxtpx:speed>10.00</gpxtpx:speed>"),
            std::string::npos)
      << gpx;
  EXPECT_NE(gpx.find("<vek:g x=\"0.250\" y=\"0.000\" z=\"0.000\"/>"), std::string::npos);
  EXPECT_EQ(count_of(gpx, "lat=\"0.0000000\""), 0U);
}

TEST(RouteFormats, KmlHasATimedLinePerTripWithMatchingCounts) {
  const std::string kml = kml_text(two_trips());
  EXPECT_EQ(count_of(kml, "<gx:Track>"), 2U);
  EXPECT_EQ(count_of(kml, "<when>"), 3U);
  EXPECT_EQ(count_of(kml, "<gx:coord>"), 3U);
  EXPECT_NE(kml.find("<gx:coord>121.0000000 25.0000000 0</gx:coord>"), std::string::npos);
  EXPECT_NE(kml.find("<name>say &quot;hi&quot;, then.MOV</name>"), std::string::npos);
}

TEST(RouteFormats, CsvHasEverySampleAndQuotesFieldsThatNeedIt) {
  const std::string csv = csv_text(two_trips());
  EXPECT_EQ(count_of(csv, "\r\n"), 6U) << "header and five samples";
  EXPECT_EQ(csv.rfind("trip,clip,time_utc,latitude,longitude,speed_kmh,degrees,status,fix,on_route,g_x", 0), 0U);
  EXPECT_NE(csv.find("\n1,a&b.MOV,2016-03-01T09:00:01.0Z,25.0001000,121.0000000,36.000,0.00,V,0,0,"), std::string::npos)
      << csv;
  EXPECT_NE(csv.find("\n2,\"say \"\"hi\"\", then.MOV\",2016-03-01T09:16:40.0Z,"), std::string::npos);
  EXPECT_EQ(count_of(csv, ",A,1,1,"), 3U);
}

TEST(RouteFormats, FormatNamesAndExtensions) {
  EXPECT_EQ(route_format("kml"), RouteFormat::kml);
  EXPECT_FALSE(route_format("GPX").has_value());
  EXPECT_FALSE(route_format("").has_value());
  EXPECT_EQ(file_extension(RouteFormat::csv), "csv");
}

TEST(RouteSamples, FreeGpsSamplesCarryUtcStatusAndGSensor) {
  ClipBuilder clip(600);
  clip.ascii(0, "freeGPS");
  for (std::size_t j = 0; j < 10; ++j) {
    const std::size_t s = 44 + 32 * j;
    clip.u16be(s + 2, 1000).u16be(s + 12, static_cast<std::uint16_t>(75 + 10 * j)).u8(s + 14, j == 3 ? 'V' : 'A');
    clip.i32be(s + 15, 250339640).i32be(s + 19, 1215644680);
  }
  clip.u16be(44 + 6, 2016).u8(44 + 8, 3).u8(44 + 9, 1).u8(44 + 10, 9).u8(44 + 11, 5);
  const std::vector<RouteSample> samples = route_samples(clip.bytes());
  ASSERT_EQ(samples.size(), 10U);
  EXPECT_EQ(samples[0].utc, kT0 + 5 * 60 + 7.5);
  EXPECT_DOUBLE_EQ(samples[0].speed_kmh, 36);
  EXPECT_NEAR(samples[0].latitude, 25.033964, 1e-9);
  EXPECT_EQ(samples[3].status, 'V');
  EXPECT_TRUE(route_samples(Bytes{}).empty());
}

}  // namespace
}  // namespace vek::track::route
