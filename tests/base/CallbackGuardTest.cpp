#include "base/glib/CallbackGuard.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

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

}  // namespace
}  // namespace vek::base
