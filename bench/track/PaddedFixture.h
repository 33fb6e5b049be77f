#pragma once
// A camera family's fixture clip (tools/vek-fixture.py) grown to a card's
// clip size: media bytes inserted at the start of its media data, every chunk
// offset moved to match, so its telemetry lies where its tables say.

#include "BenchClips.h"

#include <filesystem>
#include <optional>

namespace vek::bench {

// Writes the padded clip at `path`; `needed` counts the top-level atoms other
// than the media data, the samples of every track that is not video or sound,
// and a trailer after the last atom. Nothing when the fixture is not a movie
// with one media data atom.
std::optional<BenchClip> write_padded_fixture(const std::filesystem::path& fixture, const std::filesystem::path& path,
                                              std::uint64_t padding);

}  // namespace vek::bench
