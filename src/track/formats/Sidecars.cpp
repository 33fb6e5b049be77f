#include "track/formats/Sidecars.h"

#include "track/formats/FreeChildren.h"
#include "track/formats/Notes.h"
#include "track/formats/SrtTelemetry.h"
#include "track/formats/TextSidecar.h"
#include "track/formats/V02Csv.h"

namespace vek::track::formats {
namespace {

constexpr int kV02FoldersAbove = 2;  // DCIM/Movie/FILE.MOV under the card root

SidecarKind kind_of_extension(const std::filesystem::path& path) {
  const std::string extension = path.extension().string();
  if (extension == ".gps" || extension == ".GPS") return SidecarKind::gps_log;
  if (extension == ".3gf" || extension == ".3GF") return SidecarKind::accel_log;
  if (extension == ".map" || extension == ".MAP") return SidecarKind::map;
  return SidecarKind::nmea;  // .nmea, and NMEA in .gpx-named files
}

Bytes bytes_of(std::string_view text) {
  return std::as_bytes(std::span<const char>(text.data(), text.size()));
}

}  // namespace

std::vector<SidecarCandidate> clip_sidecars(const std::filesystem::path& clip) {
  std::vector<SidecarCandidate> candidates;
  for (const auto& path : free_children_sidecars(clip))
    candidates.push_back({path, kind_of_extension(path)});
  for (const auto& path : text_sidecars(clip))
    candidates.push_back({path, kind_of_extension(path)});
  for (const auto& path : srt_sidecars(clip))
    candidates.push_back({path, SidecarKind::srt});
  return candidates;
}

std::vector<std::filesystem::path> v02_log_folders(const std::filesystem::path& clip) {
  std::vector<std::filesystem::path> folders;
  std::filesystem::path folder = clip.parent_path();
  for (int up = 0; up <= kV02FoldersAbove && !folder.empty(); ++up) {
    folders.push_back(folder);
    if (folder == folder.parent_path()) break;  // the root is its own parent
    folder = folder.parent_path();
  }
  return folders;
}

const char* sidecar_family(SidecarKind kind) {
  switch (kind) {
    case SidecarKind::gps_log:
    case SidecarKind::accel_log:
      return ".gps/.3gf sidecar (family 5)";
    case SidecarKind::nmea:
      return "NMEA sidecar (family 13)";
    case SidecarKind::map:
      return "CSV .map sidecar (family 13)";
    case SidecarKind::srt:
      return "SubRip telemetry sidecar (family 15)";
    case SidecarKind::v02_log:
      return "$V02 CSV log (family 4)";
  }
  return "sidecar";
}

Decoded decode_sidecar(SidecarKind kind, std::string_view text, std::string_view clip_name) {
  switch (kind) {
    case SidecarKind::gps_log:
      return looks_like_gps_log(text) ? decode_gps_log(text) : Decoded{};
    case SidecarKind::accel_log:
      return decode_3gf_log(bytes_of(text));
    case SidecarKind::nmea:
      return looks_like_nmea_sidecar(text) ? decode_nmea_sidecar(text) : Decoded{};
    case SidecarKind::map:
      return looks_like_map_sidecar(text) ? decode_map_sidecar(text) : Decoded{};
    case SidecarKind::srt:
      return looks_like_srt_telemetry(text) ? decode_srt_telemetry(text) : Decoded{};
    case SidecarKind::v02_log:
      return looks_like_v02_log(text) ? decode_v02_log(text, clip_name) : Decoded{};
  }
  return {};
}

void spread_accel(Decoded& decoded, const std::vector<GSensor>& accel) {
  const std::size_t fixes = decoded.fixes.size();
  if (accel.empty() || fixes == 0) return;
  for (std::size_t i = 0; i < fixes; ++i) {
    if (!decoded.fixes[i].accel) decoded.fixes[i].accel = accel[i * accel.size() / fixes];
  }
  note_once(decoded, "acceleration given to each fix by its share of the clip");
}

}  // namespace vek::track::formats
