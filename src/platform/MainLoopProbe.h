#pragma once
// For benchmarks: with VEK_MAIN_LOOP_PROBE=FILE set, a 10 ms timer on the
// GLib main loop appends "EPOCH_MS STALL_MS" to FILE once a second: the end
// of the second (wall clock) and the longest the loop kept the timer waiting
// past its period in it. Beside it, FILE.callbacks gets, once a second, what
// our own callbacks did on the loop (how many, time taken, scripts and their
// bytes sent to the page, the slowest), and a line for every callback of
// 20 ms or more. Unset, nothing is scheduled or opened.

#include <memory>

namespace vek::platform {

class MainLoopProbe {
 public:
  virtual ~MainLoopProbe() = default;
};

// The probe the environment asks for, or null (also when FILE cannot be
// opened, which is logged to stderr).
std::unique_ptr<MainLoopProbe> main_loop_probe_from_environment();

}  // namespace vek::platform
