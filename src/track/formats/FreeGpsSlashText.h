#pragma once
// The slash-dated line some freeGPS atoms carry, read on its own.

#include "track/formats/Fix.h"

#include <string_view>

namespace vek::track::formats {

// One line "YYYY/MM/DD hh:mm:ss N:dd.dddddd E:ddd.dddddd <v> km/h ... A:<course> ...".
Decoded decode_slash_date_text(std::string_view line);

}  // namespace vek::track::formats
