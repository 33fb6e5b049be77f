#include "library/ClipIdentity.h"

#include <sys/stat.h>
#include <fstream>
#include <sstream>

namespace vek::library {
namespace {

constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;
// A record holds two numbers and a path; anything longer is not one.
constexpr std::streamsize kLongestRecord = 8192;

}  // namespace

std::optional<ClipIdentity> identity_of(const std::string& clip_path) {
  struct stat status {};
  if (::stat(clip_path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
    return std::nullopt;
  }
  return ClipIdentity{
      static_cast<std::uintmax_t>(status.st_size),
      static_cast<std::int64_t>(status.st_mtim.tv_sec) * kNanosecondsPerSecond + status.st_mtim.tv_nsec};
}

std::string identity_path(const std::string& track_path) {
  return track_path + ".id";
}

std::string identity_text(const ClipIdentity& identity, const std::string& source_path) {
  return std::to_string(identity.size) + " " + std::to_string(identity.modified_ns) + "\n" + source_path + "\n";
}

std::optional<RecordedIdentity> read_identity(const std::string& identity_file) {
  std::ifstream in(identity_file, std::ios::binary);
  std::string text(static_cast<std::size_t>(kLongestRecord), '\0');
  in.read(text.data(), kLongestRecord);
  text.resize(static_cast<std::size_t>(in.gcount()));
  std::istringstream lines(text);
  std::string numbers;
  RecordedIdentity record;
  if (!std::getline(lines, numbers) || !std::getline(lines, record.source_path) || record.source_path.empty()) {
    return std::nullopt;
  }
  std::istringstream fields(numbers);
  fields >> record.identity.size >> record.identity.modified_ns;
  if (fields.fail() || !(fields >> std::ws).eof()) {
    return std::nullopt;
  }
  return record;
}

std::string numbered_track_path(const std::string& track_path, int k) {
  if (k <= 1) {
    return track_path;
  }
  const std::size_t slash = track_path.rfind('/');
  const std::size_t dot = track_path.rfind('.');
  const bool has_extension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  const std::size_t at = has_extension ? dot : track_path.size();
  return track_path.substr(0, at) + "~" + std::to_string(k) + track_path.substr(at);
}

}  // namespace vek::library
