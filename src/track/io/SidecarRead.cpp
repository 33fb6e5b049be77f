#include "track/io/SidecarRead.h"

#include "base/files/BoundedRead.h"
#include "track/formats/Notes.h"
#include "track/formats/Sidecars.h"
#include "track/formats/V02Csv.h"
#include "track/formats/Validate.h"

#include <algorithm>

namespace vek::track::io {
namespace {

using formats::SidecarKind;

// Entries looked at per folder for a card-wide log; a card's root holds a few dozen.
constexpr std::size_t kMaxFolderEntries = 4096;

bool is_present(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

std::optional<std::string> read_one(const std::filesystem::path& path, std::vector<std::string>& declined) {
  base::FileError error;
  auto text = base::read_regular_file(path, formats::kMaxSidecarBytes, error);
  if (!text) declined.push_back("sidecar " + error.message + " (" + error.detail + ")");
  return text;
}

// The `.3gf` logs beside a `.gps` log give its fixes their acceleration.
void add_accel_logs(const std::filesystem::path& clip, SidecarTrack& track, std::vector<std::string>& declined) {
  for (const auto& candidate : formats::clip_sidecars(clip)) {
    if (candidate.kind != SidecarKind::accel_log || !is_present(candidate.path)) continue;
    const auto text = read_one(candidate.path, declined);
    if (!text) continue;
    formats::spread_accel(track.decoded, formats::decode_sidecar(candidate.kind, *text, {}).accel);
    track.used.push_back(candidate.path);
    return;
  }
}

std::optional<SidecarTrack> read_clip_sidecars(const std::filesystem::path& clip, std::vector<std::string>& declined) {
  const std::string name = clip.filename().string();
  for (const auto& candidate : formats::clip_sidecars(clip)) {
    if (candidate.kind == SidecarKind::accel_log || !is_present(candidate.path)) continue;
    const auto text = read_one(candidate.path, declined);
    if (!text) continue;
    formats::Decoded decoded = formats::decode_sidecar(candidate.kind, *text, name);
    formats::spread_accel(decoded, decoded.accel);
    SidecarTrack track{
        formats::sidecar_family(candidate.kind), {candidate.path}, formats::validated(std::move(decoded))};
    if (track.decoded.fixes.empty()) {
      declined.push_back("sidecar " + candidate.path.string() + ": no signature or no fix that validates");
      continue;
    }
    if (candidate.kind == SidecarKind::gps_log) add_accel_logs(clip, track, declined);
    return track;
  }
  return std::nullopt;
}

std::vector<std::filesystem::path> v02_logs(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> logs;
  std::error_code ec;
  std::filesystem::directory_iterator entries(folder, ec);
  for (std::size_t seen = 0; !ec && entries != std::filesystem::directory_iterator() && seen < kMaxFolderEntries;
       entries.increment(ec), ++seen) {
    if (formats::is_v02_log_name(entries->path().filename().string())) logs.push_back(entries->path());
  }
  std::sort(logs.begin(), logs.end());
  return logs;
}

// A card-wide log: every session file's rows that name this clip.
std::optional<SidecarTrack> read_v02_logs(const std::filesystem::path& clip, std::vector<std::string>& declined) {
  SidecarTrack track{formats::sidecar_family(SidecarKind::v02_log), {}, {}};
  formats::Decoded rows;
  for (const auto& folder : formats::v02_log_folders(clip)) {
    for (const auto& log : v02_logs(folder)) {
      const auto text = read_one(log, declined);
      if (!text) continue;
      formats::Decoded mine = formats::decode_sidecar(SidecarKind::v02_log, *text, clip.filename().string());
      if (mine.fixes.empty()) continue;
      formats::append(rows, std::move(mine));
      track.used.push_back(log);
    }
  }
  track.decoded = formats::validated(std::move(rows));
  if (track.decoded.fixes.empty()) return std::nullopt;
  return track;
}

}  // namespace

std::optional<SidecarTrack> read_sidecars(const std::filesystem::path& clip, std::vector<std::string>& declined) {
  if (auto track = read_clip_sidecars(clip, declined)) return track;
  if (auto track = read_v02_logs(clip, declined)) return track;
  declined.push_back(
      "sidecars: no .gps/.3gf, .nmea, .map, ../103gps|203gps/NAME.gpx or .srt beside the clip with fixes, "
      "and no GPSDataNNNNNN.txt log naming it in its folder or the two above");
  return std::nullopt;
}

}  // namespace vek::track::io
