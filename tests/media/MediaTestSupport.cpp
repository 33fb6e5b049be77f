#include "MediaTestSupport.h"

#include <ges/ges.h>
#include <gst/pbutils/pbutils.h>
#include <gst/video/video.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <span>

#include "base/glib/GstHandles.h"
#include "media/gst/Pipeline.h"
#include "support/Wait.h"

namespace vek::media::testing {
namespace {

constexpr GstClockTime kDiscoverTimeout = 30 * GST_SECOND;  // generous for a loaded machine
constexpr GstClockTime kDecodeTimeout = 10 * GST_SECOND;
// gst-launch starts, maps its window and draws, on a loaded machine.
constexpr std::chrono::seconds kWindowShowTimeout{12};
constexpr int kWindowShowAttempts = 3;

std::filesystem::path run_maker(const std::string& command, const std::filesystem::path& out) {
  const test::RunResult made = test::run_process({"sh", "-c", command});
  if (!made.ok() || !std::filesystem::exists(out)) {
    std::cerr << "clip maker failed: " << command << "\n" << made.describe() << "\n";
    return {};
  }
  return out;
}

void copy_rows(const GstVideoFrame& frame, Picture& picture) {
  const auto* data = static_cast<const std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
  const auto stride = static_cast<std::size_t>(GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0));
  const auto row_bytes = static_cast<std::size_t>(picture.width) * 3;
  const std::span<const std::uint8_t> plane(data, stride * static_cast<std::size_t>(picture.height));
  for (int y = 0; y < picture.height; ++y) {
    const auto row = plane.subspan(static_cast<std::size_t>(y) * stride, row_bytes);
    picture.rgb.insert(picture.rgb.end(), row.begin(), row.end());
  }
}

std::string caps_name(GstDiscovererStreamInfo* stream) {
  const base::CapsPtr caps(gst_discoverer_stream_info_get_caps(stream));
  return caps != nullptr && gst_caps_get_size(caps.get()) > 0
             ? gst_structure_get_name(gst_caps_get_structure(caps.get(), 0))
             : "";
}

}  // namespace

void init_media() {
  gst_init(nullptr, nullptr);
  ges_init();
}

std::string missing_element(std::initializer_list<const char*> factories) {
  for (const char* name : factories) {
    GstElementFactory* factory = gst_element_factory_find(name);
    if (factory == nullptr) {
      return name;
    }
    gst_object_unref(factory);
  }
  return {};
}

std::filesystem::path make_fixture_clip(const std::filesystem::path& out, int seconds, const std::string& size,
                                        const std::string& extra) {
  const std::string command = "python3 '" VEK_SOURCE_DIR "/tools/vek-fixture.py' --kind freegps --seconds " +
                              std::to_string(seconds) + " --size " + size + " " + extra + " --out '" + out.string() +
                              "' --json '" + out.string() + ".json'";
  return run_maker(command, out);
}

std::filesystem::path make_brightening_clip(const std::filesystem::path& out, int seconds) {
  const std::string command =
      "ffmpeg -v error -y -f lavfi -i 'color=c=white:s=320x240:r=30:d=" + std::to_string(seconds) +
      ",fade=t=in:st=0:d=80' -c:v libx264 -preset ultrafast -pix_fmt yuv420p -f mov '" + out.string() + "'";
  return run_maker(command, out);
}

std::filesystem::path make_half_white_clip(const std::filesystem::path& out, int rotate_degrees) {
  const std::filesystem::path plain = out.string() + ".plain.mov";
  const std::string encode =
      "ffmpeg -v error -y -f lavfi -i 'color=white:s=320x240:r=30:d=2,drawbox=x=0:y=120:w=320:h=120:"
      "color=black:t=fill' -c:v libx264 -preset ultrafast -pix_fmt yuv420p -f mov '" +
      plain.string() + "'";
  if (run_maker(encode, plain).empty()) {
    return {};
  }
  const std::string rotate = "python3 -c \"import sys; sys.path.insert(0, '" VEK_SOURCE_DIR
                             "/tools'); from vekfixture import mov; "
                             "m = mov.Movie(open(sys.argv[1], 'rb').read()); m.rotate(int(sys.argv[3])); "
                             "open(sys.argv[2], 'wb').write(m.serialized())\" '" +
                             plain.string() + "' '" + out.string() + "' " + std::to_string(rotate_degrees);
  return run_maker(rotate, out);
}

std::string file_uri(const std::filesystem::path& path) {
  const base::GCharPtr uri(gst_filename_to_uri(path.c_str(), nullptr));
  return uri != nullptr ? uri.get() : "";
}

