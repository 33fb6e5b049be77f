#pragma once
// Offsets of named time zones (IANA names) from the system's zone database.

#include "drive/TimeSettings.h"

namespace vek::media {

drive::ZoneOffset zone_offset_lookup();

}  // namespace vek::media
