#pragma once
// The web view that shows the page, as the application logic sees it.
// Main thread only.

#include <optional>
#include <string>

namespace vek::app::ports {

struct ViewSize {
  double width = 0;
  double height = 0;
};

// Where the page is shown, in the screen's device pixels.
struct ScreenArea {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

class WebView {
 public:
  virtual ~WebView() = default;
  // Starts loading the page file into the main frame; returns at once.
  virtual void load_page(const std::string& page_path) = 0;
  // Evaluates one statement in the page; the result is not wanted.
  virtual void evaluate(const std::string& script) = 0;
  virtual ViewSize size() const = 0;
  // The view's content area on the screen; empty while it is not shown.
  virtual std::optional<ScreenArea> screen_area() const = 0;
};

}  // namespace vek::app::ports
