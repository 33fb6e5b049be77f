#pragma once
// A top-level `free` atom holding child atoms (cprt, sttm, gps , 3gf , ...),
// and the `.gps` / `.3gf` sidecars that carry the same logs beside the clip.

#include "track/ByteReader.h"
#include "track/formats/Fix.h"

#include <filesystem>
#include <string_view>
#include <vector>

namespace vek::track::formats {

// One of the child atom types these `free` atoms hold.
bool known_child(std::string_view type);

// `payload` is the `free` atom's payload; its first bytes are a known child atom.
bool looks_like_free_children(Bytes payload);

// The fixes of its `gps ` child and the acceleration of its `3gf ` child.
Decoded decode_free_children(Bytes payload);

// A `gps ` log: "[<unix ms>]$GPRMC,..." lines (the bracket optional), NUL padded.
bool looks_like_gps_log(std::string_view text);
Decoded decode_gps_log(std::string_view text);

// A `3gf ` log: 10-byte big-endian records up to the 0xFFFFFFFF end mark.
Decoded decode_3gf_log(Bytes records);

// `DIR/NAME.gps`, `DIR/NAME.GPS`, `DIR/NAME.3gf`, `DIR/NAME.3GF` for `DIR/NAME.MOV`.
std::vector<std::filesystem::path> free_children_sidecars(const std::filesystem::path& clip);

}  // namespace vek::track::formats
