#include "base/glib/CallbackGuard.h"

#include <gtest/gtest.h>

#include <glib.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace vek::base {
namespace {

std::string logged;

void first_logger(std::string_view where, std::string_view what) noexcept {
  logged += std::string(where) + "|" + std::string(what) + ";";
}

void second_logger(std::string_view, std::string_view) noexcept {
  logged += "second;";
}

TEST(CallbackGuard, ResultsPassAndExceptionsStopAtTheGuardWithOneLogger) {
  set_callback_logger(&first_logger);
  set_callback_logger(&second_logger);  // the first one stays
  logged.clear();
  EXPECT_EQ(guarded<int>("fine", -1, [] { return 7; }), 7);
  EXPECT_EQ(guarded<int>("bus watch", -1, []() -> int { throw std::runtime_error("no element"); }), -1);
  EXPECT_FALSE(guarded("idle", [] { throw 42; }));
  EXPECT_TRUE(guarded("idle", [] {}));
  EXPECT_EQ(logged, "bus watch|no element;idle|unknown exception;");
}

// What a benchmark's trace hears.
class RecordingTrace : public CallbackTrace {
 public:
  void callback_ran(const char* where, Clock::duration took) noexcept override {
    ran.emplace_back(where);
    longest = std::max(longest, took);
  }
  void script_sent(std::size_t) noexcept override {}
  std::vector<std::string> ran;
  Clock::duration longest{};
};

// The main loop's callbacks are timed once each, the outermost of nested
// guards only, and nothing of other threads' or once the trace is unset.
TEST(CallbackTrace, TimesEachMainLoopCallbackOnceAndNothingElse) {
  using namespace std::chrono_literals;
  RecordingTrace trace;
  GMainContext* loop = g_main_context_default();
  ASSERT_TRUE(g_main_context_acquire(loop));
  set_callback_trace(&trace);
  guarded("outer", [] { guarded("inner", [] { std::this_thread::sleep_for(5ms); }); });
  guarded("throws", [] { throw std::runtime_error("x"); });
  std::thread([] { guarded("streaming thread", [] {}); }).join();
  set_callback_trace(nullptr);
  guarded("after", [] {});
  g_main_context_release(loop);
  EXPECT_EQ(trace.ran, (std::vector<std::string>{"outer", "throws"}));
  EXPECT_GE(trace.longest, 5ms);
}

}  // namespace
}  // namespace vek::base
