#pragma once
// The texts the page's readings panel shows for one sample, made the same way
// so that a burned-in frame and the page agree.

#include <string>
#include <string_view>

namespace vek::drive {

enum class SpeedUnit { Kmh, Mph };

// "km,ENG"-style settings: "mi", "mile" and "mph" read as miles, anything else as kilometres.
SpeedUnit speed_unit_from_setting(std::string_view field);

// Whole units, halves rounded up; "–" for no number.
std::string speed_text(double kmh, SpeedUnit unit);
std::string speed_unit_text(SpeedUnit unit);

// 25°2'2.27" N  121°33'52.08" E from the position label, the hemisphere from
// the decimal coordinate; empty when neither makes a position.
std::string position_text(std::string_view label, double lat, double lon);
// The same position in decimal degrees: "25.033964, 121.564468".
std::string decimal_position_text(double lat, double lon);

// One G-sensor axis: "+0.12", "−0.40" (a true minus sign), "–" for no number.
std::string axis_text(double value);

}  // namespace vek::drive
