#pragma once
// Offsets of time zones from the system's zone database (tzdata, through
// GLib), the zones the page offers being IANA names.

#include <optional>
#include <string>

namespace vek::base {

// Seconds east of UTC of the zone `name` (this computer's zone when empty)
// at `utc` seconds since 1970; nullopt for a name the database does not know
// or one not shaped like a zone name (a path, say).
std::optional<double> zone_offset_at(const std::string& name, double utc);

}  // namespace vek::base