std::optional<Discovered> discover(const std::filesystem::path& path) {
  std::unique_ptr<GstDiscoverer, base::GObjectUnref> discoverer(gst_discoverer_new(kDiscoverTimeout, nullptr));
  std::unique_ptr<GstDiscovererInfo, base::GObjectUnref> info(
      gst_discoverer_discover_uri(discoverer.get(), file_uri(path).c_str(), nullptr));
  if (info == nullptr || gst_discoverer_info_get_result(info.get()) != GST_DISCOVERER_OK) {
    return std::nullopt;
  }
  Discovered found;
  found.duration = gst_discoverer_info_get_duration(info.get());
  GList* videos = gst_discoverer_info_get_video_streams(info.get());
  if (videos != nullptr) {
    auto* video = GST_DISCOVERER_VIDEO_INFO(videos->data);
    found.width = static_cast<int>(gst_discoverer_video_info_get_width(video));
    found.height = static_cast<int>(gst_discoverer_video_info_get_height(video));
    found.video_codec = caps_name(GST_DISCOVERER_STREAM_INFO(video));
  }
  gst_discoverer_stream_info_list_free(videos);
  GList* audios = gst_discoverer_info_get_audio_streams(info.get());
  found.has_audio = audios != nullptr;
  gst_discoverer_stream_info_list_free(audios);
  GstDiscovererStreamInfo* top = gst_discoverer_info_get_stream_info(info.get());
  if (top != nullptr) {
    found.container = caps_name(top);
    gst_discoverer_stream_info_unref(top);
  }
  return found;
}

std::array<std::uint8_t, 3> Picture::pixel(int x, int y) const {
  const auto at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3;
  const std::span<const std::uint8_t> bytes = std::span(rgb).subspan(at, 3);
  return {bytes[0], bytes[1], bytes[2]};
}

int Picture::brightness(int x, int y) const {
  const auto rgb_of = pixel(x, y);
  return (rgb_of[0] + rgb_of[1] + rgb_of[2]) / 3;
}

namespace {

// The first picture an RGB appsink named "sink" receives from `pipeline`.
std::optional<Picture> first_picture(const Pipeline& pipeline) {
  gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
  std::string error;
  const base::SamplePtr sample = pull_sample(pipeline, "sink", kDecodeTimeout, error);
  GstVideoInfo info;
  if (sample == nullptr || !gst_video_info_from_caps(&info, gst_sample_get_caps(sample.get()))) {
    return std::nullopt;
  }
  GstVideoFrame frame;
  if (!gst_video_frame_map(&frame, &info, gst_sample_get_buffer(sample.get()), GST_MAP_READ)) {
    return std::nullopt;
  }
  Picture picture{GST_VIDEO_INFO_WIDTH(&info), GST_VIDEO_INFO_HEIGHT(&info), {}};
  copy_rows(frame, picture);
  gst_video_frame_unmap(&frame);
  return picture;
}

// True once the screen's top-left pixels show the checkerboard.
bool checkerboard_on_screen() {
  std::string error;
  const Pipeline pipeline = Pipeline::parse(
      "ximagesrc startx=0 starty=0 endx=3 endy=1 use-damage=false num-buffers=1 ! videoconvert ! "
      "video/x-raw,format=RGB ! appsink name=sink sync=false",
      error);
  const auto picture = pipeline ? first_picture(pipeline) : std::nullopt;
  return picture && picture->width >= 2 && picture->pixel(0, 0) != picture->pixel(1, 0);
}

}  // namespace

std::optional<Picture> read_png(const std::filesystem::path& path) {
  std::string error;
  Pipeline pipeline = Pipeline::parse(
      "filesrc name=file ! pngdec ! videoconvert ! video/x-raw,format=RGB ! appsink name=sink sync=false", error);
  if (!pipeline) {
    return std::nullopt;
  }
  g_object_set(pipeline.child("file").get(), "location", path.c_str(), nullptr);
  return first_picture(pipeline);
}

ScreenPattern::ScreenPattern() {
  for (int attempt = 1; attempt <= kWindowShowAttempts && !shown_; ++attempt)
    shown_ = show_once(attempt);
}

bool ScreenPattern::show_once(int attempt) {
  const auto err = logs_ / ("gst-launch-" + std::to_string(attempt) + ".err");
  window_.reset();  // a window that never showed goes before the next
  window_ = std::make_unique<test::Child>(
      std::vector<std::string>{"gst-launch-1.0", "-q", "videotestsrc", "pattern=checkers-1", "!",
                               "video/x-raw,width=400,height=300", "!", "ximagesink"},
      test::Child::Streams{.out = {}, .err = err});
  if (test::wait_until(checkerboard_on_screen, kWindowShowTimeout, std::chrono::milliseconds(50))) return true;
  std::cerr << "the checkerboard window did not show within the timeout (attempt " << attempt << ", "
            << (window_->running() ? "still running" : "its process ended") << "); it said:\n"
            << test::ScratchFolder::read(err) << "\n";
  return false;
}

bool iterate_main_until(const std::function<bool()>& done, std::chrono::seconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    g_main_context_iteration(nullptr, FALSE);
    g_usleep(10000);
  }
  return true;
}

void iterate_main_for(std::chrono::milliseconds span) {
  const auto deadline = std::chrono::steady_clock::now() + span;
  iterate_main_until([deadline] { return std::chrono::steady_clock::now() > deadline; },
                     std::chrono::duration_cast<std::chrono::seconds>(span) + std::chrono::seconds(1));
}

}  // namespace vek::media::testing
