#pragma once
// The files beside a clip that hold its GPS data when the clip itself holds
// none a reader could take: which paths to look at, in which order, and how
// each kind is decoded. Pure: the reading is the I/O unit's.

#include "track/ByteReader.h"
#include "track/formats/Fix.h"

#include <cstddef>
#include <filesystem>
#include <string_view>
#include <vector>

namespace vek::track::formats {

enum class SidecarKind { gps_log, accel_log, nmea, map, srt, v02_log };

struct SidecarCandidate {
  std::filesystem::path path;
  SidecarKind kind;
};

// A day of recording at three CSV rows a second is about 26 MB, and a
// clip's own sidecar is far smaller: a larger file is not a camera's.
inline constexpr std::size_t kMaxSidecarBytes = std::size_t{64} << 20;

// The per-clip sidecars of DIR/NAME.MOV in the order they are tried (the
// `.3gf` acceleration logs included: they go with a `.gps` log).
std::vector<SidecarCandidate> clip_sidecars(const std::filesystem::path& clip);

// Where a card-root "$V02" log may be: the clip's folder and the two above it.
std::vector<std::filesystem::path> v02_log_folders(const std::filesystem::path& clip);

// The family a kind of sidecar belongs to, as `probe` names it.
const char* sidecar_family(SidecarKind kind);

// The sidecar's fixes (and acceleration), nothing when its signature does
// not match; `clip_name` picks a card-wide log's rows for this clip.
Decoded decode_sidecar(SidecarKind kind, std::string_view text, std::string_view clip_name);

// Acceleration samples spread over a clip given to its fixes by their share
// of the clip (a `.3gf` log runs beside the `.gps` log without a shared clock).
void spread_accel(Decoded& decoded, const std::vector<GSensor>& accel);

}  // namespace vek::track::formats
