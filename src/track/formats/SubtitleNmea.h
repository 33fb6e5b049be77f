#pragma once
// NMEA carried in a subtitle or text track (tx3g framing: u16 BE length, then
// the text). Dialects: "gsensori,...;GxRMC,...;CAR,...", NUL-separated
// "$GxRMC" sentences, "A,DDMMYY,hhmmss,..." rows, and cues scrambled by a
// constant byte offset.

#include "track/ByteReader.h"
#include "track/formats/Fix.h"

#include <span>
#include <string_view>

namespace vek::track::formats {

// The text of one sample: its length field clamped to the bytes present.
std::string_view subtitle_text(Bytes sample);

bool looks_like_subtitle_nmea(Bytes sample);

// Every sample of the track, in order.
Decoded decode_subtitle_nmea(std::span<const Bytes> samples);

}  // namespace vek::track::formats
