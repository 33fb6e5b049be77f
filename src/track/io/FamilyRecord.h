#pragma once
// Which reader a track came from, kept beside the track file as
// NAME.data.family so the page can say so without reading the clip again.
// Folders from before these records keep working: a missing record is an
// unknown family.

#include "track/formats/Registry.h"

#include <filesystem>
#include <string>

namespace vek::track::io {

// What the page shows: "freeGPS boxes", "gps0/gsen records", a family's
// name, "no GPS data found" or "encrypted, not readable".
std::string family_label(const formats::Probe& probe);

std::filesystem::path family_record_path(const std::filesystem::path& track_file);

// The record's whole text for `label`, published beside the track.
std::string family_record_text(const std::string& label);

// The record's label, empty when there is none or it is not one (too long,
// not a line of text); never holds a control character.
std::string read_family_record(const std::filesystem::path& track_file);

}  // namespace vek::track::io
