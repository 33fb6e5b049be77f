#include "bridge/CommandDispatch.h"

#include <gtest/gtest.h>

namespace vek::bridge {
namespace {

using C = Command;

TEST(CommandDispatch, PageLoadsAreAllowedAndRunNothing) {
  for (const char* url : {"file:///usr/share/vek/www/index.html", "about:blank", ""}) {
    const DispatchPlan plan = dispatch(url);
    EXPECT_TRUE(plan.commands.empty()) << url;
    EXPECT_EQ(plan.navigation, Navigation::Allow) << url;
  }
}

TEST(CommandDispatch, RealWebAddressesOpenElsewhere) {
  EXPECT_EQ(dispatch("https://example.org/map").navigation, Navigation::OpenExternally);
  EXPECT_EQ(dispatch("http://example.org/").navigation, Navigation::OpenExternally);
  EXPECT_TRUE(dispatch("http://example.org/").commands.empty());
}

TEST(CommandDispatch, CommandsAreIgnoredSoThePageStays) {
  EXPECT_EQ(dispatch("http://open_dir/").navigation, Navigation::Ignore);
  EXPECT_EQ(dispatch("http://file_copy_fun/").navigation, Navigation::Ignore);
}

TEST(CommandDispatch, ImportExcludesEveryOtherCommand) {
  const DispatchPlan plan = dispatch("http://file_copy_fun/http://get_photo/x;1;2http://open_dir/");
  EXPECT_EQ(plan.commands, std::vector<Command>{C::FileCopy});
}

TEST(CommandDispatch, ImportWinsOverLookupAndLookupExcludesLaterCommands) {
  EXPECT_EQ(dispatch("http://check_file/a,http://file_copy_fun/").commands, std::vector<Command>{C::FileCopy});
  EXPECT_EQ(dispatch("http://check_file/a,http://save_set/km").commands, std::vector<Command>{C::CheckFile});
}

TEST(CommandDispatch, IndependentCommandsRunInTableOrder) {
  const DispatchPlan plan = dispatch("http://save_set/km,ENGhttp://open_dir/");
  EXPECT_EQ(plan.commands, (std::vector<Command>{C::OpenDir, C::SaveSet}));
  const DispatchPlan all = dispatch(
      "http://route_out/gpx;120;ahttp://merger/a,bhttp://save_set/xhttp://norecode/http://recode/http://open_dir/"
      "http://get_full_photo/http://get_photo/u;1;2");
  EXPECT_EQ(all.commands, (std::vector<Command>{C::GetPhoto, C::GetFullPhoto, C::OpenDir, C::Recode, C::Norecode,
                                                C::SaveSet, C::Merger, C::RouteOut}));
}

TEST(CommandDispatch, MarkersAreNotContainedInEachOther) {
  EXPECT_EQ(dispatch("http://get_full_photo/").commands, std::vector<Command>{C::GetFullPhoto});
  EXPECT_EQ(dispatch("http://norecode/").commands, std::vector<Command>{C::Norecode});
}

TEST(CommandDispatch, MarkerInsideALongerUrlStillRuns) {
  EXPECT_EQ(dispatch("file:///x/index.html#http://open_dir/").commands, std::vector<Command>{C::OpenDir});
}

TEST(CommandDispatch, MarkersAreCaseSensitive) {
  EXPECT_TRUE(dispatch("http://OPEN_DIR/").commands.empty());
}

TEST(CommandDispatch, RemovalDecodesTheUrlAndGoesOnToLaterStages) {
  const DispatchPlan plan = dispatch("http://file_del_fun//home/u/%E4%B8%AD/A%20B.MOV,http://open_dir/");
  EXPECT_EQ(plan.text, "http://file_del_fun//home/u/\xE4\xB8\xAD/A B.MOV,http://open_dir/");
  EXPECT_EQ(plan.commands, (std::vector<Command>{C::FileDel, C::OpenDir}));
  EXPECT_EQ(plan.navigation, Navigation::Ignore);
}

TEST(CommandDispatch, LaterStagesTestTheDecodedText) {
  const DispatchPlan plan = dispatch("http://file_del_fun/x,http%3A//file_copy_fun/");
  EXPECT_EQ(plan.commands, (std::vector<Command>{C::FileDel, C::FileCopy}));
}

TEST(CommandDispatch, RemovalOfAPathThatIsNotUtf8CarriesItsBytes) {
  const DispatchPlan plan = dispatch("http://file_del_fun//home/u/caf%E9.MOV,");
  EXPECT_EQ(plan.commands, std::vector<Command>{C::FileDel});
  EXPECT_EQ(plan.text, "http://file_del_fun//home/u/caf\xE9.MOV,");
  EXPECT_EQ(plan.navigation, Navigation::Ignore);
}

TEST(CommandDispatch, OtherCommandsKeepTheirEscapes) {
  EXPECT_EQ(dispatch("http://save_set/a%20b").text, "http://save_set/a%20b");
}

}  // namespace
}  // namespace vek::bridge
