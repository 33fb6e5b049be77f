#pragma once
// The clips the page shows: pairs of track data file and clip source path,
// in intake order. Held in memory only; empty at every launch.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vek::library {

struct ListedClip {
  std::string track_path;
  std::string source_path;
  // The movie's own length, when its header gave one.
  std::optional<double> duration_seconds;
  // Extraction refused the track: it was past the size any real clip gives.
  bool track_too_large = false;
  // Which reader its track came from, as recorded beside the track; empty when unknown.
  std::string family = {};
};

class ClipList {
 public:
  bool lists_clip(std::string_view source_path) const;
  bool lists_track(std::string_view track_path) const;
  // The track paired with the clip `source_path`; empty when it is not listed.
  std::string track_of(std::string_view source_path) const;

  void append(ListedClip clip);
  void append(std::string_view track_path, std::string_view source_path);

  // Removes every entry listed under exactly this clip path.
  void remove(std::string_view source_path);

  const std::vector<ListedClip>& entries() const { return entries_; }

  // The lists as the page reads them: "a,b," while no path holds a comma;
  // otherwise a NUL, then every path followed by a NUL (no path holds one).
  std::string track_list_text() const;
  std::string clip_list_text() const;
  // Per clip, in list order: "SECONDS|" or "|" without a duration, then
  // "large" when its track was refused as too large, then "|FAMILY" when its
  // family is known (',', '|' and '%' percent-encoded), then ",".
  std::string facts_text() const;
  bool has_facts() const;

 private:
  std::vector<ListedClip> entries_;
};

}  // namespace vek::library
