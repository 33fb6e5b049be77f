#include "platform/MainWindow.h"

#include <cmath>

#include "app/AppDelegate.h"
#include "base/glib/CallbackGuard.h"

namespace vek::platform {
namespace {

// The proportion the page is designed for; the first geometry pass keeps it.
constexpr int kInitialWidth = 960;
constexpr int kInitialHeight = 600;

struct Route {
  MainWindow* window;
  app::AppDelegate* app;
};

gboolean on_delete(GtkWidget*, GdkEvent*, gpointer data) {
  base::guarded("delete-event", [data] { static_cast<Route*>(data)->app->windowShouldClose(); });
  return TRUE;
}

gboolean on_configure(GtkWidget*, GdkEventConfigure* event, gpointer data) {
  base::guarded("configure-event", [event, data] {
    auto* route = static_cast<Route*>(data);
    if (route->window->note_size(event->width, event->height)) {
      route->app->windowDidResize();
    }
  });
  return FALSE;
}

void delete_route(gpointer data, GClosure*) {
  delete static_cast<Route*>(data);
}

}  // namespace

MainWindow::MainWindow() : window_(GTK_WINDOW(gtk_window_new(GTK_WINDOW_TOPLEVEL))) {
  gtk_window_set_title(window_, "VEK");
  // The installed theme icon (share/icons/hicolor/.../vek.svg); none when run from elsewhere.
  gtk_window_set_icon_name(window_, "vek");
  gtk_window_set_default_size(window_, kInitialWidth, kInitialHeight);
}

void MainWindow::connect(app::AppDelegate& app) {
  g_signal_connect_data(window_, "delete-event", G_CALLBACK(on_delete), new Route{this, &app}, delete_route,
                        GConnectFlags{});
  g_signal_connect_data(window_, "configure-event", G_CALLBACK(on_configure), new Route{this, &app}, delete_route,
                        GConnectFlags{});
}

bool MainWindow::note_size(int width, int height) {
  const bool changed = width != seen_width_ || height != seen_height_;
  seen_width_ = width;
  seen_height_ = height;
  return changed;
}

app::ports::Frame MainWindow::frame() const {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  gtk_window_get_position(window_, &x, &y);
  gtk_window_get_size(window_, &width, &height);
  return {static_cast<double>(x), static_cast<double>(y), static_cast<double>(width), static_cast<double>(height)};
}

void MainWindow::set_frame(const app::ports::Frame& frame) {
  gtk_window_move(window_, static_cast<int>(std::lround(frame.x)), static_cast<int>(std::lround(frame.y)));
  gtk_window_resize(window_, static_cast<int>(std::lround(frame.width)), static_cast<int>(std::lround(frame.height)));
}

GdkMonitor* MainWindow::current_monitor() const {
  GdkDisplay* display = gtk_widget_get_display(GTK_WIDGET(window_));
  GdkWindow* surface = gtk_widget_get_window(GTK_WIDGET(window_));
  if (surface != nullptr) {
    return gdk_display_get_monitor_at_window(display, surface);
  }
  GdkMonitor* primary = gdk_display_get_primary_monitor(display);
  return primary != nullptr ? primary : gdk_display_get_monitor(display, 0);
}

double MainWindow::screen_height() const {
  GdkMonitor* monitor = current_monitor();
  if (monitor == nullptr) {
    return 0;
  }
  GdkRectangle area{};
  gdk_monitor_get_geometry(monitor, &area);
  return area.height;
}

}  // namespace vek::platform
