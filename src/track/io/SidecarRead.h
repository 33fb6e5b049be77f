#pragma once
// The sidecar step: a clip without readable GPS data of its own is read from
// the files its camera wrote beside it. Sidecars are only ever read: never
// written, moved or deleted.

#include "track/formats/Fix.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vek::track::io {

struct SidecarTrack {
  std::string family;                       // as `probe` names it
  std::vector<std::filesystem::path> used;  // the files its fixes came from
  formats::Decoded decoded;                 // validated
};

// The first sidecar kind that gives validated fixes; `declined` gets a line
// per file refused (not regular, too large, no signature) and what was looked for.
std::optional<SidecarTrack> read_sidecars(const std::filesystem::path& clip, std::vector<std::string>& declined);

}  // namespace vek::track::io
