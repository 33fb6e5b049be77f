#pragma once
// ORC, which GStreamer's converters use, writes the code it generates through
// a file it maps twice: in $XDG_RUNTIME_DIR, else $HOME, else $TMPDIR, else
// /tmp. It sizes that file without reserving disk blocks, so on a full disk
// the first write of generated code ends the process with SIGBUS. Where the
// folder ORC would pick has no room to spare, ORC is told to run its portable
// C code instead (slower, never a crash).

#include <cstdint>
#include <functional>
#include <string>

namespace vek::media {

struct FolderState {
  bool writable = false;
  std::uint64_t free_bytes = 0;
};

using FolderProbe = std::function<FolderState(const std::string& folder)>;

// Room the folder must have: generated code takes a few hundred KiB, and a
// disk this close to full can fill up while the app runs.
inline constexpr std::uint64_t kCodeMemoryHeadroom = std::uint64_t{64} << 20;

// True when the first writable folder in ORC's order has the headroom, or
// when none is writable (ORC then maps anonymous memory). Null folders are
// skipped, as ORC skips unset variables.
bool generated_code_is_safe(const char* runtime_dir, const char* home, const char* tmpdir, const FolderProbe& probe);

// Before GStreamer starts (and before the web process is spawned, which
// inherits the setting): turns ORC's code generation off when it is not
// safe. A setting the user made is kept.
void keep_code_generation_off_full_disks();

}  // namespace vek::media
