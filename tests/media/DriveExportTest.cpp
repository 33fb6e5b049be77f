// Exports with options against real clips: the burned-in readings, switching
// them off, trimming, the GPX beside the movie, and original-quality joins.

#include <cairo.h>
#include <gst/video/video.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <mutex>
#include <sstream>

#include "DecodedFrames.h"
#include "ExportRun.h"
#include "MediaTestSupport.h"
#include "base/glib/TimeZones.h"
#include "drive/TimeSettings.h"
#include "media/gst/ClipTracks.h"
#include "media/gst/GstExporter.h"
#include "media/gst/OverlayPainter.h"
#include "media/gst/Pipeline.h"

namespace vek::media {
namespace {

using testing::frame_at;
using testing::Rgb;
using vek::test::ScratchFolder;

constexpr double kFrame = 1.0 / 30;
// The reference paints the band in RGB on the decoded plain frame; the export
// blends it into YUV frames that x264 then encodes, which blurs sharp text by
// about 4.2 to 4.5 in every box. A wrong or missing element differs by 10 or more.
constexpr double kEncodedTextNoise = 6.0;
constexpr drive::Element kEveryElement[] = {drive::Element::Clock, drive::Element::Speed, drive::Element::Position,
                                            drive::Element::GForce, drive::Element::Route};

drive::OverlayElements all_but(drive::Element off) {
  drive::OverlayElements shown;
  shown.clock = off != drive::Element::Clock;
  shown.speed = off != drive::Element::Speed;
  shown.position = off != drive::Element::Position;
  shown.gforce = off != drive::Element::GForce;
  shown.route = off != drive::Element::Route;
  return shown;
}

// Cairo's RGB24 word of the `i`-th pixel (row-major) of a surface `width` pixels wide.
std::uint32_t& surface_word(unsigned char* data, int stride, int width, std::size_t i) {
  const auto columns = static_cast<std::size_t>(width);
  return reinterpret_cast<std::uint32_t*>(data + (i / columns) * static_cast<std::size_t>(stride))[i % columns];
}

// `base` with the band for `readings` painted on it by the export's own drawing code.
Rgb with_band(const Rgb& base, const drive::OverlayElements& shown, const drive::FrameReadings& readings,
              const std::vector<drive::RoutePoint>& route) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, base.width, base.height);
  const int stride = cairo_image_surface_get_stride(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const std::size_t count = base.pixels.size() / 3;
  for (std::size_t i = 0; i < count; ++i) {
    surface_word(data, stride, base.width, i) = (std::uint32_t{base.pixels[i * 3]} << 16) |
                                                (std::uint32_t{base.pixels[i * 3 + 1]} << 8) | base.pixels[i * 3 + 2];
  }
  cairo_surface_mark_dirty(surface);
  cairo_t* cr = cairo_create(surface);
  const drive::BandLayout layout = drive::band_layout(base.width, base.height, shown);
  cairo_translate(cr, 0, layout.band.y);
  paint_band(cr, layout, readings, route);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  Rgb out = base;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t px = surface_word(data, stride, base.width, i);
    out.pixels[i * 3] = (px >> 16) & 0xff;
    out.pixels[i * 3 + 1] = (px >> 8) & 0xff;
    out.pixels[i * 3 + 2] = px & 0xff;
  }
  cairo_surface_destroy(surface);
  return out;
}

// Mean absolute difference of the channels inside `box` (frame pixels).
double difference(const Rgb& a, const Rgb& b, const drive::Box& box) {
  double sum = 0;
  long count = 0;
  for (int y = static_cast<int>(box.y); y < static_cast<int>(box.y + box.height) && y < a.height; ++y) {
    for (int x = static_cast<int>(box.x); x < static_cast<int>(box.x + box.width) && x < a.width; ++x) {
      const auto pixel = static_cast<std::size_t>(y) * static_cast<std::size_t>(a.width) + static_cast<std::size_t>(x);
      for (std::size_t c = 0; c < 3; ++c) {
        const std::size_t at = pixel * 3 + c;
        sum += std::abs(static_cast<int>(a.pixels[at]) - static_cast<int>(b.pixels[at]));
        ++count;
      }
    }
  }
  return count == 0 ? 0 : sum / static_cast<double>(count);
}

