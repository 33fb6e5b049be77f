#include "media/gst/ClipAssetLoader.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <fstream>
#include <mutex>
#include <thread>

#include "MediaTestSupport.h"

namespace vek::media {
namespace {

using vek::test::ScratchFolder;

constexpr std::chrono::seconds kLoadLimit{60};  // a handful of small clips loads in a second or two
constexpr int kShortLivedThreads = 24;          // the old per-thread hang showed within about twenty

// Loads `clips`, giving up (nullopt) after `limit` instead of hanging.
std::optional<std::vector<AssetPtr>> load_within(const std::vector<std::filesystem::path>& clips,
                                                 std::chrono::seconds limit = kLoadLimit) {
  std::atomic<bool> late{false};
  std::mutex lock;
  std::condition_variable wake;
  bool finished = false;
  std::thread watchdog([&] {
    std::unique_lock guard(lock);
    if (!wake.wait_for(guard, limit, [&finished] { return finished; })) {
      late.store(true);
    }
  });
  auto result = load_clip_assets(clips, late);
  {
    const std::lock_guard guard(lock);
    finished = true;
  }
  wake.notify_one();
  watchdog.join();
  return result;
}

// Runs `work` on a new thread that has its own default main context, as an
// export does.
template <typename Work>
void on_own_context_thread(Work&& work) {
  std::thread([&work] {
    GMainContext* context = g_main_context_new();
    g_main_context_push_thread_default(context);
    work();
    g_main_context_pop_thread_default(context);
    g_main_context_unref(context);
  }).join();
}

class ClipAssetLoaderTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    testing::init_media();
    clips_ = std::make_unique<ScratchFolder>();
    clip_ = testing::make_fixture_clip(*clips_ / "clip.MOV", 1, "320x180");
  }
  static void TearDownTestSuite() { clips_.reset(); }

  void SetUp() override {
    if (const std::string missing = testing::missing_element({"qtdemux", "avdec_h264"}); !missing.empty()) {
      GTEST_SKIP() << "GStreamer element missing: " << missing;
    }
    ASSERT_FALSE(clip_.empty());
  }

  // A copy of the clip under a new name: GES has not seen it yet.
  std::filesystem::path fresh_copy(const std::string& name) const {
    const auto copy = out_ / name;
    std::filesystem::copy_file(clip_, copy);
    return copy;
  }

  static inline std::unique_ptr<ScratchFolder> clips_;
  static inline std::filesystem::path clip_;
  ScratchFolder out_;
};

TEST_F(ClipAssetLoaderTest, KeepsOrderAndGivesNullForWhatCannotBeRead) {
  const auto corrupt = out_ / "corrupt.MOV";
  std::ofstream(corrupt) << std::string(4096, 'x');
  const auto empty = out_ / "empty.MOV";
  std::ofstream{empty};
  std::filesystem::create_directory(out_ / "folder.MOV");
  const auto loaded =
      load_within({clip_, out_ / "absent.MOV", "", out_ / "folder.MOV", corrupt, empty, "/dev/zero", clip_});
  ASSERT_TRUE(loaded.has_value());
  ASSERT_EQ(loaded->size(), 8U);
  EXPECT_NE(loaded->front(), nullptr);
  for (std::size_t i = 1; i + 1 < loaded->size(); ++i) {
    EXPECT_EQ((*loaded)[i], nullptr) << i;
  }
  EXPECT_EQ(loaded->back().get(), loaded->front().get());
  EXPECT_NEAR(static_cast<double>(ges_uri_clip_asset_get_duration(loaded->front().get())),
              static_cast<double>(GST_SECOND), static_cast<double>(50 * GST_MSECOND));
}

TEST_F(ClipAssetLoaderTest, NoClipsGiveNoAssets) {
  const auto loaded = load_within({});
  ASSERT_TRUE(loaded.has_value());
  EXPECT_TRUE(loaded->empty());
}

TEST_F(ClipAssetLoaderTest, ManyShortLivedThreadsWithTheirOwnContextsAllLoad) {
  for (int i = 0; i < kShortLivedThreads; ++i) {
    SCOPED_TRACE(i);
    const auto copy = fresh_copy("copy" + std::to_string(i) + ".MOV");
    std::optional<std::vector<AssetPtr>> loaded;
    on_own_context_thread([&] { loaded = load_within({copy, out_ / "absent.MOV"}); });
    ASSERT_TRUE(loaded.has_value());
    ASSERT_EQ(loaded->size(), 2U);
    EXPECT_NE(loaded->front(), nullptr);
  }
}

TEST_F(ClipAssetLoaderTest, CancelledLoadReturnsAtOnceAndLaterLoadsStillWork) {
  std::vector<std::filesystem::path> many;
  for (int i = 0; i < 20; ++i) {
    many.push_back(fresh_copy("many" + std::to_string(i) + ".MOV"));
  }
  const std::atomic<bool> cancelled{true};
  const auto before = std::chrono::steady_clock::now();
  EXPECT_FALSE(load_clip_assets(many, cancelled).has_value());
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));
  const auto later = load_within({fresh_copy("later.MOV")});
  ASSERT_TRUE(later.has_value());
  EXPECT_NE(later->front(), nullptr);
}

}  // namespace
}  // namespace vek::media
