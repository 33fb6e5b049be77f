#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "AppFixture.h"

namespace vek::app::testing {
namespace {

class ClipCommands : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    app_->webViewDidFinishLoad(true);
    events_.clear();
    wv_.scripts.clear();
    log_.lines.clear();
  }
  int reloads() const {
    return static_cast<int>(std::count(events_.begin(), events_.end(), std::string("load:") + kPage));
  }
  std::string read(const std::string& path) const {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
};

TEST_F(ClipCommands, RemovalWithSpacesSentPlainOrEscaped) {
  const std::string a = make_file("my cards/A CLIP.MOV");
  const std::string b = make_file("my cards/B.MOV");
  app_->take_in_dragged({b, a});
  settle();
  events_.clear();
  log_.lines.clear();
  std::string escaped = a;
  escaped.replace(escaped.find(' '), 1, "%20");
  navigate("http://file_del_fun/" + escaped + "," + b + ",");
  EXPECT_EQ(app_->clip_list().clip_list_text(), "");
  EXPECT_EQ(app_->clip_list().track_list_text(), "");
  EXPECT_EQ(reloads(), 3);
  EXPECT_TRUE(std::filesystem::exists(library() + "/B.data")) << "removal deletes no file";
  ASSERT_GE(log_.lines.size(), 4U);
  EXPECT_EQ(log_.lines[1], "del:" + a + ",data:" + library() + "/A CLIP.data,");
  EXPECT_EQ(log_.lines[2], "del_res:" + library() + "/B.data,");
}

TEST_F(ClipCommands, RemovalOfUnlistedOrEmptyStillReloadsOnce) {
  navigate("http://file_del_fun/");
  EXPECT_EQ(reloads(), 1);
  navigate("http://file_del_fun//nowhere/X.MOV");
  EXPECT_EQ(reloads(), 2);
}

TEST_F(ClipCommands, RemovalOfAnOddCaseExtension) {
  const std::string clip = make_file("cards/NAME.Mov");
  app_->take_in_dragged({clip});  // drags refuse ".Mov"; the chooser takes it
  dialogs_.chosen = std::vector<std::string>{clip};
  app_->copy_file();
  settle();
  ASSERT_EQ(app_->clip_list().clip_list_text(), clip + ",");
  navigate("http://file_del_fun/" + clip);
  EXPECT_EQ(app_->clip_list().track_list_text(), "");
  EXPECT_EQ(app_->clip_list().clip_list_text(), "");
}

TEST_F(ClipCommands, RemovalOfBytesThatAreNotUtf8RemovesExactlyThatClip) {
  const std::string clip = make_file("cards/FILE0001.MOV");
  const std::string latin1 = make_file("cards/caf\xE9.MOV");
  app_->take_in_dragged({clip, latin1});
  settle();
  events_.clear();
  navigate("http://file_del_fun/" + (root_ / "cards/caf%E9.MOV").string() + ",");
  EXPECT_EQ(app_->clip_list().clip_list_text(), clip + ",");
  EXPECT_EQ(reloads(), 2);
}

TEST_F(ClipCommands, CancelledChooserStillReports) {
  navigate("http://file_copy_fun/");
  settle();
  EXPECT_EQ(wv_.scripts, std::vector<std::string>{"file_list_fun('','','(null)');user_path='" + library() + "'"});
}

TEST_F(ClipCommands, ChosenClipsReportTheFirstChosenAsLast) {
  const std::string one = make_file("cards/CLIP0001.MOV");
  const std::string two = make_file("cards/CLIP0002.MOV");
  dialogs_.chosen = std::vector<std::string>{one, two};
  navigate("http://file_copy_fun/");
  settle();
  ASSERT_EQ(reports().size(), 1U) << "one report for the whole run";
  EXPECT_EQ(reports().back(), "file_list_fun('" + library() + "/CLIP0002.data," + library() + "/CLIP0001.data,','" +
                                  two + "," + one + ",','" + one + "');user_path='" + library() + "'");
}

TEST_F(ClipCommands, PathsWithQuotesReachThePageEscaped) {
  const std::string clip = make_file("it's/A.MOV");
  app_->take_in_dragged({clip});
  settle();
  std::string escaped = clip;
  escaped.replace(escaped.find('\''), 1, "\\'");
  EXPECT_NE(reports().back().find("'" + escaped + ",'"), std::string::npos) << reports().back();
}

// Reports close together are joined (at most one per 100 ms); the first
// clip is listed at once and the run's last report lists every clip.
TEST_F(ClipCommands, DragListsTheFirstClipAtOnceAndEndsWithAllOfThem) {
  const std::string k1 = make_file("cards/K1.MOV");
  const std::string k2 = make_file("cards/K2.MOV");
  const std::string k3 = make_file("cards/K3.MOV");
  app_->take_in_dragged({k1, k2, k3});
  settle();
  const std::vector<std::string> made = reports();
  ASSERT_GE(made.size(), 2U);
  EXPECT_LE(made.size(), 3U);
  EXPECT_NE(made.front().find("','" + k3 + ",','" + k3 + "')"), std::string::npos) << made.front();
  EXPECT_NE(made.back().find("','" + k3 + "," + k2 + "," + k1 + ",','" + k1 + "')"), std::string::npos) << made.back();
  main_thread_.run_all();
  EXPECT_EQ(reports().size(), made.size()) << "nothing is sent after the last report";
}

TEST_F(ClipCommands, DragSkipsCloseRecordingsAndMissingClips) {
  const std::string close = make_file("cards/2016_closer.MOV");
  const std::string kept = make_file("cards/K1.MOV");
  const std::string gone = (root_ / "cards/GONE.MOV").string();
  app_->take_in_dragged({close, gone, kept});
  settle();
  EXPECT_EQ(app_->clip_list().clip_list_text(), kept + ",");
  EXPECT_EQ(std::count(events_.begin(), events_.end(), "extract:" + close), 0);
  EXPECT_EQ(std::count(events_.begin(), events_.end(), "extract:" + gone), 0);
  ASSERT_FALSE(reports().empty());
  EXPECT_NE(reports().back().find("','" + kept + ",','" + kept + "')"), std::string::npos)
      << "the last report names the clip taken in: " << reports().back();
}

TEST_F(ClipCommands, AStemIsLookedForAmongClipsNotTracks) {
  const std::string first = make_file("cards/X.MOV");
  const std::string data = make_file("cards/data.MOV");  // "data" is in every track path
  app_->take_in_dragged({data, first});
  settle();
  EXPECT_EQ(app_->clip_list().clip_list_text(), first + "," + data + ",");
}

TEST_F(ClipCommands, ADragWithNoFilesChangesNothing) {
  app_->take_in_dragged({});
  settle();
  EXPECT_TRUE(wv_.scripts.empty());
  EXPECT_TRUE(events_.empty());
  EXPECT_EQ(app_->clip_list().clip_list_text(), "");
}

TEST_F(ClipCommands, LookupShowsTheFirstExistingCandidate) {
  const std::string third = make_file("c/third.MOV");
  navigate("http://check_file//x/1.MOV,/x/2.MOV," + third + ",/x/4.MOV");
  EXPECT_EQ(wv_.scripts, std::vector<std::string>{"video1_show('" + third + "')"});
  EXPECT_EQ(log_.lines, std::vector<std::string>{"yes:" + third});
}

TEST_F(ClipCommands, LookupStopsAfterEightCandidates) {
  const std::string ninth = make_file("c/ninth.MOV");
  navigate("http://check_file//1,/2,/3,/4,/5,/6,/7,/8," + ninth);
  EXPECT_TRUE(wv_.scripts.empty());
  EXPECT_TRUE(log_.lines.empty());
}

TEST_F(ClipCommands, LookupFindsEscapedNonAsciiAndSpaces) {
  const std::string clip = make_file("\xE8\xBB\x8A \xC3\xA9/A.MOV");
  const std::string escaped = (root_ / "%E8%BB%8A%20%C3%A9/A.MOV").string();
  navigate("http://check_file/" + escaped);
  EXPECT_EQ(wv_.scripts, std::vector<std::string>{"video1_show('" + clip + "')"});
}

TEST_F(ClipCommands, LookupCountsADanglingLink) {
  const std::string link = (root_ / "link.MOV").string();
  std::filesystem::create_symlink(root_ / "nowhere.MOV", link);
  navigate("http://check_file/" + link);
  EXPECT_EQ(wv_.scripts.size(), 1U);
}

TEST_F(ClipCommands, LookupTreatsADecodedNulAsNotFound) {
  const std::string real = make_file("etc/passwd");
  navigate("http://check_file/" + real + "%00.MOV," + real + "%00");
  EXPECT_TRUE(wv_.scripts.empty()) << wv_.scripts.front();
  EXPECT_TRUE(log_.lines.empty());
}

TEST_F(ClipCommands, RemovalOfALiteralEscapeRemovesExactlyThatClip) {
  const std::string literal = make_file("cards/a%20b.MOV");
  const std::string spaced = make_file("cards/a b.MOV");
  app_->take_in_dragged({literal});
  settle();
  dialogs_.chosen = std::vector<std::string>{spaced};
  app_->copy_file();
  settle();
  ASSERT_TRUE(app_->clip_list().lists_clip(literal));
  ASSERT_TRUE(app_->clip_list().lists_clip(spaced));
  // The page escapes "%" as "%25"; the removal text is decoded once.
  navigate("http://file_del_fun/" + (root_ / "cards/a%2520b.MOV").string() + ",");
  EXPECT_FALSE(app_->clip_list().lists_clip(literal));
  EXPECT_TRUE(app_->clip_list().lists_clip(spaced));
  navigate("http://file_del_fun/" + (root_ / "cards/a%20b.MOV").string() + ",");
  EXPECT_FALSE(app_->clip_list().lists_clip(spaced));
}

TEST_F(ClipCommands, CommasInPathsKeepTheListsInStep) {
  const std::string trip = make_file("Trip, day 1/A.MOV");
  const std::string other = make_file("cards/B.MOV");
  app_->take_in_dragged({other, trip});
  settle();
  using namespace std::string_literals;
  EXPECT_NE(reports().back().find("'\\x00" + trip + "\\x00" + other + "\\x00'"), std::string::npos) << reports().back();
  EXPECT_NE(reports().back().find("'" + library() + "/A.data," + library() + "/B.data,'"), std::string::npos);
  navigate("http://file_del_fun/" + trip + ",");
  EXPECT_EQ(app_->clip_list().clip_list_text(), other + ",");
  EXPECT_EQ(app_->clip_list().track_list_text(), library() + "/B.data,");
  EXPECT_EQ(reloads(), 2) << "one reload per element, the trailing empty one included";
}

TEST_F(ClipCommands, MovieLengthsAndRefusedTracksGoToThePageBeforeTheList) {
  const std::string normal = make_file("cards/FILE0001.MOV");
  const std::string huge = make_file("cards/HUGE.MOV");
  durations_[normal] = 61.25;
  app_->take_in_dragged({normal, huge});
  settle();
  const auto last_report = std::find(wv_.scripts.rbegin(), wv_.scripts.rend(), reports().back());
  ASSERT_NE(last_report + 1, wv_.scripts.rend());
  EXPECT_EQ(*(last_report + 1), "if(window.clip_facts)clip_facts('" + huge + "," + normal + ",','|large,61.250000|,')");
  EXPECT_FALSE(std::filesystem::exists(library() + "/HUGE.data"));
}

TEST_F(ClipCommands, SettingsAreStoredVerbatim) {
  navigate("http://save_set/km,ENG");
  EXPECT_EQ(read(home_ + "/VEK/data/ini.txt"), "km,ENG");
  navigate("http://save_set/a%20b,%E4");
  EXPECT_EQ(read(home_ + "/VEK/data/ini.txt"), "a%20b,%E4");
}

}  // namespace
}  // namespace vek::app::testing
