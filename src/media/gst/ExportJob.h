#pragma once
// One export, rendered on its own thread with its own main context.

#include <glib.h>
#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "drive/ClipTrack.h"
#include "media/core/MediaPorts.h"
#include "media/gst/ClipAssetLoader.h"
#include "media/gst/OverlayComposer.h"
#include "media/gst/ProgressRelay.h"

namespace vek::media {

class ExportJob {
 public:
  // Starts rendering at once. `on_done` runs once, on the job's thread.
  ExportJob(ExportRequest request, Exporter::Progress on_progress, Exporter::Completion on_done);
  // Main thread: drops pending progress, cancels a running render and waits
  // for the thread (a cancelled render reports Cancelled and leaves no file).
  ~ExportJob();
  ExportJob(const ExportJob&) = delete;
  ExportJob& operator=(const ExportJob&) = delete;

  // Any thread: asks a running render to stop; it then reports Cancelled.
  void cancel() noexcept { cancelled_.store(true); }
  // True once `on_done` has returned.
  bool finished() const noexcept { return finished_.load(); }

 private:
  void run() noexcept;
  ExportStatus render();
  // The segments to render; nullopt when a copy is asked for clips that cannot be joined.
  std::optional<std::vector<drive::Segment>> plan_segments(const std::vector<AssetPtr>& assets) const;
  std::unique_ptr<OverlayComposer> make_composer(std::vector<drive::ClipTrack> tracks,
                                                 const std::vector<drive::Segment>& segments) const;
  // `tracks` is set for an overlay export.
  ExportStatus render_movie(const std::vector<AssetPtr>& assets, const std::vector<drive::Segment>& segments,
                            std::optional<std::vector<drive::ClipTrack>> tracks, const std::filesystem::path& file,
                            GMainContext* context);
  std::vector<drive::Segment> key_frame_segments(const std::vector<AssetPtr>& assets,
                                                 const std::vector<drive::Segment>& segments) const;
  bool write_gpx(const std::vector<drive::ClipTrack>& tracks, const std::vector<drive::Segment>& segments,
                 const std::filesystem::path& file) const;

  ExportRequest request_;
  ProgressRelay progress_;
  Exporter::Completion on_done_;
  std::atomic<bool> cancelled_{false};
  std::atomic<bool> finished_{false};
  std::thread thread_;  // last: starts once everything above is ready
};

}  // namespace vek::media
