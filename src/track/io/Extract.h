#pragma once
// Extraction of one clip into its track data file: read, parse, write once.

#include "../Log.h"
#include "../Track.h"
#include "IoError.h"

#include <filesystem>
#include <string_view>

namespace vek::track::io {

struct ExtractResult {
    bool written = false;              // the track file now holds the clip's text
    std::filesystem::path track_path;  // home + savepath
    IoError error;                     // when not written
};

enum class ReadMode {
    located,   // the parts the clip's structure points at, else the whole file
    full_scan, // always the whole file
};

// Reads `clip`, runs the parser of `form`, and writes the text atomically at
// the home directory's path followed by `savepath` (plain text concatenation;
// `savepath` begins with "/"). The folder must exist.
ExtractResult extract_clip(const std::filesystem::path& clip, const std::filesystem::path& home,
                           std::string_view savepath, std::string_view fns, Form form, const LogSink& log,
                           ReadMode mode = ReadMode::located);

} // namespace vek::track::io
