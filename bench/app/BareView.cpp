// The start-up baseline: the least a WebKitGTK window needs to show the page,
// with the app's window size and file access. Writes "bare: finish" to stderr
// when the main frame has loaded, then quits.
// Usage: vek-bare-view PAGE.html

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <cstdio>
#include <string_view>

namespace {

constexpr int kWidth = 960;
constexpr int kHeight = 600;

// The page talks to its host by navigating to pseudo-URLs; with no host here,
// following one would replace the page with an error page.
gboolean on_decide_policy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type, gpointer) {
  if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) {
    return FALSE;
  }
  WebKitNavigationAction* action =
      webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
  const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
  if (uri != nullptr && std::string_view(uri).starts_with("file:")) {
    webkit_policy_decision_use(decision);
  } else {
    webkit_policy_decision_ignore(decision);
  }
  return TRUE;
}

void on_load_changed(WebKitWebView*, WebKitLoadEvent event, gpointer) {
  if (event == WEBKIT_LOAD_FINISHED) {
    std::fputs("bare: finish\n", stderr);
    gtk_main_quit();
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (gtk_init_check(&argc, &argv) == FALSE || argc != 2) {
    std::fputs("usage: vek-bare-view PAGE.html (needs a display)\n", stderr);
    return 2;
  }
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(window), kWidth, kHeight);
  GtkWidget* view = webkit_web_view_new();
  webkit_settings_set_allow_file_access_from_file_urls(webkit_web_view_get_settings(WEBKIT_WEB_VIEW(view)), TRUE);
  g_signal_connect(view, "decide-policy", G_CALLBACK(on_decide_policy), nullptr);
  g_signal_connect(view, "load-changed", G_CALLBACK(on_load_changed), nullptr);
  gtk_container_add(GTK_CONTAINER(window), view);
  gtk_widget_show_all(window);
  gchar* uri = g_filename_to_uri(argv[1], nullptr, nullptr);
  if (uri == nullptr) {
    std::fputs("vek-bare-view: the page path is not absolute\n", stderr);
    return 2;
  }
  webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), uri);
  g_free(uri);
  gtk_main();
  return 0;
}
