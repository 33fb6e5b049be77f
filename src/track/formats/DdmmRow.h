#pragma once
// Comma-separated rows "A,DDMMYY,hhmmss[.sss],DDMM.MMMM,N,DDDMM.MMMM,E,speed,..."
// as subtitle tracks and `.map` sidecars write them.

#include "track/formats/Fix.h"

#include <optional>
#include <string_view>

namespace vek::track::formats {

struct DdmmRow {
  Fix fix;               // speed as written (the caller knows its unit)
  double extra[4] = {};  // the numbers after the speed, as many as `extras` says
  std::size_t extras = 0;
};

// A row with exactly 8 + `extra_fields` fields (a trailing ';' allowed).
std::optional<DdmmRow> parse_ddmm_row(std::string_view row, std::size_t extra_fields);

}  // namespace vek::track::formats
