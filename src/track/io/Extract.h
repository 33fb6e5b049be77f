#pragma once
// Extraction of one clip into its track data file: read, parse, write once.

#include "base/files/FolderSyncs.h"
#include "track/Cancellation.h"
#include "track/Log.h"
#include "track/Track.h"
#include "track/io/IoError.h"

#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace vek::track::io {

// No real clip comes near this: a 1 GiB clip gives about 3 MB of track text.
inline constexpr std::size_t kMaxTrackBytes = std::size_t{64} << 20;

struct ExtractResult {
  bool written = false;              // the track file now holds the clip's text
  bool too_large = false;            // the text passed kMaxTrackBytes; nothing written
  std::filesystem::path track_path;  // home + savepath
  IoError error;                     // when not written
  bool cancelled = false;            // stopped by its cancellation; nothing written
  std::string family;                // which reader the track came from (FamilyRecord.h), when written
};

// A small file that belongs with the track (which clip it was read from),
// published in the same step as the track and only when the track is.
struct RecordBeside {
  std::filesystem::path path;
  std::string text;
};

enum class ReadMode {
  located,    // the parts the clip's structure points at, else the whole file
  full_scan,  // always the whole file
};

// Reads `clip`, runs the parser of `form`, and writes the text atomically at
// the home directory's path followed by `savepath` (plain text concatenation;
// `savepath` begins with "/"). The folder must exist. A cancelled
// `cancellation` stops it before the clip is read or before the file is
// published; the parse itself runs to its end. A text longer than
// `max_bytes` is not written. A clip without GPS data of its own is read from
// its sidecars. Beside a written track, its family record names the reader,
// and each of `beside` is written. The track and its records are published
// together (their flushes overlap; the track is renamed first, so no record
// lands without it); a record that cannot be written is logged and costs
// only itself. The track folder is synced once for them, before returning,
// or with `folder_syncs` when a writer of many tracks batches the syncs.
ExtractResult extract_clip(const std::filesystem::path& clip, const std::filesystem::path& home,
                           std::string_view savepath, std::string_view fns, Form form, const LogSink& log,
                           Cancellation* cancellation = nullptr, ReadMode mode = ReadMode::located,
                           std::size_t max_bytes = kMaxTrackBytes, base::FolderSyncs* folder_syncs = nullptr,
                           std::span<const RecordBeside> beside = {});

}  // namespace vek::track::io
