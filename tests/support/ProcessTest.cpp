#include "support/Process.h"

#include <gtest/gtest.h>

#include <signal.h>

#include "support/ScratchFolder.h"
#include "support/Wait.h"

namespace vek::test {
namespace {

TEST(Process, CapturesBothStreamsAndTheStatus) {
  const RunResult result = run_process({"sh", "-c", "echo out; echo err >&2; exit 3"});
  EXPECT_TRUE(result.started);
  EXPECT_FALSE(result.timed_out);
  EXPECT_EQ(result.status, 3);
  EXPECT_EQ(result.out, "out\n");
  EXPECT_EQ(result.err, "err\n");
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.describe().find("status 3:\nerr"), std::string::npos) << result.describe();
}

TEST(Process, PassesInputAndEnvironment) {
  RunOptions options;
  options.env = environment_with({"VEK_PROBE=two words", "HOME=/nowhere"});
  options.input = "line one\nline two\n";
  const RunResult result = run_process({"sh", "-c", "printf '%s|%s|' \"$VEK_PROBE\" \"$HOME\"; wc -l"}, options);
  ASSERT_TRUE(result.ok()) << result.describe();
  EXPECT_EQ(result.out, "two words|/nowhere|2\n");
}

TEST(Process, KeepsLargeOutputWhole) {
  const RunResult result = run_process({"sh", "-c", "head -c 1000000 /dev/zero; head -c 300000 /dev/zero >&2"});
  ASSERT_TRUE(result.ok()) << result.describe();
  EXPECT_EQ(result.out.size(), 1000000U);
  EXPECT_EQ(result.err.size(), 300000U);
}

TEST(Process, EndsARunThatOverstaysItsTimeout) {
  RunOptions options;
  options.timeout = 300ms;
  const auto start = std::chrono::steady_clock::now();
  const RunResult result = run_process({"sh", "-c", "sleep 30 & sleep 30"}, options);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s) << "the child and its own children were ended";
  EXPECT_TRUE(result.timed_out);
  EXPECT_FALSE(result.ok());
  EXPECT_EQ(result.status, 128 + SIGKILL);
}

TEST(Process, SaysWhenAProgramCannotStart) {
  const RunResult result = run_process({"vek-no-such-program-anywhere"});
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.status, 0);
  EXPECT_FALSE(run_process({}).started);
}

TEST(Child, RunsUntilStoppedAndTakesItsGroupAlong) {
  const ScratchFolder folder("vek-child");
  Child child({"sh", "-c", "trap '' TERM; sleep 30 & echo started; wait"}, {folder / "out", ""});
  EXPECT_TRUE(wait_until([&] { return ScratchFolder::read(folder / "out") == "started\n"; }, 10s));
  EXPECT_TRUE(child.running());
  EXPECT_EQ(child.stop(300ms), 128 + SIGKILL) << "a child ignoring SIGTERM is killed after the grace";
  EXPECT_FALSE(child.running());
  EXPECT_TRUE(wait_until([&] { return ::kill(-child.pid(), 0) != 0; }, 5s)) << "its background child went too";
}

TEST(Child, ReportsItsOwnExit) {
  Child child({"sh", "-c", "exit 7"}, {});
  EXPECT_EQ(child.wait_exit(10s), 7);
  EXPECT_EQ(child.stop(), 7) << "stopping an ended child keeps its status";
  EXPECT_THROW(Child({"vek-no-such-program-anywhere"}, {}), std::runtime_error);
}

TEST(Child, ReadsAPipedErrorStreamUntilAMarker) {
  Child::Streams streams;
  streams.err_piped = true;
  Child child({"sh", "-c", "echo warming >&2; sleep 0.2; echo 'app: finish' >&2; sleep 30"}, streams);
  EXPECT_TRUE(child.read_err_until("app: finish\n", 10s));
  EXPECT_EQ(child.err_read(), "warming\napp: finish\n");
  EXPECT_TRUE(child.running()) << "reading does not wait for the end";
}

TEST(Child, StopsReadingWhenTheStreamEndsOrTimeRunsOut) {
  Child::Streams streams;
  streams.err_piped = true;
  Child ended({"sh", "-c", "echo only this >&2"}, streams);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(ended.read_err_until("finish", 10s));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s) << "an ended stream is not waited on";
  EXPECT_EQ(ended.err_read(), "only this\n");
  EXPECT_FALSE(ended.read_err_until("finish", 10s)) << "reading again after the end";

  Child silent({"sh", "-c", "sleep 30"}, streams);
  EXPECT_FALSE(silent.read_err_until("finish", 200ms));
  EXPECT_TRUE(silent.running());
  EXPECT_FALSE(Child({"sh", "-c", "echo x >&2"}, {}).read_err_until("x", 1s)) << "nothing piped, nothing read";
}

}  // namespace
}  // namespace vek::test
