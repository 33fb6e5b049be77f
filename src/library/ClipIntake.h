#pragma once
// The clip intake shared by the file chooser, drag-and-drop and the command
// line. A run is planned (which paths are taken in, which tracks must be
// read) and read on workers, and each step is then applied to the clip list
// on the main thread in the planned order.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/ClipList.h"

namespace vek::library {

// The movie's own length in seconds, when its header gives one.
using DurationReader = std::function<std::optional<double>(const std::string& clip_path)>;

// What the current clip reads as in a report when the run took none in.
inline constexpr std::string_view kNoClip = "(null)";

enum class IntakeKind {
  // The import chooser: one report when the run ends.
  Chosen,
  // A drag or the command line: a report after every path. A folder
  // stands for its clips, as a chosen one does.
  Dragged,
  // A memory card's clips, offered and accepted in the page: the chooser's
  // rules for paths, with a report after every path so the list fills as
  // the card is read.
  Card,
};

// Whether the page hears of every path of the run, or once at its end.
bool reports_each_path(IntakeKind kind);

// One clip's track to read: the clip, and where its track goes under home.
struct ExtractRequest {
  std::string clip_path;
  std::string relative_track_path;
  std::string file_name;
  // Written there once the track is: which clip the track belongs to.
  std::string identity_file;
  std::string identity_record;
};

// One source path of a run, in processing order.
struct IntakeStep {
  std::string source_path;
  // Logged when the step is applied, before the extraction's own lines.
  std::vector<std::string> log_lines;
  bool taken_in = false;
  // The clip's track file: its name's, or a numbered one when another clip
  // with the same name has that.
  std::string track_path;
  // Present when the track file is missing and no earlier step of the run reads it.
  std::optional<ExtractRequest> extraction;
  // Size of the clip to read; 0 without an extraction.
  std::uintmax_t bytes = 0;
};

// Chooser: folders stand for every .MOV/.mov inside them, recursively, in
// name order; then paths from the last to the first, skipping missing ones
// and those with a close marker.
// Drag: paths from the last to the first; each logs its number markers and
// is taken in only without markers, when it exists and ends in "MOV"/"mov".
// Plans nothing once `stop` says so: a dropped folder may hold a million
// files, or be on a card pulled out mid-walk.
std::vector<IntakeStep> plan_intake(IntakeKind kind, const std::vector<std::string>& paths, const std::string& home,
                                    const std::function<bool()>& stop);

// What the workers read of a step's clip and track, for its entry.
struct StepFacts {
  std::optional<double> duration_seconds;
  bool track_too_large = false;
  // As recorded beside the track; empty when unknown.
  std::string family;
};

// Lists the step's clip unless its track is listed already.
void list_step(ClipList& list, const IntakeStep& step, StepFacts facts);

}  // namespace vek::library
