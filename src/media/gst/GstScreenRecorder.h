#pragma once
// Screen recording of the X11 display, pointer included, into a QuickTime
// movie with H.264. The capture pipeline is built once and serves every
// recording. Main thread only.

#include <atomic>
#include <optional>

#include "base/files/Publisher.h"
#include "media/core/MediaPorts.h"
#include "media/gst/Pipeline.h"

namespace vek::media {

class GstScreenRecorder final : public ScreenRecorder {
 public:
  GstScreenRecorder();
  // Finishes a running recording so that its file plays.
  ~GstScreenRecorder() override;
  GstScreenRecorder(const GstScreenRecorder&) = delete;
  GstScreenRecorder& operator=(const GstScreenRecorder&) = delete;

  void start(const std::filesystem::path& file) override;
  void stop() override;
  bool toggle() override;

 private:
  enum class State { Idle, Recording, Paused };

  void finish();

  Pipeline pipeline_;  // null when an element is missing: recordings are refused
  std::optional<base::PendingFile> pending_;
  State state_ = State::Idle;
  std::atomic<bool> frame_encoded_{false};  // set from the encoder's thread
};

}  // namespace vek::media
