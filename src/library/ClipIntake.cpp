#include "library/ClipIntake.h"

#include <array>
#include <filesystem>
#include <set>
#include <system_error>

#include "library/ClipNames.h"
#include "library/FolderClips.h"
#include "library/LibraryFolders.h"
#include "library/Markers.h"

namespace vek::library {
namespace {

constexpr std::array<std::string_view, 3> kMarkerLogPrefixes = {"nnn1:", "nnn2:", "nnn3:"};

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

std::uintmax_t size_of(const std::string& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  return error ? 0 : size;
}

// A track is read once per run: a second clip with the same track path finds
// it written by the first, as it would have one after the other.
void plan_extraction(IntakeStep& step, const std::string& home, std::set<std::string>& claimed) {
  const ClipNames names = clip_names(step.source_path, home);
  if (something_exists(names.track_path) || !claimed.insert(names.track_path).second) {
    return;
  }
  step.extraction = ExtractRequest{step.source_path, names.relative_track_path, names.file_name};
  step.bytes = size_of(step.source_path);
}

std::vector<std::string> expand_folders(const std::vector<std::string>& paths) {
  std::vector<std::string> expanded;
  for (const std::string& path : paths) {
    if (std::error_code error; std::filesystem::is_directory(path, error)) {
      const std::vector<std::string> inside = clips_in_folder(path);
      expanded.insert(expanded.end(), inside.begin(), inside.end());
    } else {
      expanded.push_back(path);
    }
  }
  return expanded;
}

}  // namespace

std::vector<IntakeStep> plan_intake(IntakeKind kind, const std::vector<std::string>& paths, const std::string& home) {
  const std::vector<std::string> sources = kind == IntakeKind::Chosen ? expand_folders(paths) : paths;
  std::vector<IntakeStep> steps;
  std::set<std::string> claimed;
  for (auto path = sources.rbegin(); path != sources.rend(); ++path) {
    IntakeStep step;
    step.source_path = *path;
    step.taken_in = kind == IntakeKind::Chosen ? chosen_path_qualifies(step) : dragged_path_qualifies(step);
    if (step.taken_in) {
      plan_extraction(step, home, claimed);
    }
    steps.push_back(std::move(step));
  }
  return steps;
}

void list_step(ClipList& list, const IntakeStep& step, const std::string& home) {
  const ClipNames names = clip_names(step.source_path, home);
  if (!list.lists_stem(names.stem)) {
    list.append(names.track_path, step.source_path);
  }
}

}  // namespace vek::library
