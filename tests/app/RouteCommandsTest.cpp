#include <gtest/gtest.h>

#include <future>

#include "AppFixture.h"

namespace vek::app::testing {
namespace {

using namespace std::chrono_literals;

class RouteCommands : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    app_->webViewDidFinishLoad(true);
    wv_.scripts.clear();
    log_.lines.clear();
  }
};

TEST_F(RouteCommands, RequestRunsOffTheMainThreadAndTheResultComesBackThroughIt) {
  bridge::RouteRequest seen;
  std::thread::id worker;
  route_export = [&](const bridge::RouteRequest& request, const std::tm& now) {
    seen = request;
    worker = std::this_thread::get_id();
    EXPECT_EQ(now.tm_year, fixed_time().tm_year);
    return RouteFile{true, "route_20261205_203307.kml"};
  };
  navigate("http://route_out/kml;90.5;/c/my%20card/A.MOV,/c/B%E4%B8%AD.MOV,");
  EXPECT_TRUE(wv_.scripts.empty()) << "nothing is told before the worker is done";
  ASSERT_TRUE(main_thread_.run_when_posted(5s));
  EXPECT_NE(worker, std::this_thread::get_id());
  EXPECT_EQ(seen.format, "kml");
  EXPECT_DOUBLE_EQ(seen.gap_seconds, 90.5);
  EXPECT_EQ(seen.clips, (std::vector<std::string>{"/c/my card/A.MOV", "/c/B\xE4\xB8\xAD.MOV"}));
  EXPECT_EQ(wv_.scripts,
            std::vector<std::string>{"if(window.route_out_done)route_out_done(true,'route_20261205_203307.kml')"});
}

TEST_F(RouteCommands, MalformedRequestsAreRefusedAtOnce) {
  bool called = false;
  route_export = [&](const bridge::RouteRequest&, const std::tm&) { return called = true, RouteFile{}; };
  for (const char* url :
       {"http://route_out/", "http://route_out/svg;120;/c/A.MOV", "http://route_out/gpx;-1;/c/A.MOV",
        "http://route_out/gpx;120;", "http://route_out/gpx;1e9;/c/A.MOV", "http://route_out/gpx;12x;/a"}) {
    wv_.scripts.clear();
    navigate(url);
    EXPECT_EQ(wv_.scripts,
              std::vector<std::string>{"if(window.route_out_done)route_out_done(false,'not a route request')"})
        << url;
  }
  EXPECT_FALSE(main_thread_.run_when_posted(50ms));
  EXPECT_FALSE(called);
}

TEST_F(RouteCommands, OneRouteFileAtATimeAndFailuresReachThePageEscaped) {
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  route_export = [released](const bridge::RouteRequest&, const std::tm&) {
    released.wait();
    return RouteFile{false, "/c/it's gone.MOV: no such file"};
  };
  navigate("http://route_out/gpx;120;/c/A.MOV");
  navigate("http://route_out/csv;120;/c/A.MOV");
  EXPECT_EQ(wv_.scripts,
            std::vector<std::string>{"if(window.route_out_done)route_out_done(false,'a route file is being written')"});
  release.set_value();
  ASSERT_TRUE(main_thread_.run_when_posted(5s));
  EXPECT_EQ(wv_.scripts.back(), "if(window.route_out_done)route_out_done(false,'/c/it\\'s gone.MOV: no such file')");
  navigate("http://route_out/csv;120;/c/A.MOV");
  ASSERT_TRUE(main_thread_.run_when_posted(5s)) << "free again after the first finished";
}

}  // namespace
}  // namespace vek::app::testing
