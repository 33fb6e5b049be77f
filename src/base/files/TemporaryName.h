#pragma once
// Hidden temporary names: ".vek-tmp-PID-SERIAL" (under 40 bytes, far below
// any file system's name limit), so the owner's process id is in the name.

#include <sys/types.h>
#include <optional>
#include <string>
#include <string_view>

namespace vek::base {

inline constexpr std::string_view kTemporaryPrefix = ".vek-tmp-";

// A fresh name for this process; never the same twice in one process.
std::string temporary_name();

// The owner's process id of one of our temporary names, or of the older
// ".NAME.tmp-PID-..." form; nullopt for any other name.
std::optional<pid_t> temporary_owner(std::string_view name);

}  // namespace vek::base
