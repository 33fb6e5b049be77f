// Exports with options against real clips: the burned-in readings, switching
// them off, trimming, the GPX beside the movie, and original-quality joins.

#include <cairo.h>
#include <gst/video/video.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <mutex>
#include <sstream>

#include "MediaTestSupport.h"
#include "drive/TimeSettings.h"
#include "media/gst/ClipTracks.h"
#include "media/gst/GstExporter.h"
#include "media/gst/OverlayPainter.h"
#include "media/gst/Pipeline.h"

namespace vek::media {
namespace {

using testing::ScratchDir;

constexpr std::chrono::seconds kExportTimeout{300};
constexpr double kFrame = 1.0 / 30;

struct Rgb {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // packed RGB
};

constexpr GstClockTime kFrameTimeout = 120 * GST_SECOND;  // 1080p decoding with sanitizers on a loaded machine

Rgb to_rgb(GstSample* sample) {
  GstVideoInfo info;
  gst_video_info_from_caps(&info, gst_sample_get_caps(sample));
  GstVideoFrame frame;
  Rgb rgb;
  if (!gst_video_frame_map(&frame, &info, gst_sample_get_buffer(sample), GST_MAP_READ)) {
    return rgb;
  }
  rgb.width = GST_VIDEO_INFO_WIDTH(&info);
  rgb.height = GST_VIDEO_INFO_HEIGHT(&info);
  const auto* data = static_cast<const std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
  const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0);
  for (int y = 0; y < rgb.height; ++y) {
    rgb.pixels.insert(rgb.pixels.end(), data + y * stride, data + y * stride + rgb.width * 3);
  }
  gst_video_frame_unmap(&frame);
  return rgb;
}

// Where a decoded frame ends in the movie: its stream time, since the
// demuxer may shift buffer times (e.g. by the reorder delay of B-frames).
double frame_end_seconds(GstSample* sample) {
  const GstBuffer* buffer = gst_sample_get_buffer(sample);
  const GstClockTime at = GST_BUFFER_PTS(buffer) + GST_BUFFER_DURATION(buffer);
  const GstSegment* segment = gst_sample_get_segment(sample);
  const guint64 stream = segment == nullptr ? at : gst_segment_to_stream_time(segment, GST_FORMAT_TIME, at);
  return static_cast<double>(stream) / GST_SECOND;
}

// The frames shown at `times` (ascending, seconds), decoded in one pass from the start.
std::vector<Rgb> frames_at(const std::filesystem::path& file, const std::vector<double>& times) {
  std::string error;
  const Pipeline decode = Pipeline::parse(
      "filesrc name=src ! decodebin ! videoconvert ! video/x-raw,format=RGB ! appsink name=sink sync=false", error);
  std::vector<Rgb> frames;
  if (!decode) {
    ADD_FAILURE() << error;
    return frames;
  }
  g_object_set(decode.child("src").get(), "location", file.c_str(), nullptr);
  gst_element_set_state(decode.get(), GST_STATE_PLAYING);
  while (frames.size() < times.size()) {
    const base::SamplePtr sample = pull_sample(decode, "sink", kFrameTimeout, error);
    if (!sample) {
      ADD_FAILURE() << "no frame at " << times[frames.size()] << " s of " << file << ": " << error;
      break;
    }
    const double end = frame_end_seconds(sample.get());
    while (frames.size() < times.size() && times[frames.size()] < end) {
      frames.push_back(to_rgb(sample.get()));
    }
  }
  return frames;
}

Rgb frame_at(const std::filesystem::path& file, double seconds) {
  std::vector<Rgb> frames = frames_at(file, {seconds});
  return frames.empty() ? Rgb{} : std::move(frames.front());
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

struct Outcome {
  std::mutex lock;
  std::vector<ExportStatus> statuses;
  bool done() {
    const std::lock_guard guard(lock);
    return !statuses.empty();
  }
};

class DriveExportTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    testing::init_media();
    clips_ = std::make_unique<ScratchDir>();
    drive_a_ = testing::make_fixture_clip(*clips_ / "2016_0301_090507_001.MOV", 6, "640x360", "--audio");
    drive_b_ = testing::make_fixture_clip(*clips_ / "2016_0301_090513_002.MOV", 3, "640x360",
                                          "--audio --seed 2 --start 2016-03-01T09:05:13");
    smaller_ = testing::make_fixture_clip(*clips_ / "small.MOV", 2, "320x240", "--audio");
  }
  static void TearDownTestSuite() { clips_.reset(); }

  void SetUp() override {
    const std::string missing = testing::missing_element(
        {"nlecomposition", "x264enc", "qtmux", "avdec_h264", "qtdemux", "concat", "h264parse", "aacparse"});
    if (!missing.empty()) {
      GTEST_SKIP() << "GStreamer element missing: " << missing;
    }
    ASSERT_FALSE(drive_a_.empty() || drive_b_.empty() || smaller_.empty());
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

  ExportStatus run(ExportRequest r) {
    Outcome outcome;
    exporter_->start_export(std::move(r), {}, [&outcome](ExportStatus status) {
      const std::lock_guard guard(outcome.lock);
      outcome.statuses.push_back(status);
    });
    EXPECT_TRUE(testing::iterate_main_until([&outcome] { return outcome.done(); }, kExportTimeout));
    const std::lock_guard guard(outcome.lock);
    return outcome.statuses.empty() ? ExportStatus::Cancelled : outcome.statuses.front();
  }

  static inline std::unique_ptr<ScratchDir> clips_;
  static inline std::filesystem::path drive_a_;
  static inline std::filesystem::path drive_b_;
  static inline std::filesystem::path smaller_;
  ScratchDir out_;
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
  const drive::DriveOverlayModel model(*read_clip_tracks({drive_a_}, never), segments, drive::TimeSettings{}, {},
                                       false);
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
  // The reference paints the band in RGB on the decoded plain frame; the export
  // blends it into YUV frames that x264 then encodes, which blurs sharp text by
  // about 4.2 to 4.5 in every box. A wrong or missing element differs by 10 or more.
  constexpr double kEncodedTextNoise = 6.0;
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

}  // namespace
}  // namespace vek::media
