#include "library/ReportPacer.h"

namespace vek::library {

struct ReportPacer::State {
  State(std::chrono::milliseconds spacing_, Timer timer_, Send send_, std::function<Clock::time_point()> now_)
      : spacing(spacing_), timer(std::move(timer_)), send(std::move(send_)), now(std::move(now_)) {}

  std::chrono::milliseconds spacing;
  Timer timer;
  Send send;
  std::function<Clock::time_point()> now;
  std::optional<std::string> waiting;
  std::optional<Clock::time_point> last_sent;
  bool armed = false;

  void send_waiting() {
    if (!waiting) {
      return;
    }
    const std::string clip = std::move(*waiting);
    waiting.reset();
    last_sent = now();
    send(clip);
  }
};

ReportPacer::ReportPacer(std::chrono::milliseconds spacing, Timer timer, Send send,
                         std::function<Clock::time_point()> now)
    : state_(std::make_shared<State>(spacing, std::move(timer), std::move(send), std::move(now))) {}

void ReportPacer::request(std::string last_clip) {
  State& state = *state_;
  state.waiting = std::move(last_clip);
  if (state.armed) {
    return;  // the armed timer sends the latest
  }
  const auto since_last = state.last_sent ? state.now() - *state.last_sent : Clock::duration::max();
  if (!state.timer || since_last >= state.spacing) {
    state.send_waiting();
    return;
  }
  arm(std::chrono::ceil<std::chrono::milliseconds>(state.spacing - since_last));
}

// The timer may fire after the pacer has gone, with its owner.
void ReportPacer::arm(std::chrono::milliseconds delay) {
  state_->armed = true;
  state_->timer(delay, [weak = std::weak_ptr<State>(state_)] {
    if (const std::shared_ptr<State> state = weak.lock()) {
      state->armed = false;
      state->send_waiting();
    }
  });
}

void ReportPacer::set_spacing(std::chrono::milliseconds spacing) {
  state_->spacing = spacing;
}

void ReportPacer::flush() {
  state_->send_waiting();
}

bool ReportPacer::waiting() const {
  return state_->waiting.has_value();
}

}  // namespace vek::library
