#pragma once
// Local-time stamps that name the files in the output folder.

#include <ctime>
#include <string>

namespace vek::media {

// "yyyy_MMdd_HHmmss": snapshots.
std::string snapshot_stamp(const std::tm& local);
// "yyyyMMdd_HHmmss": merged exports.
std::string export_stamp(const std::tm& local);
// "YYYYMMDDHHmmss": screen recordings; ISO 8601 week-based year and the day
// of the year (at least two digits), as the recordings have always been named.
std::string recording_stamp(const std::tm& local);

// The present moment in local time.
std::tm local_now();

}  // namespace vek::media
