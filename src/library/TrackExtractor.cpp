#include "library/TrackExtractor.h"

#include "track/io/Extract.h"
#include "track/io/FamilyRecord.h"
#include "track/io/MovieDuration.h"

namespace vek::library {

std::vector<track::io::RecordBeside> identity_beside(const ExtractRequest& request) {
  if (request.identity_file.empty()) return {};
  return {{request.identity_file, request.identity_record}};
}

Extractor track_extractor(std::string home) {
  return [home = std::move(home)](const ExtractRequest& request, track::Cancellation& cancellation,
                                  base::FolderSyncs& folder_syncs) {
    ExtractOutcome outcome;
    const auto result = track::io::extract_clip(
        request.clip_path, home, request.relative_track_path, request.file_name, track::Form::standard,
        [&outcome](std::string_view line) { outcome.log_lines.emplace_back(line); }, &cancellation,
        track::io::ReadMode::located, track::io::kMaxTrackBytes, &folder_syncs, identity_beside(request));
    outcome.cancelled = result.cancelled;
    outcome.too_large = result.too_large;
    if (!result.written && !result.cancelled) {
      outcome.failure = result.error.message;
      outcome.log_lines.push_back(result.error.message + " (" + result.error.detail + ")");
    }
    if (!result.cancelled) {
      outcome.duration_seconds = track::io::clip_movie_duration(request.clip_path);
      // As recorded, so the list shows what a later intake of the same track reads.
      outcome.family = track::io::read_family_record(result.track_path);
    }
    return outcome;
  };
}

}  // namespace vek::library
