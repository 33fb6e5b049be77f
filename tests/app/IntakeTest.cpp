// The intake as the window sees it: the page keeps working while clips are
// read, a reload loses nothing, Cancel and closing stop it cleanly.

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "AppFixture.h"

namespace vek::app::testing {
namespace {

// Holds every extraction until opened; counts the readers waiting.
class Valve {
 public:
  void pass() {
    std::unique_lock lock(mutex_);
    ++waiting_;
    changed_.notify_all();
    changed_.wait(lock, [this] { return open_; });
  }
  void open() {
    {
      const std::lock_guard lock(mutex_);
      open_ = true;
    }
    changed_.notify_all();
  }
  bool has_reader() {
    const std::lock_guard lock(mutex_);
    return waiting_ > 0;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool open_ = false;
  int waiting_ = 0;
};

class Intake : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    before_extract = [this](const library::ExtractRequest&) { valve_.pass(); };
    app_->webViewDidFinishLoad(true);
    wv_.scripts.clear();
    log_.lines.clear();
  }
  void TearDown() override {
    valve_.open();
    app_.reset();  // joins the workers before the valve goes
    AppFixture::TearDown();
  }
  std::vector<std::string> progress_calls() const {
    std::vector<std::string> made;
    for (const std::string& script : wv_.scripts) {
      if (script.starts_with("if(window.intake_progress)")) {
        made.push_back(script);
      }
    }
    return made;
  }
  std::size_t library_entries() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(library()), {}));
  }

  // The run is planned on a worker and started by the main loop.
  bool wait_for_reader() {
    return main_thread_.run_until([this] { return valve_.has_reader(); });
  }

  Valve valve_;
};

TEST_F(Intake, CommandsReturnAtOnceWhileClipsAreRead) {
  const std::string a = make_file("cards/K1.MOV");
  app_->take_in_dragged({a});
  ASSERT_TRUE(wait_for_reader());
  EXPECT_TRUE(app_->intake_running());
  EXPECT_TRUE(reports().empty()) << "listed only once read";
  navigate("http://open_dir/");
  EXPECT_EQ(events_.back(), "open_folder:" + files());
  ASSERT_FALSE(progress_calls().empty());
  EXPECT_EQ(progress_calls().back(), "if(window.intake_progress)intake_progress('running','0','1','0','4','')");
  valve_.open();
  settle();
  EXPECT_EQ(reports().back(),
            "file_list_fun('" + library() + "/K1.data,','" + a + ",','" + a + "');user_path='" + library() + "'");
  EXPECT_NE(progress_calls().back().find("intake_progress('finished','1','1','4','4',"), std::string::npos)
      << progress_calls().back();
  EXPECT_EQ(log_.lines, std::vector<std::string>{"extract:" + a});
}

TEST_F(Intake, AReloadMidIntakeLosesNothing) {
  const std::string a = make_file("cards/K1.MOV");
  const std::string b = make_file("cards/K2.MOV");
  dialogs_.chosen = std::vector<std::string>{a, b};
  navigate("http://file_copy_fun/");
  ASSERT_TRUE(wait_for_reader());
  wv_.scripts.clear();
  app_->webViewDidFinishLoad(true);  // as after a removal
  ASSERT_EQ(wv_.scripts.size(), 2U);
  EXPECT_EQ(wv_.scripts[0], "file_list_fun('','','0');user_path='" + library() + "'");
  EXPECT_EQ(wv_.scripts[1], "if(window.intake_progress)intake_progress('running','0','2','0','8','')")
      << "the reloaded page sees the intake still running";
  valve_.open();
  settle();
  EXPECT_EQ(app_->clip_list().clip_list_text(), b + "," + a + ",");
  EXPECT_NE(reports().back().find("','" + a + "');"), std::string::npos);
}

TEST_F(Intake, CancelFromThePageStopsTheIntake) {
  const std::string a = make_file("cards/K1.MOV");
  const std::string b = make_file("cards/K2.MOV");
  app_->take_in_dragged({a, b});
  ASSERT_TRUE(wait_for_reader());
  EXPECT_EQ(navigate("http://intake_cancel/"), bridge::Navigation::Ignore);
  EXPECT_FALSE(app_->intake_running());
  EXPECT_NE(progress_calls().back().find("intake_progress('cancelled','0','2',"), std::string::npos);
  valve_.open();
  app_.reset();
  main_thread_.run_all();  // late outcomes of the cancelled run change nothing
  EXPECT_EQ(library_entries(), 1U) << "only the settings file; no track, no temporary file";
}

TEST_F(Intake, ClosingMidIntakeExitsAtOnceWithoutPartialFiles) {
  const std::string a = make_file("cards/K1.MOV");
  app_->take_in_dragged({a});
  ASSERT_TRUE(wait_for_reader());
  const auto before = std::chrono::steady_clock::now();
  app_->windowShouldClose();
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(500))
      << "closing waits for no clip being read";
  EXPECT_EQ(events_.back(), "exit:0");
  valve_.open();
  app_.reset();
  EXPECT_EQ(library_entries(), 1U);
  EXPECT_FALSE(std::filesystem::exists(library() + "/K1.data"));
}

TEST_F(Intake, AnImportWhileOneRunsIsQueued) {
  const std::string a = make_file("cards/K1.MOV");
  const std::string b = make_file("cards/K2.MOV");
  app_->take_in_dragged({a});
  ASSERT_TRUE(wait_for_reader());
  dialogs_.chosen = std::vector<std::string>{b};
  navigate("http://file_copy_fun/");
  EXPECT_TRUE(reports().empty());
  valve_.open();
  settle();
  const std::vector<std::string> made = reports();
  ASSERT_EQ(made.size(), 2U);
  EXPECT_NE(made[0].find("','" + a + ",','" + a + "')"), std::string::npos) << made[0];
  EXPECT_NE(made[1].find("','" + a + "," + b + ",','" + b + "')"), std::string::npos) << made[1];
}

TEST_F(Intake, RemovingOneOfTwoSameNameClipsTakesOutItsOwnPair) {
  valve_.open();
  const std::string a = make_file("cardA/FILE0001.MOV");
  const std::string b = make_file("cardB/FILE0001.MOV");
  std::ofstream(b, std::ios::app) << " from another card";
  app_->take_in_dragged({a});
  settle();
  app_->take_in_dragged({b});
  settle();
  ASSERT_EQ(app_->clip_list().track_list_text(), library() + "/FILE0001.data," + library() + "/FILE0001~2.data,");
  navigate("http://file_del_fun/" + b);
  EXPECT_EQ(app_->clip_list().track_list_text(), library() + "/FILE0001.data,");
  EXPECT_EQ(app_->clip_list().clip_list_text(), a + ",");
}

}  // namespace
}  // namespace vek::app::testing
