// The one file that speaks to WebKitGTK.

#include "platform/WebKitView.h"

#include <webkit2/webkit2.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/AppDelegate.h"
#include "base/glib/CallbackGuard.h"
#include "base/glib/GObjectRef.h"
#include "platform/SystemLog.h"

namespace vek::platform {
namespace {

struct Route {
  WebKitView* view;
  app::AppDelegate* app;
};

void delete_route(gpointer data, GClosure*) {
  delete static_cast<Route*>(data);
}

GtkWidget* make_view() {
  // Clips play with their sound from the start, as the page intends.
  const base::GObjectRef<WebKitWebsitePolicies> policies = base::GObjectRef<WebKitWebsitePolicies>::adopt(
      webkit_website_policies_new_with_policies("autoplay", WEBKIT_AUTOPLAY_ALLOW, nullptr));
  GtkWidget* view = GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "website-policies", policies.get(), nullptr));
  WebKitSettings* settings = webkit_web_view_get_settings(WEBKIT_WEB_VIEW(view));
  // The page reads the settings file from the library folder.
  webkit_settings_set_allow_file_access_from_file_urls(settings, TRUE);
  webkit_settings_set_media_playback_requires_user_gesture(settings, FALSE);
  // The page's console lines join the application's diagnostics (WebKit
  // writes them to standard error).
  webkit_settings_set_enable_write_console_messages_to_stdout(settings, TRUE);
  return view;
}

// How much of a refused script the log shows: enough to tell which call it was.
constexpr std::size_t kLoggedScriptStart = 80;

// A script the page refuses (a syntax error, a missing function) is logged
// with WebKit's reason, never dropped without a word.
void on_script_finished(GObject* view, GAsyncResult* result, gpointer data) {
  const std::unique_ptr<std::string> script_start(static_cast<std::string*>(data));
  base::guarded("script evaluation", [&] {
    GError* raw_error = nullptr;
    const auto value = base::GObjectRef<JSCValue>::adopt(
        webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, &raw_error));
    const base::GErrorPtr error(raw_error);
    if (error != nullptr) {
      log_fault("page script failed", std::string(error->message) + ": " + *script_start);
    }
  });
}

void decide(WebKitPolicyDecision* decision, bridge::Navigation navigation) {
  if (navigation == bridge::Navigation::Allow) {
    webkit_policy_decision_use(decision);
  } else {
    webkit_policy_decision_ignore(decision);
  }
}

gboolean on_decide_policy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                          gpointer data) {
  if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION && type != WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) {
    return FALSE;
  }
  const base::GObjectRef<WebKitPolicyDecision> keep = base::GObjectRef<WebKitPolicyDecision>::share(decision);
  const bool finished = base::guarded("decide-policy", [&] {
    WebKitNavigationAction* action =
        webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
    static_cast<Route*>(data)->app->decidePolicyForNavigation(
        uri != nullptr ? uri : "", [&](bridge::Navigation navigation) { decide(decision, navigation); });
  });
  if (!finished) {
    webkit_policy_decision_ignore(decision);
  }
  return TRUE;
}

gboolean on_load_failed(WebKitWebView*, WebKitLoadEvent, gchar*, GError*, gpointer data) {
  base::guarded("load-failed", [data] { static_cast<Route*>(data)->view->note_failed_load(); });
  return FALSE;
}

void on_load_changed(WebKitWebView*, WebKitLoadEvent event, gpointer data) {
  base::guarded("load-changed", [event, data] {
    auto* route = static_cast<Route*>(data);
    if (event == WEBKIT_LOAD_STARTED) {
      route->view->take_failed_load();
    } else if (event == WEBKIT_LOAD_FINISHED && !route->view->take_failed_load()) {
      route->app->webViewDidFinishLoad(true);
    }
  });
}

