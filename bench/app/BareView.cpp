// The start-up baseline: the least a WebKitGTK window needs to show the page,
// with the app's window size and file access. Writes "bare: finish" to stderr
// when the main frame has loaded, then quits. With --stay it keeps the page
// open, lets it autoplay and writes its console to stdout, as the app does:
// the playback baseline.
// Usage: vek-bare-view [--stay] PAGE.html

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

bool g_stay = false;

void on_load_changed(WebKitWebView*, WebKitLoadEvent event, gpointer) {
  if (event == WEBKIT_LOAD_FINISHED) {
    std::fputs("bare: finish\n", stderr);
    if (!g_stay) gtk_main_quit();
  }
}

GtkWidget* new_view() {
  if (!g_stay) return webkit_web_view_new();
  WebKitWebsitePolicies* policies =
      webkit_website_policies_new_with_policies("autoplay", WEBKIT_AUTOPLAY_ALLOW, nullptr);
  GtkWidget* view = GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "website-policies", policies, nullptr));
  g_object_unref(policies);
  webkit_settings_set_enable_write_console_messages_to_stdout(webkit_web_view_get_settings(WEBKIT_WEB_VIEW(view)),
                                                              TRUE);
  return view;
}

}  // namespace

int main(int argc, char** argv) {
  g_stay = argc == 3 && std::string_view(argv[1]) == "--stay";
  if (gtk_init_check(&argc, &argv) == FALSE || argc != (g_stay ? 3 : 2)) {
    std::fputs("usage: vek-bare-view [--stay] PAGE.html (needs a display)\n", stderr);
    return 2;
  }
  const char* page = argv[argc - 1];
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(window), kWidth, kHeight);
  GtkWidget* view = new_view();
  webkit_settings_set_allow_file_access_from_file_urls(webkit_web_view_get_settings(WEBKIT_WEB_VIEW(view)), TRUE);
  g_signal_connect(view, "decide-policy", G_CALLBACK(on_decide_policy), nullptr);
  g_signal_connect(view, "load-changed", G_CALLBACK(on_load_changed), nullptr);
  gtk_container_add(GTK_CONTAINER(window), view);
  gtk_widget_show_all(window);
  gchar* uri = g_filename_to_uri(page, nullptr, nullptr);
  if (uri == nullptr) {
    std::fputs("vek-bare-view: the page path is not absolute\n", stderr);
    return 2;
  }
  webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), uri);
  g_free(uri);
  gtk_main();
  return 0;
}
