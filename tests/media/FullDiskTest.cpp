// A frame conversion with a full home disk and no runtime folder, on a real
// (tiny, filled) tmpfs. Needs root for the mount; skipped otherwise.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string describe(int status) {
  return WIFSIGNALED(status) ? "signal " + std::to_string(WTERMSIG(status))
                             : "exit " + std::to_string(WEXITSTATUS(status));
}

class FullHome : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = std::filesystem::temp_directory_path() / ("vek-full-home-" + std::to_string(::getpid()));
    std::filesystem::create_directories(home_);
    if (::geteuid() != 0 || ::mount("tmpfs", home_.c_str(), "tmpfs", 0, "size=256k") != 0) {
      std::filesystem::remove(home_);
      GTEST_SKIP() << "mounting a small tmpfs needs root";
    }
    mounted_ = true;
    std::ofstream fill(home_ / "fill", std::ios::binary);
    const std::string block(4096, 'x');
    while (fill.write(block.data(), static_cast<std::streamsize>(block.size()))) {
    }
  }
  void TearDown() override {
    if (mounted_) {
      ::umount(home_.c_str());
      std::filesystem::remove(home_);
    }
  }

  // The probe's wait status, run with HOME on the full disk and no runtime folder.
  int run_probe(const char* mode) const {
    const pid_t child = ::fork();
    if (child == 0) {
      ::unsetenv("XDG_RUNTIME_DIR");
      ::unsetenv("ORC_CODE");
      ::setenv("HOME", home_.c_str(), 1);
      ::setenv("ASAN_OPTIONS", "detect_leaks=0", 1);  // GStreamer keeps its registry to the end
      ::execl(VEK_ORC_PROBE, VEK_ORC_PROBE, mode, static_cast<char*>(nullptr));
      ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
  }

  std::filesystem::path home_;
  bool mounted_ = false;
};

TEST_F(FullHome, FramesConvertWithoutABusError) {
  const int unguarded = run_probe("plain");
  const int guarded = run_probe("guarded");
  EXPECT_TRUE(WIFEXITED(guarded) && WEXITSTATUS(guarded) == 0)
      << "guarded run: " << describe(guarded) << "; unguarded run: " << describe(unguarded);
}

}  // namespace
