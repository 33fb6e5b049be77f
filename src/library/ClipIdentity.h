#pragma once
// A clip known by more than its file name: cameras restart their numbering on
// a formatted card, so two different clips share a name. Beside each track
// file the clip's size, modification time and path are recorded; a track is
// reused only for the clip it was read from.

#include <cstdint>
#include <optional>
#include <string>

namespace vek::library {

struct ClipIdentity {
  std::uintmax_t size = 0;
  std::int64_t modified_ns = 0;
  bool operator==(const ClipIdentity&) const = default;
};

struct RecordedIdentity {
  ClipIdentity identity;
  std::string source_path;
};

// Empty when the clip cannot be looked at.
std::optional<ClipIdentity> identity_of(const std::string& clip_path);

// The record beside a track file: its path plus ".id".
std::string identity_path(const std::string& track_path);

// "SIZE MODIFIED_NS\nSOURCE_PATH\n".
std::string identity_text(const ClipIdentity& identity, const std::string& source_path);

// Empty when there is no record (tracks read before records were kept) or it
// cannot be read as one.
std::optional<RecordedIdentity> read_identity(const std::string& identity_file);

// The k-th track path of clips sharing a name: the path itself for k = 1,
// else "~k" before the extension ("FILE0001~2.data").
std::string numbered_track_path(const std::string& track_path, int k);

}  // namespace vek::library