const char* termination_text(WebKitWebProcessTerminationReason reason) {
  switch (reason) {
    case WEBKIT_WEB_PROCESS_CRASHED:
      return "crashed";
    case WEBKIT_WEB_PROCESS_EXCEEDED_MEMORY_LIMIT:
      return "exceeded its memory limit";
    case WEBKIT_WEB_PROCESS_TERMINATED_BY_API:
      return "was ended";
  }
  return "ended";
}

void on_web_process_terminated(WebKitWebView*, WebKitWebProcessTerminationReason reason, gpointer data) {
  base::guarded("web-process-terminated",
                [reason, data] { static_cast<Route*>(data)->app->webProcessDidTerminate(termination_text(reason)); });
}

std::string missing_page_html(const std::string& page_path) {
  base::GCharPtr escaped(g_markup_escape_text(page_path.c_str(), -1));
  return "<html><body style='font-family:sans-serif;padding:2em'><h1>VEK cannot show its page</h1><p>The file " +
         std::string(escaped.get()) + " is missing. Reinstall VEK.</p></body></html>";
}

}  // namespace

WebKitView::WebKitView(app::ports::Log& log) : log_(log), view_(make_view()) {}

void WebKitView::connect(app::AppDelegate& app) {
  g_signal_connect_data(view_, "decide-policy", G_CALLBACK(on_decide_policy), new Route{this, &app}, delete_route,
                        GConnectFlags{});
  g_signal_connect_data(view_, "load-changed", G_CALLBACK(on_load_changed), new Route{this, &app}, delete_route,
                        GConnectFlags{});
  g_signal_connect_data(view_, "load-failed", G_CALLBACK(on_load_failed), new Route{this, &app}, delete_route,
                        GConnectFlags{});
  g_signal_connect_data(view_, "web-process-terminated", G_CALLBACK(on_web_process_terminated), new Route{this, &app},
                        delete_route, GConnectFlags{});
}

void WebKitView::load_page(const std::string& page_path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(page_path, error)) {
    log_.line("page not found: " + page_path);
    webkit_web_view_load_html(WEBKIT_WEB_VIEW(view_), missing_page_html(page_path).c_str(), nullptr);
    return;
  }
  const base::GCharPtr uri(g_filename_to_uri(page_path.c_str(), nullptr, nullptr));
  webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view_), uri.get());
}

void WebKitView::evaluate(const std::string& script) {
  if (base::CallbackTrace* trace = base::callback_trace()) {
    trace->script_sent(script.size());
  }
  webkit_web_view_evaluate_javascript(WEBKIT_WEB_VIEW(view_), script.c_str(), static_cast<gssize>(script.size()),
                                      nullptr, nullptr, nullptr, on_script_finished,
                                      new std::string(script.substr(0, kLoggedScriptStart)));
}

app::ports::ViewSize WebKitView::size() const {
  return {static_cast<double>(gtk_widget_get_allocated_width(view_)),
          static_cast<double>(gtk_widget_get_allocated_height(view_))};
}

// The view's own origin through its toplevel's, so that window decorations,
// other widgets and monitor placement all count; scaled to device pixels,
// which is what a screen capture reads.
std::optional<app::ports::ScreenArea> WebKitView::screen_area() const {
  GtkWidget* toplevel = gtk_widget_get_toplevel(view_);
  GdkWindow* surface = gtk_widget_get_window(toplevel);
  int x = 0;
  int y = 0;
  if (surface == nullptr || !gtk_widget_get_mapped(view_) ||
      !gtk_widget_translate_coordinates(view_, toplevel, 0, 0, &x, &y)) {
    return std::nullopt;
  }
  int origin_x = 0;
  int origin_y = 0;
  gdk_window_get_origin(surface, &origin_x, &origin_y);
  const int scale = gtk_widget_get_scale_factor(view_);
  return app::ports::ScreenArea{(origin_x + x) * scale, (origin_y + y) * scale,
                                gtk_widget_get_allocated_width(view_) * scale,
                                gtk_widget_get_allocated_height(view_) * scale};
}

}  // namespace vek::platform
