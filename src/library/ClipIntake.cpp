#include "library/ClipIntake.h"

#include <array>

#include "library/ClipNames.h"
#include "library/LibraryFolders.h"
#include "library/Markers.h"

namespace vek::library {
namespace {

constexpr std::array<std::string_view, 3> kMarkerLogPrefixes = {"nnn1:", "nnn2:", "nnn3:"};

// A dragged path is taken in only when it carries none of the markers, exists,
// and ends in exactly "MOV" or "mov". Logs its number markers on the way.
bool dragged_path_qualifies(const std::string& path, const LogLine& log) {
  const auto numbers = number_markers(path);
  if (numbers) {
    for (std::size_t k = 0; k < numbers->size(); ++k) {
      log(std::string(kMarkerLogPrefixes.at(k)) + numbers->at(k));
    }
  }
  if ((numbers && has_number_marker(path, *numbers)) || has_close_marker(path)) {
    return false;
  }
  if (!something_exists(path)) {
    return false;
  }
  const std::string extension = clip_names(path, "").extension;
  return extension == "MOV" || extension == "mov";
}

}  // namespace

IntakeRun::IntakeRun(ClipList& list, std::string home, Extractor extract, DurationReader read_duration)
    : list_(list), home_(std::move(home)), extract_(std::move(extract)), read_duration_(std::move(read_duration)) {}

void IntakeRun::take_in(const std::string& source_path) {
  const ClipNames names = clip_names(source_path, home_);
  TrackOutcome outcome = TrackOutcome::written;
  if (!something_exists(names.track_path)) {
    outcome = extract_(source_path, names.relative_track_path, names.file_name);
  }
  if (!list_.lists_stem(names.stem)) {
    const std::optional<double> duration = read_duration_ ? read_duration_(source_path) : std::nullopt;
    list_.append({names.track_path, source_path, duration, outcome == TrackOutcome::too_large});
  }
  last_clip_ = source_path;
}

std::string_view IntakeRun::last_clip() const {
  return last_clip_.empty() ? kNoClip : std::string_view(last_clip_);
}

void take_in_chosen(IntakeRun& run, const std::vector<std::string>& chosen) {
  for (auto path = chosen.rbegin(); path != chosen.rend(); ++path) {
    if (something_exists(*path) && !has_close_marker(*path)) {
      run.take_in(*path);
    }
  }
}

void take_in_dragged(IntakeRun& run, const std::vector<std::string>& dragged, const LogLine& log,
                     const std::function<void()>& report) {
  for (auto path = dragged.rbegin(); path != dragged.rend(); ++path) {
    if (dragged_path_qualifies(*path, log)) {
      run.take_in(*path);
    }
    report();
  }
}

}  // namespace vek::library
