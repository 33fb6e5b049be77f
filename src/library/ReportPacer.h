#pragma once
// Spaces out the clip-list reports of a drag. Every report carries the whole
// list, so a card of hundreds of clips read in seconds would send the page
// hundreds of whole lists to parse and lay out; at most one report per
// spacing keeps each clip listed within that time of being ready, and the
// last one of a run goes at once. Main thread only.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vek::library {

class ReportPacer {
 public:
  using Clock = std::chrono::steady_clock;
  // Runs `task` on the main thread once `delay` has passed.
  using Timer = std::function<void(std::chrono::milliseconds delay, std::function<void()> task)>;
  using Send = std::function<void(std::string_view last_clip)>;

  // Without a timer every report goes at once.
  ReportPacer(std::chrono::milliseconds spacing, Timer timer, Send send,
              std::function<Clock::time_point()> now = Clock::now);

  // A report naming `last_clip` is due: sent now when the last one went at
  // least the spacing ago, else once the spacing has passed. A later request
  // before then replaces it.
  void request(std::string last_clip);
  // From the next report on, at most one per `spacing`.
  void set_spacing(std::chrono::milliseconds spacing);
  // Sends the waiting report, if any, now.
  void flush();
  bool waiting() const;

 private:
  struct State;
  void arm(std::chrono::milliseconds delay);

  std::shared_ptr<State> state_;
};

}  // namespace vek::library
