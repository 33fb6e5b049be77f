#pragma once
// The web view that shows the page: loads, script calls, and its navigation
// and load notifications routed to the application object.

#include <gtk/gtk.h>

#include <string>
#include <utility>

#include "app/ports/Log.h"
#include "app/ports/WebView.h"

namespace vek::app {
class AppDelegate;
}

namespace vek::platform {

class WebKitView : public app::ports::WebView {
 public:
  explicit WebKitView(app::ports::Log& log);
  WebKitView(const WebKitView&) = delete;
  WebKitView& operator=(const WebKitView&) = delete;

  // Owned by the container it is added to.
  GtkWidget* widget() const { return view_; }
  // Routes navigation decisions and completed loads to `app`, which must
  // outlive the view.
  void connect(app::AppDelegate& app);

  void load_page(const std::string& page_path) override;
  void evaluate(const std::string& script) override;
  app::ports::ViewSize size() const override;
  std::optional<app::ports::ScreenArea> screen_area() const override;

  // A load that failed (cancelled by a newer one, or the page missing) is no
  // completed load; its finish notification is not passed on.
  void note_failed_load() { last_load_failed_ = true; }
  bool take_failed_load() { return std::exchange(last_load_failed_, false); }

 private:
  app::ports::Log& log_;
  GtkWidget* view_;
  bool last_load_failed_ = false;
};

}  // namespace vek::platform