drive::Box in_frame(const drive::BandLayout& layout, drive::Element element) {
  for (const drive::PlacedElement& placed : layout.elements) {
    if (placed.element == element) {
      return {placed.box.x, layout.band.y + placed.box.y, placed.box.width, placed.box.height};
    }
  }
  ADD_FAILURE() << "element not laid out";
  return {};
}

class DriveExportTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    testing::init_media();
    clips_ = std::make_unique<ScratchFolder>();
    drive_a_ = testing::make_fixture_clip(*clips_ / "2016_0301_090507_001.MOV", 6, "640x360", "--audio");
    drive_b_ = testing::make_fixture_clip(*clips_ / "2016_0301_090513_002.MOV", 3, "640x360",
                                          "--audio --seed 2 --start 2016-03-01T09:05:13");
    smaller_ = testing::make_fixture_clip(*clips_ / "small.MOV", 2, "320x240", "--audio");
    short_ = testing::make_fixture_clip(*clips_ / "2016_0301_090520_003.MOV", 2, "640x360",
                                        "--audio --seed 3 --start 2016-03-01T09:05:20");
  }
  static void TearDownTestSuite() { clips_.reset(); }

  void SetUp() override {
    const std::string missing = testing::missing_element(
        {"nlecomposition", "x264enc", "qtmux", "avdec_h264", "qtdemux", "concat", "h264parse", "aacparse"});
    if (!missing.empty()) {
      GTEST_SKIP() << "GStreamer element missing: " << missing;
    }
    ASSERT_FALSE(drive_a_.empty() || drive_b_.empty() || smaller_.empty() || short_.empty());
  }

  ExportRequest request(ExportMode mode, std::vector<std::filesystem::path> clips, const std::string& name) {
    ExportRequest r;
    r.mode = mode;
    r.clips = std::move(clips);
    r.output = out_ / (name + ".mov");
    r.gpx = out_ / (name + ".gpx");
    r.settings_text = "km,ENG";
    return r;
  }

  ExportStatus run(ExportRequest r) { return testing::run_export(*exporter_, std::move(r)); }

  static inline std::unique_ptr<ScratchFolder> clips_;
  static inline std::filesystem::path drive_a_;
  static inline std::filesystem::path drive_b_;
  static inline std::filesystem::path smaller_;
  static inline std::filesystem::path short_;
  ScratchFolder out_;
  std::unique_ptr<Exporter> exporter_ = std::make_unique<GstExporter>();
};

