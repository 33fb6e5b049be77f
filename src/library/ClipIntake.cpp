#include "library/ClipIntake.h"

#include <array>
#include <filesystem>
#include <map>
#include <system_error>

#include "library/ClipIdentity.h"
#include "library/ClipNames.h"
#include "library/FolderClips.h"
#include "library/LibraryFolders.h"
#include "library/Markers.h"

namespace vek::library {
namespace {

constexpr std::array<std::string_view, 3> kMarkerLogPrefixes = {"nnn1:", "nnn2:", "nnn3:"};
// Cards formatted again and again repeat names; past this many different
// clips of one name the last is shown with the first one's track.
constexpr int kMostClipsWithOneName = 99;

// Logs the number markers of a dragged path into the step and tells whether
// the path carries none of the markers, exists, and ends in exactly
// "MOV" or "mov".
bool dragged_path_qualifies(IntakeStep& step) {
  const std::string& path = step.source_path;
  const auto numbers = number_markers(path);
  if (numbers) {
    for (std::size_t k = 0; k < numbers->size(); ++k) {
      step.log_lines.push_back(std::string(kMarkerLogPrefixes.at(k)) + numbers->at(k));
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

bool chosen_path_qualifies(const IntakeStep& step) {
  return something_exists(step.source_path) && !has_close_marker(step.source_path);
}

// Tracks this run reads, by track path, with the clip each is read from.
using Claims = std::map<std::string, std::optional<ClipIdentity>>;

void extract_into(IntakeStep& step, const std::string& track_path, const std::string& relative,
                  const std::optional<ClipIdentity>& identity, Claims& claims) {
  claims[track_path] = identity;
  step.track_path = track_path;
  ExtractRequest request{step.source_path, relative, clip_names(step.source_path, "").file_name, "", ""};
  if (identity) {
    request.identity_file = identity_path(track_path);
    request.identity_record = identity_text(*identity, step.source_path);
  }
  step.extraction = std::move(request);
  step.bytes = identity ? identity->size : 0;
}

// Whether the track at `track_path` is this clip's: read for it in this run,
// recorded for it (same size and time, or a changed clip at the same path),
// or read before records were kept. Empty when it belongs to another clip.
enum class Slot { Free, Ours, OursChanged, Other };

Slot slot_for(const std::string& track_path, const std::string& source, const std::optional<ClipIdentity>& identity,
              const Claims& claims) {
  if (const auto claim = claims.find(track_path); claim != claims.end()) {
    return claim->second == identity ? Slot::Ours : Slot::Other;
  }
  if (!something_exists(track_path)) {
    return Slot::Free;
  }
  const std::optional<RecordedIdentity> record = read_identity(identity_path(track_path));
  if (!record || !identity || record->identity == *identity) {
    return Slot::Ours;
  }
  return record->source_path == source ? Slot::OursChanged : Slot::Other;
}

// The first numbered track that is free or this clip's; a clip is read when
// its track is missing or the clip changed since.
void plan_track(IntakeStep& step, const std::string& home, Claims& claims) {
  const ClipNames names = clip_names(step.source_path, home);
  const std::optional<ClipIdentity> identity = identity_of(step.source_path);
  for (int k = 1; k <= kMostClipsWithOneName; ++k) {
    const std::string track_path = numbered_track_path(names.track_path, k);
    switch (slot_for(track_path, step.source_path, identity, claims)) {
      case Slot::Free:
      case Slot::OursChanged:
        extract_into(step, track_path, numbered_track_path(names.relative_track_path, k), identity, claims);
        return;
      case Slot::Ours:
        step.track_path = track_path;
        return;
      case Slot::Other:
        break;
    }
  }
  step.track_path = names.track_path;
}

// What an empty folder (or one holding no clips) stands for.
enum class EmptyFolder { Dropped, Kept };

// Each folder stands for the clips inside it, in name order. A dragged one
// holding none stays itself, to be passed over with its report, so that the
// page answers the drop.
std::vector<std::string> expand_folders(const std::vector<std::string>& paths, EmptyFolder empty,
                                        const std::function<bool()>& stop) {
  std::vector<std::string> expanded;
  for (const std::string& path : paths) {
    if (std::error_code error; !std::filesystem::is_directory(path, error)) {
      expanded.push_back(path);
      continue;
    }
    const std::vector<std::string> inside = clips_in_folder(path, stop);
    expanded.insert(expanded.end(), inside.begin(), inside.end());
    if (inside.empty() && empty == EmptyFolder::Kept) {
      expanded.push_back(path);
    }
  }
  return expanded;
}

// Chosen and dragged folders (a card's DCIM dropped on the window, or named
// on the command line) stand for their clips; a card's list holds clips only.
std::vector<std::string> intake_sources(IntakeKind kind, const std::vector<std::string>& paths,
                                        const std::function<bool()>& stop) {
  switch (kind) {
    case IntakeKind::Chosen:
      return expand_folders(paths, EmptyFolder::Dropped, stop);
    case IntakeKind::Dragged:
      return expand_folders(paths, EmptyFolder::Kept, stop);
    case IntakeKind::Card:
      break;
  }
  return paths;
}

}  // namespace

bool reports_each_path(IntakeKind kind) {
  return kind != IntakeKind::Chosen;
}

std::vector<IntakeStep> plan_intake(IntakeKind kind, const std::vector<std::string>& paths, const std::string& home,
                                    const std::function<bool()>& stop) {
  const std::vector<std::string> sources = intake_sources(kind, paths, stop);
  std::vector<IntakeStep> steps;
  Claims claims;
  for (auto path = sources.rbegin(); path != sources.rend(); ++path) {
    if (stop()) {
      return {};
    }
    IntakeStep step;
    step.source_path = *path;
    step.taken_in = kind == IntakeKind::Dragged ? dragged_path_qualifies(step) : chosen_path_qualifies(step);
    if (step.taken_in) {
      plan_track(step, home, claims);
    }
    steps.push_back(std::move(step));
  }
  return steps;
}

void list_step(ClipList& list, const IntakeStep& step, StepFacts facts) {
  if (!list.lists_track(step.track_path)) {
    list.append(
        {step.track_path, step.source_path, facts.duration_seconds, facts.track_too_large, std::move(facts.family)});
  }
}

}  // namespace vek::library
