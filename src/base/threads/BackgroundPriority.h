#pragma once
// Threads that read clips or walk cards in the background yield the CPU to
// the window and the page's playback: a two-core laptop must not stutter
// while a card is read.

namespace vek::base {

// Lowers the calling thread's scheduling priority (Linux: per-thread nice
// value). Best effort: a refusal leaves the thread as it was.
void lower_current_thread_priority();

}  // namespace vek::base
