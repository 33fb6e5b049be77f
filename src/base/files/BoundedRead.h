#pragma once
// Reading a small file someone else wrote (a camera's sidecar, a record
// beside a track) without trusting it: only a regular file is opened to the
// end (a FIFO or a device named like one would block or never end), and a
// file past the caller's cap is refused with that reason instead of being
// read into memory.

#include "base/files/Publisher.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace vek::base {

// The whole file, or nothing and `error` (the message names the path and the reason).
std::optional<std::string> read_regular_file(const std::filesystem::path& path, std::size_t max_bytes,
                                             FileError& error);

}  // namespace vek::base
