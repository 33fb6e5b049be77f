#include "media/gst/ClipTracks.h"

#include <glib.h>

#include "track/Track.h"
#include "track/io/MappedFile.h"

namespace vek::media {
namespace {

drive::ClipTrack read_one(const std::filesystem::path& clip) {
  track::io::IoError error;
  const std::optional<track::io::MappedFile> mapped = track::io::MappedFile::open(clip, error);
  if (!mapped) {
    g_warning("export: no track from %s", clip.c_str());
    return {};
  }
  const std::string text = track::extract_text(mapped->bytes(), clip.filename().string(), track::Form::standard);
  if (!mapped->intact()) {
    g_warning("export: %s changed while it was read", clip.c_str());
    return {};
  }
  return drive::read_track_text(text);
}

}  // namespace

std::optional<std::vector<drive::ClipTrack>> read_clip_tracks(const std::vector<std::filesystem::path>& clips,
                                                              const std::atomic<bool>& cancelled) {
  std::vector<drive::ClipTrack> tracks;
  tracks.reserve(clips.size());
  for (const std::filesystem::path& clip : clips) {
    if (cancelled.load()) {
      return std::nullopt;
    }
    tracks.push_back(read_one(clip));
  }
  return tracks;
}

}  // namespace vek::media
