#include "track/Degrees.h"

#include "track/Format.h"

#include <cmath>

namespace vek::track {
namespace {

void log_parts(const LogSink& log, float degrees, float minutes, float seconds, float result) {
  if (!log) return;
  log(formatted("v1:%f", static_cast<double>(degrees)));
  log(formatted("v2:%f", static_cast<double>(minutes)));
  log(formatted("v3:%f", static_cast<double>(seconds)));
  log(formatted("res:%f", static_cast<double>(result)));
}

}  // namespace

// The precision of every step is part of the result's last digits: keep the
// float/double mix exactly as it is (and the build free of fused multiply-adds).
// A southern or western position is converted on its magnitude and given its
// sign back: flooring the negative value itself would land in the wrong degree
// and count the minutes from there.
double ConvertDMSToDegrees(double value, const LogSink& log) {
  const float sign = std::signbit(value) ? -1.0F : 1.0F;
  const double magnitude = std::fabs(value);
  const auto degrees = static_cast<float>(std::floor(magnitude));
  const double minutes_exact = (magnitude - static_cast<double>(degrees)) * 100;
  const auto minutes = static_cast<float>(std::floor(minutes_exact));
  const float minutes_scaled = minutes * 100000.0F;
  const auto seconds = static_cast<float>((minutes_exact * 100000 - static_cast<double>(minutes_scaled)) / 1000);
  const float result = sign * (((seconds / 60.0F + minutes) / 60.0F) + degrees);
  log_parts(log, degrees, minutes, seconds, result);
  return static_cast<double>(result);
}

}  // namespace vek::track
