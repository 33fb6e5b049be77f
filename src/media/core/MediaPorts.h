#pragma once
// The media work the application asks for, behind interfaces so that the
// application logic runs in tests with fakes and without a display.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "drive/BandLayout.h"
#include "drive/ExportRange.h"

namespace vek::media {

// A rectangle of the X11 screen: top-left origin, pixels.
struct ScreenRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// Outcome of decoding one frame; `error` is empty when a frame was decoded.
struct FrameResult {
  std::string error;
  int width = 0;
  int height = 0;
};

class Snapshotter {
 public:
  virtual ~Snapshotter() = default;
  // Decodes the frame of `uri` at or near value/timescale seconds, upright and
  // at its own pixel size, and writes it as PNG to `png_path` atomically.
  // Blocks the caller. Main thread.
  virtual FrameResult save_frame(const std::string& uri, std::int64_t value, std::int32_t timescale,
                                 const std::filesystem::path& png_path) = 0;
  // Captures `area` of the screen into a PNG at `png_path`, atomically.
  // False when nothing could be captured. Main thread.
  virtual bool save_screen_area(const ScreenRect& area, const std::filesystem::path& png_path) = 0;
};

// Incompatible: an original-quality join of clips that differ in codec, frame
// size, frame rate or sound; nothing was written.
enum class ExportStatus { Completed, Failed, Cancelled, Incompatible };

enum class ExportMode {
  Reencode,  // 1920x1080 H.264, as the merged export
  Overlay,   // the same, with the drive's readings burned into the picture
  Copy,      // the clips' own streams joined without re-encoding
};

struct ExportRequest {
  ExportMode mode = ExportMode::Reencode;
  std::vector<std::filesystem::path> clips;
  // The range to export; whole clips when unset. A copy starts and ends at
  // the key frames nearest to them.
  std::optional<drive::ClipPoint> in;
  std::optional<drive::ClipPoint> out;
  drive::OverlayElements elements;
  std::string settings_text;  // ini.txt: speed unit and time settings for the overlay and the GPX
  std::filesystem::path output;
  // Where the range's GPX goes; none when empty.
  std::filesystem::path gpx;
};

class Exporter {
 public:
  using Progress = std::function<void(int percent)>;
  using Completion = std::function<void(ExportStatus)>;

  virtual ~Exporter() = default;
  // Starts rendering `clips` (in order, a path listed twice is taken twice)
  // into `output` and returns at once. `output` is never overwritten: when it
  // exists the export fails. `on_progress` runs on the main thread about once
  // a second; `on_done` runs once, on a media thread.
  virtual void start(std::vector<std::filesystem::path> clips, std::filesystem::path output, Progress on_progress,
                     Completion on_done) = 0;
  // The same for an export with options; neither the movie nor the GPX
  // replaces an existing file, and a failed or cancelled export leaves neither.
  virtual void start_export(ExportRequest request, Progress on_progress, Completion on_done) = 0;
  // Asks every running export to stop; each then reports Cancelled.
  virtual void cancel_exports() = 0;
};

class ScreenRecorder {
 public:
  virtual ~ScreenRecorder() = default;
  // Records the screen with the pointer into `file`; while recording,
  // finishes the current file and switches to the new one.
  virtual void start(const std::filesystem::path& file) = 0;
  // Finishes the file so it plays (end of stream, index written); idle: nothing.
  virtual void stop() = 0;
  // Pauses a running recording or resumes a paused one; true when it resumed.
  virtual bool toggle() = 0;
};

}  // namespace vek::media
