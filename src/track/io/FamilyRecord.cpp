#include "track/io/FamilyRecord.h"

#include "base/files/BoundedRead.h"

#include <algorithm>

namespace vek::track::io {
namespace {

constexpr const char* kSuffix = ".family";
// A family's name is a short line; anything longer is not our record.
constexpr std::size_t kMaxRecordBytes = 256;

bool is_today_freegps(const formats::Probe& probe) {
  return probe.family.find("freeGPS") != std::string::npos;
}

bool is_printable(unsigned char c) {
  return c >= 0x20 && c != 0x7F;
}

}  // namespace

std::string family_label(const formats::Probe& probe) {
  switch (probe.verdict) {
    case formats::Verdict::today:
      return is_today_freegps(probe) ? "freeGPS boxes" : "gps0/gsen records";
    case formats::Verdict::family:
      return probe.family;
    case formats::Verdict::encrypted:
      return "encrypted, not readable";
    case formats::Verdict::none:
    case formats::Verdict::undecided:
      return "no GPS data found";
  }
  return {};
}

std::filesystem::path family_record_path(const std::filesystem::path& track_file) {
  return track_file.string() + kSuffix;
}

std::string family_record_text(const std::string& label) {
  return label + "\n";
}

std::string read_family_record(const std::filesystem::path& track_file) {
  base::FileError error;
  const auto text = base::read_regular_file(family_record_path(track_file), kMaxRecordBytes, error);
  if (!text) return {};
  std::string label = text->substr(0, text->find('\n'));
  if (!std::all_of(label.begin(), label.end(), [](char c) { return is_printable(static_cast<unsigned char>(c)); }))
    return {};
  return label;
}

}  // namespace vek::track::io
