#include "base/files/FolderSyncs.h"

#include <gtest/gtest.h>

#include <thread>

#include "base/files/Publisher.h"
#include "support/ScratchFolder.h"

namespace vek::base {
namespace {

using namespace std::chrono_literals;
using test::ScratchFolder;

// Files published with a batch are in place at once; their folders wait
// for the batch's one sync, each folder once however many files it got.
TEST(FolderSyncs, PublishedFilesAreInPlaceAndTheirFoldersWaitForOneSync) {
  const ScratchFolder folder;
  std::filesystem::create_directories(folder / "other");
  FolderSyncs batch;
  EXPECT_EQ(batch.pending(), 0U);
  EXPECT_TRUE(publish_file(folder / "A.data", "track", PublishMode::Replace, nullptr, &batch));
  EXPECT_TRUE(publish_file(folder / "A.data.family", "freeGPS boxes\n", PublishMode::Replace, nullptr, &batch));
  EXPECT_TRUE(publish_file(folder / "other" / "B.data", "track", PublishMode::Replace, nullptr, &batch));
  EXPECT_EQ(ScratchFolder::read(folder / "A.data"), "track");
  EXPECT_EQ(ScratchFolder::names(folder.path()), "A.data A.data.family other") << "no temporary left";
  EXPECT_EQ(batch.pending(), 2U);
  EXPECT_EQ(batch.sync(), 2U);
  EXPECT_EQ(batch.pending(), 0U);
  EXPECT_EQ(batch.sync(), 0U) << "nothing published since";
}

TEST(FolderSyncs, AFailedPublishLeavesNothingToSync) {
  const ScratchFolder folder;
  const auto existing = folder.write("exp.mov", "earlier");
  FolderSyncs batch;
  EXPECT_FALSE(publish_file(existing, "new", PublishMode::NoReplace, nullptr, &batch));
  EXPECT_FALSE(publish_file(folder / "missing" / "A.data", "text", PublishMode::Replace, nullptr, &batch));
  EXPECT_EQ(batch.pending(), 0U);
  EXPECT_EQ(ScratchFolder::names(folder.path()), "exp.mov");
}

TEST(FolderSyncs, DueOnceTheOldestUnsyncedRenameIsOldEnough) {
  const ScratchFolder folder;
  FolderSyncs batch;
  EXPECT_FALSE(batch.due(0ms)) << "nothing waits";
  ASSERT_TRUE(publish_file(folder / "A.data", "track", PublishMode::Replace, nullptr, &batch));
  EXPECT_FALSE(batch.due(1h));
  std::this_thread::sleep_for(20ms);
  EXPECT_TRUE(batch.due(10ms));
  ASSERT_TRUE(publish_file(folder / "B.data", "track", PublishMode::Replace, nullptr, &batch));
  EXPECT_TRUE(batch.due(10ms)) << "the age counts from the oldest, not the latest";
  batch.sync();
  EXPECT_FALSE(batch.due(0ms));
}

// Writers on several threads share one batch.
TEST(FolderSyncs, ThreadsPublishingIntoOneBatchLoseNoFolder) {
  const ScratchFolder folder;
  FolderSyncs batch;
  std::vector<std::jthread> writers;
  for (int t = 0; t < 4; ++t) {
    std::filesystem::create_directories(folder / std::to_string(t));
    writers.emplace_back([&, t] {
      for (int i = 0; i < 20; ++i)
        publish_file(folder / std::to_string(t) / (std::to_string(i) + ".data"), "track", PublishMode::Replace, nullptr,
                     &batch);
    });
  }
  writers.clear();
  EXPECT_EQ(batch.sync(), 4U);
}

}  // namespace
}  // namespace vek::base
