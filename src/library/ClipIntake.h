#pragma once
// The clip intake shared by the file chooser and drag-and-drop: one run takes
// in a list of source paths, extracting missing tracks and listing clips.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/ClipList.h"

namespace vek::library {

enum class TrackOutcome { written, failed, too_large };

// Extracts the track of one clip: reads the clip at `clip_path` and, when it
// holds a track, writes it at home + `relative_track_path`.
using Extractor = std::function<TrackOutcome(const std::string& clip_path, const std::string& relative_track_path,
                                             const std::string& file_name)>;

// The movie's own length in seconds, when its header gives one.
using DurationReader = std::function<std::optional<double>(const std::string& clip_path)>;

using LogLine = std::function<void(std::string_view line)>;

// What the current clip reads as in a report when the run took none in.
inline constexpr std::string_view kNoClip = "(null)";

class IntakeRun {
 public:
  IntakeRun(ClipList& list, std::string home, Extractor extract, DurationReader read_duration = {});

  // Extracts the track when its file is missing, lists the clip unless its
  // stem is listed already, and remembers it as the last clip.
  void take_in(const std::string& source_path);

  // The last clip taken in by this run, or "(null)".
  std::string_view last_clip() const;

 private:
  ClipList& list_;
  std::string home_;
  Extractor extract_;
  DurationReader read_duration_;
  std::string last_clip_;
};

// Chooser: paths from the last to the first; paths at which nothing exists
// and paths with a close marker are skipped.
void take_in_chosen(IntakeRun& run, const std::vector<std::string>& chosen);

// Drag: paths from the last to the first; logs each path's number markers,
// skips marked, missing and non-"MOV"/"mov" paths, and calls `report` after
// every path, skipped or taken in.
void take_in_dragged(IntakeRun& run, const std::vector<std::string>& dragged, const LogLine& log,
                     const std::function<void()>& report);

}  // namespace vek::library
