#include "base/files/StaleTemporaries.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/files/Publisher.h"
#include "base/files/TemporaryName.h"
#include "support/ScratchFolder.h"

namespace vek::base {
namespace {

using test::ScratchFolder;

// A process id that no process has: a child that has been reaped.
pid_t finished_process() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  return child;
}

TEST(TemporaryOwner, ReadsTheOwnerFromBothNameForms) {
  EXPECT_EQ(temporary_owner(".vek-tmp-123-0-456"), 123);
  EXPECT_EQ(temporary_owner(".A.data.tmp-77-3-99"), 77);
  EXPECT_EQ(temporary_owner(".a.tmp-b.data.tmp-77-3-99"), 77);
  EXPECT_FALSE(temporary_owner("A.data"));
  EXPECT_FALSE(temporary_owner(".vek-tmp-"));
  EXPECT_FALSE(temporary_owner(".vek-tmp-12"));
  EXPECT_FALSE(temporary_owner(".vek-tmp-0-1"));
  EXPECT_FALSE(temporary_owner(".A.data.tmp-x-1"));
  EXPECT_FALSE(temporary_owner("A.data.tmp-5-1")) << "not hidden";
}

TEST(RemoveStaleTemporaries, RemovesLeftoversOfGoneWritersOnly) {
  const ScratchFolder folder;
  const std::string gone = std::to_string(finished_process());
  const std::string alive = std::to_string(::getpid());
  folder.write(".vek-tmp-" + gone + "-0-1", "killed writer");
  folder.write(".A.data.tmp-" + gone + "-0-1", "older writer, killed");
  folder.write(".B.data.tmp-" + alive + "-0-1", "older writer, running");
  folder.write("A.data", "track");
  folder.write(".hidden", "someone else's");
  FileError error;
  std::optional<PendingFile> in_use = PendingFile::create(folder / "C.data", PublishMode::Replace, error);
  ASSERT_TRUE(in_use);

  EXPECT_EQ(remove_stale_temporaries(folder.path()), 2);
  const std::string in_use_name = in_use->temp_path().filename().string();
  EXPECT_EQ(ScratchFolder::names(folder.path()), ".B.data.tmp-" + alive + "-0-1 .hidden " + in_use_name + " A.data");
  ASSERT_TRUE(in_use->publish(error)) << "a file in use survives the sweep: " << error.detail;
}

TEST(RemoveStaleTemporaries, AFolderThatCannotBeReadRemovesNothing) {
  const ScratchFolder folder;
  EXPECT_EQ(remove_stale_temporaries(folder / "missing"), 0);
}

}  // namespace
}  // namespace vek::base
