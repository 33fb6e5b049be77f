#pragma once
// The text of a track data file, per form. `fns` arguments are already escaped
// (js_string_content).

#include "track/Samples.h"

#include <optional>
#include <string>
#include <string_view>

namespace vek::track {

void append_freegps_header(std::string& out, std::string_view fns);
// The box's ten statements, one line each.
void append_freegps_statements(std::string& out, std::string_view fns, const FreeGpsBox& box);

void append_gps0_header(std::string& out, std::string_view fns);
// The time key of a gps0 record without its final ".digit" (2016/03/01 17:05:07).
std::string gps0_time_base(const Gps0Record& record);
// Ten statements, keys ".0" to ".9", all with the chunk's G-sensor values.
void append_gps0_statements(std::string& out, std::string_view fns, const Gps0Record& record, const GSensor& gsensor);
// Ten close-form statements; the G-sensor keys are left out when no sample fills them.
void append_close_statements(std::string& out, std::string_view fns, const Gps0Record& record,
                             const std::optional<GSensor>& gsensor);

}  // namespace vek::track
