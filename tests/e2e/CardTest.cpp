// Memory cards in the real application, mounted through its test seam (a
// folder whose subfolders stand for mounted cards): offered, taken in only
// when the page accepts, and withdrawn when pulled out.

#include <gtest/gtest.h>

#include "AppRun.h"

namespace vek::e2e {
namespace {

namespace fs = std::filesystem;

// Fills a card outside the watched folder, then moves it in at once, as a
// mount makes a whole card appear.
fs::path insert_card(const AppRun& app, const std::string& name, int clips) {
  const fs::path staged = app.root() / "staging" / name;
  fs::create_directories(staged / "DCIM" / "Movie");
  for (int i = 1; i <= clips; ++i) {
    fs::copy_file(generated_clip(), staged / "DCIM" / "Movie" / ("FILE000" + std::to_string(i) + ".MOV"));
  }
  const fs::path mounted = app.root() / "cards" / name;
  fs::rename(staged, mounted);
  return mounted;
}

TEST(Cards, OfferedCardsAreTakenInOnlyWhenAcceptedAndWithdrawnWhenPulledOut) {
  AppRun app("cards", {VEK_TEST_PAGE_DIR, {"vektest:import-cards"}});
  fs::create_directories(app.root() / "cards");
  app.start({}, {"VEK_TEST_CARDS=" + (app.root() / "cards").string()});
  ASSERT_TRUE(app.wait_for_stderr("VEKTEST user_path")) << app.err();

  const fs::path accepted = insert_card(app, "IMPORT1", 2);
  ASSERT_TRUE(app.wait_for_stderr("VEKTEST card_offer [\"1\",\"IMPORT1\",\"2\",\"", 30s)) << app.err();
  ASSERT_TRUE(app.wait_for_stderr("VEKTEST card_withdrawn [\"1\"]", 30s)) << "the import started";
  ASSERT_TRUE(app.wait_for_stderr("VEKTEST intake_progress [\"finished\",\"2\",\"2\"", 30s)) << app.err();
  EXPECT_TRUE(fs::exists(app.home() / "VEK" / "data" / "FILE0001.data"));
  EXPECT_TRUE(fs::exists(app.home() / "VEK" / "data" / "FILE0002.data"));
  const std::string last_report = app.page_calls("file_list_fun").back();
  EXPECT_NE(last_report.find((accepted / "DCIM" / "Movie" / "FILE0001.MOV").string()), std::string::npos);

  const std::size_t progress_calls = app.page_calls("intake_progress").size();
  const fs::path kept = insert_card(app, "KEEP", 1);
  ASSERT_TRUE(app.wait_for_stderr("VEKTEST card_offer [\"2\",\"KEEP\",\"1\",", 30s)) << app.err();
  fs::remove_all(kept);
  ASSERT_TRUE(app.wait_for_stderr("VEKTEST card_withdrawn [\"2\"]", 30s)) << "a pulled card's offer goes";
  EXPECT_EQ(app.page_calls("intake_progress").size(), progress_calls) << "nothing taken in without the click";
  EXPECT_TRUE(app.running());
}

}  // namespace
}  // namespace vek::e2e
