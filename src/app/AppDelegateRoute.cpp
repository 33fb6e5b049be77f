// The route export command: the named clips' GPS samples read on a worker
// thread and written as one route file in the output folder.

#include "app/AppDelegate.h"
#include "bridge/ScriptCalls.h"

namespace vek::app {

void AppDelegate::route_out(const std::string& text) {
  const std::optional<bridge::RouteRequest> request = bridge::route_request(text);
  if (!request || !env_.export_route) {
    log("route_out: not a route request: " + text);
    platform_.wv.evaluate(bridge::route_out_call(false, "not a route request"));
    return;
  }
  if (route_busy_.exchange(true)) {
    log("route_out: a route file is being written");
    platform_.wv.evaluate(bridge::route_out_call(false, "a route file is being written"));
    return;
  }
  if (route_worker_.joinable()) {
    route_worker_.join();  // finished: route_busy_ was false
  }
  route_worker_ = std::jthread([this, job = *request, now = env_.now()] {
    RouteFile file;
    try {
      file = env_.export_route(job, now);
    } catch (const std::exception& e) {
      file = {false, e.what()};
    }
    platform_.main_thread.post([this, file] { route_out_finished(file); });
  });
}

void AppDelegate::route_out_finished(const RouteFile& file) {
  route_busy_ = false;
  log(std::string(file.written ? "route_out: wrote " : "route_out: failed: ") + file.text);
  platform_.wv.evaluate(bridge::route_out_call(file.written, file.text));
}

}  // namespace vek::app