TEST_F(DriveExportTest, TheFrameAtFiveSecondsShowsThePagesReadingsAndSwitchedOffElementsLeaveThePicture) {
  ASSERT_EQ(run(request(ExportMode::Reencode, {drive_a_}, "plain")), ExportStatus::Completed);
  ASSERT_EQ(run(request(ExportMode::Overlay, {drive_a_}, "overlay")), ExportStatus::Completed);
  ExportRequest speed_only = request(ExportMode::Overlay, {drive_a_}, "speed");
  speed_only.elements = {false, true, false, false, false};
  ASSERT_EQ(run(speed_only), ExportStatus::Completed);

  const double at = 5.0 + kFrame / 2;  // inside the frame that starts at 5 s
  const Rgb plain = frame_at(out_ / "plain.mov", at);
  const Rgb overlay = frame_at(out_ / "overlay.mov", at);
  const Rgb speed = frame_at(out_ / "speed.mov", at);
  ASSERT_EQ(plain.width, 1920);
  const std::atomic<bool> never{false};
  const auto segments = drive::export_segments({6.0}, std::nullopt, std::nullopt);
  const drive::DriveOverlayModel model(*read_clip_tracks({drive_a_}, never), segments, drive::TimeSettings{},
                                       base::zone_offset_at, false);
  const drive::FrameReadings shown = model.at(5.0);
  const drive::FrameReadings earlier = model.at(4.0);
  ASSERT_NE(shown.speed + shown.clock, earlier.speed + earlier.clock);
  const drive::Box road{0, 0, 1920, 900};
  ASSERT_LT(difference(overlay, plain, road), 2.0) << "the overlay leaves the road as it was, frame for frame";
  ASSERT_LT(difference(speed, plain, road), 2.0);
  const drive::OverlayElements all;
  const Rgb expected = with_band(plain, all, shown, model.route());
  const Rgb wrong = with_band(plain, all, earlier, model.route());
  const drive::BandLayout layout = drive::band_layout(1920, 1080, all);
  const drive::Box clock_box = in_frame(layout, drive::Element::Clock);
  // Where the seconds of "yyyy-MM-dd HH:mm:ss" stand, so one second's change is not diluted.
  const drive::Box seconds{clock_box.x + clock_box.width * 0.7, clock_box.y, clock_box.width * 0.3, clock_box.height};
  for (const drive::Box box : {seconds, in_frame(layout, drive::Element::Speed)}) {
    const double right = difference(overlay, expected, box);
    EXPECT_LT(right, kEncodedTextNoise) << "speed " << shown.speed << ", clock " << shown.clock;
    EXPECT_GT(difference(overlay, wrong, box), right + 1.0) << "the readings a second earlier differ visibly";
  }
  for (const drive::PlacedElement& placed : layout.elements) {
    const drive::Box box = in_frame(layout, placed.element);
    EXPECT_LT(difference(overlay, expected, box), kEncodedTextNoise) << static_cast<int>(placed.element);
    EXPECT_GT(difference(overlay, plain, box), 8.0) << "element drawn: " << static_cast<int>(placed.element);
  }
  const drive::BandLayout speed_layout = drive::band_layout(1920, 1080, speed_only.elements);
  const drive::Box speed_box = in_frame(speed_layout, drive::Element::Speed);
  EXPECT_LT(difference(speed, with_band(plain, speed_only.elements, shown, model.route()), speed_box),
            kEncodedTextNoise)
      << "against the plain frame: " << difference(speed, plain, speed_box)
      << ", against the full band: " << difference(speed, overlay, speed_box) << ", earlier readings: "
      << difference(speed, with_band(plain, speed_only.elements, earlier, model.route()), speed_box);
  const double rest_x = speed_box.x + speed_box.width + 1;
  const drive::Box rest{rest_x, layout.band.y, 1920 - rest_x, layout.band.height};
  EXPECT_LT(difference(speed, plain, rest), 2.0) << "elements switched off leave the picture as it was";
}

// Each element switched off in turn: the others close up in the band exactly
// as the layout puts them, and the band's end is the plain picture.
TEST_F(DriveExportTest, EachElementSwitchedOffLeavesItsPlaceToThePicture) {
  ASSERT_EQ(run(request(ExportMode::Reencode, {short_}, "plain")), ExportStatus::Completed);
  const double at = 1.0 + kFrame / 2;
  const Rgb plain = frame_at(out_ / "plain.mov", at);
  ASSERT_EQ(plain.width, 1920);
  const std::atomic<bool> never{false};
  const drive::DriveOverlayModel model(*read_clip_tracks({short_}, never),
                                       drive::export_segments({2.0}, std::nullopt, std::nullopt), drive::TimeSettings{},
                                       base::zone_offset_at, false);
  const drive::FrameReadings shown = model.at(1.0);
  ASSERT_TRUE(shown.has_sample);
  for (const drive::Element off : kEveryElement) {
    const std::string name = "without-" + std::to_string(static_cast<int>(off));
    ExportRequest without = request(ExportMode::Overlay, {short_}, name);
    without.elements = all_but(off);
    ASSERT_EQ(run(without), ExportStatus::Completed) << name;
    const Rgb frame = frame_at(out_ / (name + ".mov"), at);
    const drive::BandLayout layout = drive::band_layout(1920, 1080, without.elements);
    ASSERT_EQ(layout.elements.size(), 4U);
    const Rgb expected = with_band(plain, without.elements, shown, model.route());
    for (const drive::PlacedElement& placed : layout.elements) {
      EXPECT_LT(difference(frame, expected, in_frame(layout, placed.element)), kEncodedTextNoise)
          << name << ", element " << static_cast<int>(placed.element);
    }
    const drive::Box last = in_frame(layout, layout.elements.back().element);
    const drive::Box rest{last.x + last.width + 1, layout.band.y, 1920 - last.x - last.width - 1, layout.band.height};
    EXPECT_LT(difference(frame, plain, rest), 2.0) << name << ": the switched-off element is drawn nowhere";
  }
}

}  // namespace
}  // namespace vek::media
