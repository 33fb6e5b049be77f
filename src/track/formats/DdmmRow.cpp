#include "track/formats/DdmmRow.h"

#include "base/text/Strings.h"
#include "track/formats/Nmea.h"
#include "track/formats/TextFields.h"

namespace vek::track::formats {

namespace {

constexpr std::size_t kFixedFields = 8;
constexpr std::size_t kMaxExtras = 4;

}  // namespace

std::optional<DdmmRow> parse_ddmm_row(std::string_view row, std::size_t extra_fields) {
  row = trimmed(row);
  if (!row.empty() && row.back() == ';') row.remove_suffix(1);
  const auto fields = base::split(row, ',');
  if (extra_fields > kMaxExtras || fields.size() != kFixedFields + extra_fields ||
      (fields[0] != "A" && fields[0] != "V") || fields[4].size() != 1 || fields[6].size() != 1)
    return std::nullopt;
  const auto time = ddmmyy_time(fields[1], fields[2]);
  const auto latitude = ddmm_degrees(fields[3], fields[4][0], 90.0);
  const auto longitude = ddmm_degrees(fields[5], fields[6][0], 180.0);
  const auto speed = decimal(fields[7]);
  if (!time || !latitude || !longitude || !speed || *speed < 0) return std::nullopt;
  DdmmRow out;
  out.fix.time = *time;
  out.fix.latitude = *latitude;
  out.fix.longitude = *longitude;
  out.fix.speed_kmh = *speed;
  out.fix.valid = fields[0] == "A";
  for (std::size_t i = 0; i < extra_fields; ++i) {
    const auto value = decimal(fields[kFixedFields + i]);
    if (!value) return std::nullopt;
    out.extra[i] = *value;
  }
  out.extras = extra_fields;
  return out;
}

}  // namespace vek::track::formats
