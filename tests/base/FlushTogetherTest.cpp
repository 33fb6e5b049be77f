#include "base/files/FlushTogether.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "support/ScratchFolder.h"

namespace vek::base {
namespace {

using test::ScratchFolder;

// Open files written in the folder; closed with the object.
struct OpenFiles {
  std::vector<int> fds;
  OpenFiles(const ScratchFolder& folder, int count) {
    for (int i = 0; i < count; ++i) {
      fds.push_back(::open((folder / std::to_string(i)).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
      EXPECT_GE(fds.back(), 0);
      EXPECT_EQ(::write(fds.back(), "data", 4), 4);
    }
  }
  OpenFiles(const OpenFiles&) = delete;
  OpenFiles& operator=(const OpenFiles&) = delete;
  ~OpenFiles() {
    for (const int fd : fds)
      if (fd >= 0) ::close(fd);
  }
};

TEST(FlushTogether, EveryFileIsFlushedInGroupsOfAnySize) {
  const ScratchFolder folder;
  const OpenFiles files(folder, 19);  // more than one batch of the ring
  for (const std::size_t count : {std::size_t{0}, std::size_t{1}, std::size_t{3}, std::size_t{19}}) {
    const std::vector<int> codes = flush_together(std::span(files.fds).first(count));
    EXPECT_EQ(codes, std::vector<int>(count, 0)) << count;
  }
}

// Each file's own outcome, in its place: a bad descriptor fails alone.
TEST(FlushTogether, AFailedFlushIsReportedForItsFileOnly) {
  const ScratchFolder folder;
  const OpenFiles files(folder, 2);
  constexpr int kNeverOpen = 1 << 20;  // above any descriptor limit
  const std::vector<int> fds = {files.fds[0], kNeverOpen, files.fds[1], -1};
  EXPECT_EQ(flush_together(fds), (std::vector<int>{0, EBADF, 0, EBADF}));
}

}  // namespace
}  // namespace vek::base
