#pragma once
// Track extraction: a clip's bytes in, the text of its track data file out.
// Pure: no files, no printing. Lines for the diagnostic log go to `log`.

#include "track/ByteReader.h"
#include "track/Log.h"
#include "track/Samples.h"
#include "track/TextOut.h"

#include <cstdint>
#include <functional>

#include <string>
#include <string_view>

namespace vek::track {

enum class Form {
  standard,  // freeGPS, or gps0 when the clip has no "freeGPS" marker
  close,     // gps0 close variant with its G-sensor pass
};

// `fns` is the clip's file name, the first-level key of the text; it is
// escaped as a script string wherever it is inserted.

// freeGPS form, or the gps0 form (splitData_new) when no "freeGPS" marker exists.
std::string splitData(Bytes clip, std::string_view fns, const LogSink& log = {});
// gps0 form.
std::string splitData_new(Bytes clip, std::string_view fns, const LogSink& log = {});
// gps0 close form, its G-sensor values filled from the clip's "gsen" slots.
std::string splitData_new_close(Bytes clip, std::string_view fns, const LogSink& log = {});

// The same, streaming the text to `sink` in large pieces.
void splitData(Bytes clip, std::string_view fns, TextSink& sink, const LogSink& log = {});
void splitData_new(Bytes clip, std::string_view fns, TextSink& sink, const LogSink& log = {});
void splitData_new_close(Bytes clip, std::string_view fns, TextSink& sink, const LogSink& log = {});

std::string extract_text(Bytes clip, std::string_view fns, Form form, const LogSink& log = {});
void extract_text(Bytes clip, std::string_view fns, Form form, TextSink& sink, const LogSink& log = {});

// Reads of part of a clip, for callers that located the camera data without
// searching the whole file; each gives the text the whole-file search gives
// when the clip has no marker outside the part read.

// freeGPS form of the boxes `boxes` hands to its visitor in file order; it
// returns how many it handed over.
using FreeGpsBoxVisitor = std::function<void(const FreeGpsBox&)>;
using FreeGpsBoxes = std::function<std::uint64_t(const FreeGpsBoxVisitor&)>;
void freegps_text(std::string_view fns, const FreeGpsBoxes& boxes, TextSink& sink, const LogSink& log = {});

// The text of `form` from the clip's last bytes: `tail` starts `skipped` bytes into the file.
void extract_tail_text(Bytes tail, std::uint64_t skipped, std::string_view fns, Form form, TextSink& sink,
                       const LogSink& log = {});

}  // namespace vek::track
