#pragma once
// Reads clips into GES assets on one loader thread that lives as long as the
// process.
//
// Works around GES 1.22: it keeps one discoverer per GThread, bound to the
// main context that was that thread's default when it first discovered, and
// ges_uri_clip_asset_request_sync waits on the global default context instead.
// From a short-lived thread with its own context the sync request never
// returns, and an async one hangs once a new thread gets a finished thread's
// GThread address. Remove once GES discovers on the caller's thread-default
// context and forgets a thread's discoverer when the thread ends.

#include <ges/ges.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "base/glib/GstHandles.h"

namespace vek::media {

using AssetPtr = std::unique_ptr<GESUriClipAsset, base::GObjectUnref>;

// Any thread: the asset of each of `clips`, in order; null for a clip that is
// not a regular file, cannot be read or has no duration. nullopt when
// `cancelled` turns true first (noticed within a tenth of a second).
std::optional<std::vector<AssetPtr>> load_clip_assets(const std::vector<std::filesystem::path>& clips,
                                                      const std::atomic<bool>& cancelled);

}  // namespace vek::media
