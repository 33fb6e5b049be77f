#pragma once
// Leftovers of interrupted writers (a kill -9, a power cut) in a folder.

#include <filesystem>

namespace vek::base {

// Removes every temporary file in `folder` whose owner is gone: ours when
// no process holds its lock, the older ".NAME.tmp-PID-..." form when no
// process PID runs. Files in use and all other files are left alone.
// Returns how many were removed; a folder that cannot be read gives 0.
int remove_stale_temporaries(const std::filesystem::path& folder);

}  // namespace vek::base
