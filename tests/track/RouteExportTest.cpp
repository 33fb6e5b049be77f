#include "ClipBuilder.h"
#include "support/ScratchFolder.h"
#include "track/io/RouteExport.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <fstream>
#include <sstream>

namespace vek::track::io {
namespace {

namespace fs = std::filesystem;

class RouteExport : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(folder_ / "files");
    clip_ = folder_ / "A.MOV";
    test::ClipBuilder clip(600);
    clip.ascii(0, "freeGPS");
    for (std::size_t j = 0; j < 10; ++j) {
      const std::size_t s = 44 + 32 * j;
      clip.u16be(s + 12, static_cast<std::uint16_t>(10 * j)).u8(s + 14, 'A');
      clip.i32be(s + 15, 250339640 + 100 * static_cast<std::int32_t>(j)).i32be(s + 19, 1215644680);
    }
    clip.u16be(44 + 6, 2016).u8(44 + 8, 3).u8(44 + 9, 1).u8(44 + 10, 9).u8(44 + 11, 5);
    std::ofstream(clip_, std::ios::binary)
        .write(reinterpret_cast<const char*>(clip.bytes().data()), static_cast<std::streamsize>(clip.size()));
  }
  static std::string read(const fs::path& path) { return vek::test::ScratchFolder::read(path); }
  std::vector<std::string> names() const {
    std::vector<std::string> list;
    for (const auto& entry : fs::directory_iterator(folder_ / "files"))
      list.push_back(entry.path().filename().string());
    std::sort(list.begin(), list.end());
    return list;
  }

  static std::tm stamp_time()  // 5 December 2026, 20:33:07
  {
    std::tm t{};
    t.tm_sec = 7;
    t.tm_min = 33;
    t.tm_hour = 20;
    t.tm_mday = 5;
    t.tm_mon = 11;
    t.tm_year = 126;
    return t;
  }

  std::tm now_ = stamp_time();
  vek::test::ScratchFolder folder_{"vek-route-io"};
  fs::path clip_;
};

TEST_F(RouteExport, WritesAStampedFileAndNeverOverwritesOne) {
  const fs::path taken = folder_ / "files" / "route_20261205_203307.gpx";
  std::ofstream(taken) << "someone else's";
  const RouteExportResult first = export_route_file({clip_}, route::RouteFormat::gpx, 120, folder_ / "files", now_);
  const RouteExportResult second = export_route_file({clip_}, route::RouteFormat::gpx, 120, folder_ / "files", now_);
  ASSERT_TRUE(first.written && second.written) << first.error.message;
  EXPECT_EQ(first.path.filename(), "route_20261205_203307-2.gpx");
  EXPECT_EQ(second.path.filename(), "route_20261205_203307-3.gpx");
  EXPECT_EQ(read(taken), "someone else's");
  EXPECT_EQ(first.trips, 1U);
  EXPECT_EQ(first.points, 10U);
  EXPECT_NE(read(first.path).find("<time>2016-03-01T09:05:09.0Z</time>"), std::string::npos);
  EXPECT_EQ(names().size(), 3U) << "no temporary file left";
}

TEST_F(RouteExport, AMissingClipWritesNothing) {
  const RouteExportResult result =
      export_route_file({clip_, folder_ / "gone.MOV"}, route::RouteFormat::csv, 120, folder_ / "files", now_);
  EXPECT_FALSE(result.written);
  EXPECT_FALSE(result.error.message.empty());
  EXPECT_TRUE(names().empty());
}

TEST_F(RouteExport, AFolderThatCannotBeWrittenIsReported) {
  const RouteExportResult result =
      export_route_file({clip_}, route::RouteFormat::kml, 120, folder_ / "no such folder", now_);
  EXPECT_FALSE(result.written);
  EXPECT_NE(result.error.message.find("no such folder"), std::string::npos) << result.error.message;
}

}  // namespace
}  // namespace vek::track::io
