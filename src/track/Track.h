#pragma once
// Track extraction: a clip's bytes in, the text of its track data file out.
// Pure: no files, no printing. Lines for the diagnostic log go to `log`.

#include "ByteReader.h"
#include "Log.h"
#include "TextOut.h"

#include <string>
#include <string_view>

namespace vek::track {

enum class Form {
    standard, // freeGPS, or gps0 when the clip has no "freeGPS" marker
    close,    // gps0 close variant with its G-sensor pass
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

} // namespace vek::track
