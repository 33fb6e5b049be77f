#include "base/files/Publisher.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

#include "base/files/TemporaryCleanup.h"
#include "base/files/TemporaryName.h"
#include "support/ScratchFolder.h"

namespace vek::base {
namespace {

using test::ScratchFolder;

TEST(PublishFile, ReplaceModeWritesTheWholeFileAndLeavesNoTemporary) {
  const ScratchFolder folder;
  const auto target = folder / "A.data";
  EXPECT_TRUE(publish_file(target, "first", PublishMode::Replace));
  EXPECT_TRUE(publish_file(target, "second", PublishMode::Replace));
  EXPECT_EQ(ScratchFolder::read(target), "second");
  EXPECT_EQ(ScratchFolder::names(folder.path()), "A.data");
}

TEST(PublishFile, NoReplaceModeNeverTouchesAnExistingFile) {
  const ScratchFolder folder;
  const auto target = folder.write("exp.mov", "earlier export");
  FileError error;
  EXPECT_FALSE(publish_file(target, "new", PublishMode::NoReplace, &error));
  EXPECT_EQ(ScratchFolder::read(target), "earlier export");
  EXPECT_NE(error.message.find("exists already"), std::string::npos) << error.message;
  EXPECT_EQ(ScratchFolder::names(folder.path()), "exp.mov");
  EXPECT_TRUE(publish_file(folder / "other.mov", "new", PublishMode::NoReplace));
}

TEST(PublishFile, NamesAtTheFileSystemLimitStillGetTheirFile) {
  const ScratchFolder folder;
  for (const std::size_t length : {230U, 250U, 255U}) {
    const auto target = folder / (std::string(length - 5, 'n') + ".data");
    FileError error;
    EXPECT_TRUE(publish_file(target, "text", PublishMode::Replace, &error)) << length << ": " << error.detail;
    EXPECT_EQ(ScratchFolder::read(target), "text");
  }
}

TEST(PublishFile, AFolderThatCannotTakeTheFileGivesAnError) {
  const ScratchFolder folder;
  FileError error;
  EXPECT_FALSE(publish_file(folder / "missing" / "A.data", "text", PublishMode::Replace, &error));
  EXPECT_NE(error.message.find("missing/A.data"), std::string::npos) << error.message;
  EXPECT_FALSE(error.detail.empty());
}

TEST(PendingFile, AbandonedOrMovedFromFilesLeaveNothingBehind) {
  const ScratchFolder folder;
  FileError error;
  {
    std::optional<PendingFile> first = PendingFile::create(folder / "A.mov", PublishMode::NoReplace, error);
    ASSERT_TRUE(first);
    first->write("half");
    std::optional<PendingFile> second = PendingFile::create(folder / "B.mov", PublishMode::NoReplace, error);
    ASSERT_TRUE(second);
    *second = std::move(*first);  // B's temporary goes now, A's with `second`
    EXPECT_EQ(ScratchFolder::names(folder.path()).find(' '), std::string::npos) << "one temporary left";
  }
  EXPECT_EQ(ScratchFolder::names(folder.path()), "");
}

TEST(PendingFile, AWriterThatOpensTheTemporaryByNameIsPublished) {
  const ScratchFolder folder;
  FileError error;
  std::optional<PendingFile> file = PendingFile::create(folder / "Recording.mov", PublishMode::NoReplace, error);
  ASSERT_TRUE(file);
  EXPECT_LT(file->temp_path().filename().string().size(), 40U);
  std::ofstream(file->temp_path(), std::ios::binary | std::ios::trunc) << "movie";
  ASSERT_TRUE(file->publish(error)) << error.detail;
  EXPECT_EQ(ScratchFolder::read(folder / "Recording.mov"), "movie");
  EXPECT_FALSE(file->publish(error)) << "published once only";
}

TEST(PendingFile, TheFileGetsThePermissionsTheUmaskGives) {
  const ScratchFolder folder;
  const mode_t previous = ::umask(022);
  EXPECT_TRUE(publish_file(folder / "ini.txt", "km,ENG", PublishMode::Replace));
  ::umask(previous);
  struct stat info {};
  ASSERT_EQ(::stat((folder / "ini.txt").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777U, 0644U);
}

// Pending files of the given targets and contents, each written whole.
std::vector<PendingFile> pending_files(const std::vector<std::pair<std::filesystem::path, PublishMode>>& targets,
                                       std::string_view content) {
  std::vector<PendingFile> files;
  FileError error;
  for (const auto& [target, mode] : targets) {
    std::optional<PendingFile> file = PendingFile::create(target, mode, error);
    if (!file) ADD_FAILURE() << error.detail;
    if (!file) return files;
    file->write(std::string(content) + " of " + target.filename().string());
    files.push_back(std::move(*file));
  }
  return files;
}

TEST(PublishTogether, EveryFileLandsWithItsContentAndTheirFoldersJoinTheBatch) {
  const ScratchFolder folder;
  folder.write("A.data", "old track");
  folder.write("other/B.id", "old record");
  std::vector<PendingFile> files = pending_files({{folder / "A.data", PublishMode::Replace},
                                                  {folder / "A.data.family", PublishMode::Replace},
                                                  {folder / "other" / "B.id", PublishMode::Replace}},
                                                 "new");
  FolderSyncs batch;
  FileError error;
  EXPECT_EQ(publish_together(files, error, &batch), 3U) << error.detail;
  EXPECT_EQ(ScratchFolder::read(folder / "A.data"), "new of A.data");
  EXPECT_EQ(ScratchFolder::read(folder / "A.data.family"), "new of A.data.family");
  EXPECT_EQ(ScratchFolder::read(folder / "other" / "B.id"), "new of B.id");
  EXPECT_EQ(ScratchFolder::names(folder.path()), "A.data A.data.family other");
  EXPECT_EQ(batch.pending(), 2U) << "each folder once";
  EXPECT_EQ(publish_together(files, error), 0U) << "published once only";
}

// A file that cannot be flushed (here one moved from) keeps every file of the
// group from its name: the old files stay as they were, no temporary is left.
TEST(PublishTogether, AFailureBeforeTheRenamesPublishesNoneOfThem) {
  const ScratchFolder folder;
  folder.write("A.data", "old track");
  std::vector<PendingFile> files = pending_files(
      {{folder / "A.data", PublishMode::Replace}, {folder / "A.data.family", PublishMode::Replace}}, "new");
  ASSERT_EQ(files.size(), 2U);
  { const PendingFile taken = std::move(files[1]); }  // its temporary goes with it
  FileError error;
  EXPECT_EQ(publish_together(files, error), 0U);
  EXPECT_EQ(error.detail, "nothing to publish: Bad file descriptor");
  EXPECT_EQ(ScratchFolder::read(folder / "A.data"), "old track");
  EXPECT_EQ(ScratchFolder::names(folder.path()).find("A.data.family"), std::string::npos);
  EXPECT_EQ(ScratchFolder::names(folder.path()).find(kTemporaryPrefix), std::string::npos)
      << ScratchFolder::names(folder.path());
}

// A rename refused midway (a name taken in no-replace mode, a folder in the
// way) stops the rest; the files before it are whole and published.
TEST(PublishTogether, ARefusedRenameStopsTheFilesAfterIt) {
  const ScratchFolder folder;
  folder.write("taken.gpx", "earlier route");
  std::filesystem::create_directory(folder / "A.data.id");
  const std::vector<std::pair<std::filesystem::path, PublishMode>> cases[] = {
      {{folder / "A.data", PublishMode::Replace},
       {folder / "taken.gpx", PublishMode::NoReplace},
       {folder / "A.data.family", PublishMode::Replace}},
      {{folder / "A.data.id", PublishMode::Replace}, {folder / "B.data", PublishMode::Replace}}};
  const std::size_t published[] = {1U, 0U};
  const char* failures[] = {"taken.gpx: the file exists already", "A.data.id: cannot put the file in place"};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    std::vector<PendingFile> files = pending_files(cases[i], "new");
    FileError error;
    EXPECT_EQ(publish_together(files, error), published[i]) << i;
    EXPECT_NE(error.message.find(failures[i]), std::string::npos) << error.message;
  }
  EXPECT_EQ(ScratchFolder::read(folder / "A.data"), "new of A.data");
  EXPECT_EQ(ScratchFolder::read(folder / "taken.gpx"), "earlier route");
  EXPECT_TRUE(std::filesystem::is_directory(folder / "A.data.id"));
  EXPECT_EQ(ScratchFolder::names(folder.path()), "A.data A.data.id taken.gpx")
      << "nothing after the refusal, no temporary";
}

// The child is stopped by the signal as usual, but its temporary goes first.
TEST(TemporaryCleanup, ATerminatedWriterRemovesItsTemporary) {
  const ScratchFolder folder;
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    remove_temporaries_on_signals();
    FileError error;
    std::optional<PendingFile> file = PendingFile::create(folder / "A.data", PublishMode::Replace, error);
    if (file && file->write("partial")) std::raise(SIGTERM);
    ::_exit(1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  EXPECT_EQ(ScratchFolder::names(folder.path()), "");
}

}  // namespace
}  // namespace vek::base
