#pragma once
// Temporary files of an interrupted program: on SIGINT, SIGTERM or SIGHUP
// the temporaries still pending are removed before the signal takes its
// usual course. (SIGKILL leaves them; the next start removes those, see
// StaleTemporaries.h.)

namespace vek::base {

// Installs the handlers; for programs that own their signals (the command
// line), not for the GUI, whose toolkit handles its own.
void remove_temporaries_on_signals();

// Bookkeeping of PendingFile; async-signal-safe to read. A path that does
// not fit, or more pending files than the table holds, are simply not
// tracked (the next start's sweep still finds them).
void register_temporary(const char* path) noexcept;
void unregister_temporary(const char* path) noexcept;

}  // namespace vek::base
