#include "track/cli/ProgressLine.h"

#include <cmath>
#include <cstdio>

namespace vek::track::cli {
namespace {

constexpr double kGigabyte = 1e9;
constexpr double kMegabyte = 1e6;
constexpr double kSecondsPerMinute = 60;

std::string amount(std::uintmax_t bytes, bool in_gigabytes) {
  char text[32];
  if (in_gigabytes)
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / kGigabyte);
  else
    std::snprintf(text, sizeof text, "%.0f", static_cast<double>(bytes) / kMegabyte);
  return text;
}

std::string time_left(const ExtractProgress& p) {
  const double elapsed = std::chrono::duration<double>(p.elapsed).count();
  if (p.bytes_done == 0 || elapsed <= 0 || p.bytes_done >= p.bytes_total) return {};
  const double seconds =
      elapsed * static_cast<double>(p.bytes_total - p.bytes_done) / static_cast<double>(p.bytes_done);
  if (seconds < kSecondsPerMinute)
    return ", about " + std::to_string(static_cast<long>(std::ceil(seconds))) + " s left";
  return ", about " + std::to_string(static_cast<long>(std::ceil(seconds / kSecondsPerMinute))) + " min left";
}

}  // namespace

std::string progress_text(const ExtractProgress& p) {
  const bool in_gigabytes = static_cast<double>(p.bytes_total) >= kGigabyte;
  return std::to_string(p.clips_done) + "/" + std::to_string(p.clips_total) + " clips, " +
         amount(p.bytes_done, in_gigabytes) + " of " + amount(p.bytes_total, in_gigabytes) +
         (in_gigabytes ? " GB" : " MB") + time_left(p);
}

}  // namespace vek::track::cli
