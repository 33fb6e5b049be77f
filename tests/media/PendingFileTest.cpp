#include "media/PendingFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "MediaTestSupport.h"

namespace vek::media {
namespace {

using testing::ScratchDir;

std::string contents(const std::filesystem::path& file) {
  std::ifstream in(file);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::optional<PendingFile> create(const std::filesystem::path& final_path) {
  std::string error;
  std::optional<PendingFile> pending = PendingFile::create(final_path, error);
  EXPECT_EQ(error, "");
  return pending;
}

TEST(PendingFile, TemporaryIsHiddenNextToTheFinalNameUntilPublished) {
  const ScratchDir out;
  auto pending = create(out / "clip.mov");
  ASSERT_TRUE(pending.has_value());
  EXPECT_EQ(pending->temp_path().parent_path(), out.path());
  EXPECT_EQ(pending->temp_path().filename().string().front(), '.');
  EXPECT_EQ(pending->temp_path().extension(), ".part");
  std::ofstream(pending->temp_path()) << "movie";
  std::string error;
  ASSERT_TRUE(pending->publish(error)) << error;
  EXPECT_EQ(out.entries(), std::vector<std::string>{"clip.mov"});
  EXPECT_EQ(contents(out / "clip.mov"), "movie");
  EXPECT_FALSE(pending->publish(error)) << "published once only";
}

TEST(PendingFile, PublishedFileHasTheUsualPermissions) {
  const ScratchDir out;
  const mode_t previous = umask(022);
  auto pending = create(out / "clip.mov");
  umask(previous);
  ASSERT_TRUE(pending.has_value());
  std::string error;
  ASSERT_TRUE(pending->publish(error)) << error;
  struct stat status {};
  ASSERT_EQ(stat((out / "clip.mov").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0644U);
}

TEST(PendingFile, ExistingFinalFileIsKeptAndTheTemporaryRemoved) {
  const ScratchDir out;
  auto pending = create(out / "clip.mov");
  ASSERT_TRUE(pending.has_value());
  std::ofstream(out / "clip.mov") << "earlier";
  std::string error;
  EXPECT_FALSE(pending->publish(error));
  EXPECT_NE(error, "");
  EXPECT_EQ(out.entries(), std::vector<std::string>{"clip.mov"});
  EXPECT_EQ(contents(out / "clip.mov"), "earlier");
}

TEST(PendingFile, AbandonedTemporaryIsRemoved) {
  const ScratchDir out;
  {
    auto pending = create(out / "clip.mov");
    ASSERT_TRUE(pending.has_value());
    auto moved = std::move(*pending);
    EXPECT_EQ(out.entries().size(), 1U);
    auto replaced = create(out / "other.mov");
    ASSERT_TRUE(replaced.has_value());
    *replaced = std::move(moved);  // drops other.mov's temporary at once
    EXPECT_EQ(out.entries().size(), 1U);
  }
  EXPECT_TRUE(out.entries().empty());
}

TEST(PendingFile, MissingFolderIsRefused) {
  const ScratchDir out;
  std::string error;
  EXPECT_FALSE(PendingFile::create(out / "absent" / "clip.mov", error).has_value());
  EXPECT_NE(error, "");
}

}  // namespace
}  // namespace vek::media
