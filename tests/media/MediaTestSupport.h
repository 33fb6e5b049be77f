#pragma once
// Shared ground for the GStreamer media tests: initialisation, clips made on
// the spot, and readers that check what the media code wrote.

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/Process.h"
#include "support/ScratchFolder.h"

namespace vek::media::testing {

// Initialises GStreamer and GES once per process.
void init_media();

// The first of `factories` that is not installed, or empty.
std::string missing_element(std::initializer_list<const char*> factories);

// A dash-camera clip from the project's fixture tool: testsrc2 video of
// `seconds` at `size`, with extra options such as "--audio" or "--rotate 90".
// Empty on failure (the reason is printed).
std::filesystem::path make_fixture_clip(const std::filesystem::path& out, int seconds, const std::string& size,
                                        const std::string& extra = "");

// A clip whose picture brightens evenly from black, by 255/80 per second, so a
// decoded frame tells its own time.
std::filesystem::path make_brightening_clip(const std::filesystem::path& out, int seconds);

// A clip whose picture is white in its top half and black below; with
// `rotate_degrees` the display matrix turns it clockwise.
std::filesystem::path make_half_white_clip(const std::filesystem::path& out, int rotate_degrees);

std::string file_uri(const std::filesystem::path& path);

struct Discovered {
  GstClockTime duration = 0;
  int width = 0;
  int height = 0;
  bool has_audio = false;
  std::string container;    // caps name of the whole file, "video/quicktime"
  std::string video_codec;  // caps name of the first video stream, "video/x-h264"
};

// What GstDiscoverer finds in a media file; nullopt when it cannot play it.
std::optional<Discovered> discover(const std::filesystem::path& path);

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // packed rows, no padding
  // Red, green and blue of the pixel at (x, y).
  std::array<std::uint8_t, 3> pixel(int x, int y) const;
  // Mean of the three channels of the pixel at (x, y).
  int brightness(int x, int y) const;
};

// Decodes a PNG file; nullopt when it is not one.
std::optional<Picture> read_png(const std::filesystem::path& path);

// A window at the screen's origin showing a one-pixel checkerboard, drawn by
// a gst-launch process for the object's lifetime; made once it is on screen.
// A window that does not show is started again, and what its process said is
// printed, so one slow or failed start does not fail the test.
class ScreenPattern {
 public:
  ScreenPattern();
  bool shown() const { return shown_; }

 private:
  bool show_once(int attempt);

  test::ScratchFolder logs_{"pattern"};
  std::unique_ptr<test::Child> window_;
  bool shown_ = false;
};

// Runs the default main context until `done` or the timeout; false on timeout.
bool iterate_main_until(const std::function<bool()>& done, std::chrono::seconds timeout);

// Runs the default main context for `span`.
void iterate_main_for(std::chrono::milliseconds span);

}  // namespace vek::media::testing
