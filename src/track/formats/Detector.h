#pragma once
// One camera family's reader as the registry runs it: detect its carrier and
// signature in what the clip view shows, decode, validate.

#include "track/formats/ClipView.h"
#include "track/formats/Fix.h"

#include <string>

namespace vek::track::formats {

struct Detection {
  bool taken = false;       // the family read validated fixes from the clip
  bool recognised = false;  // its carrier and signature are there, taken or not
  Decoded decoded;
  std::string declined;  // what was looked for and not found, when not taken
};

struct Detector {
  const char* family;  // the name `probe` prints
  Detection (*detect)(ClipView& clip);
  bool reads_blocks = false;   // reads freeGPS blocks, however they were found
  bool reads_trailer = false;  // reads past the last atom, where the atoms no longer tile the file
};

// What a family decoded, validated: taken when fixes remain.
Detection validated_detection(Decoded decoded, const std::string& carrier);

// The carrier or signature is not there.
inline Detection declined(std::string what) {
  Detection d;
  d.declined = std::move(what);
  return d;
}

// The family readers of freeGPS blocks (single-fix records, text, XOR text).
Detection detect_single_fix(ClipView& clip);
Detection detect_freegps_text(ClipView& clip);
Detection detect_freegps_xor(ClipView& clip);

// The family readers of the movie's tracks.
Detection detect_gpmd(ClipView& clip);
Detection detect_camm(ClipView& clip);
Detection detect_subtitle_binary(ClipView& clip);
Detection detect_xor_track(ClipView& clip);
Detection detect_subtitle_nmea(ClipView& clip);

// The `free` atom with `gps `/`3gf ` children.
Detection detect_free_children(ClipView& clip);

// The int32-DDMM trio's in-clip forms, and the gps0 look-alikes: XOR-0xAA
// records in a top-level gps0 atom and the AITG trailer.
Detection detect_int32_blocks(ClipView& clip);
Detection detect_gps_box(ClipView& clip);
Detection detect_gps0_xor(ClipView& clip);
Detection detect_aitg_trailer(ClipView& clip);

}  // namespace vek::track::formats
