// Test helper: a window at a fixed place that offers the files named on its
// command line as a "text/uri-list" drag, the way a file manager does.
// Writes "ready" to stderr once the window is on screen and "ended" once the
// target has finished the drop (or refused it).

#include <gtk/gtk.h>

#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace {

constexpr int kLeft = 1300;
constexpr int kTop = 100;
constexpr int kSize = 300;

std::vector<std::string> g_uris;

void on_drag_data_get(GtkWidget*, GdkDragContext*, GtkSelectionData* data, guint, guint, gpointer) {
  std::vector<gchar*> list;
  for (std::string& uri : g_uris) {
    list.push_back(uri.data());
  }
  list.push_back(nullptr);
  gtk_selection_data_set_uris(data, list.data());
}

gboolean on_map(GtkWidget*, GdkEvent*, gpointer) {
  std::fputs("ready\n", stderr);
  return FALSE;
}

void on_drag_end(GtkWidget*, GdkDragContext*, gpointer) {
  std::fputs("ended\n", stderr);
}

}  // namespace

int main(int argc, char** argv) {
  gtk_init(&argc, &argv);
  for (const char* path : std::span<char*>(argv, static_cast<std::size_t>(argc)).subspan(1)) {
    gchar* uri = g_filename_to_uri(path, nullptr, nullptr);
    g_uris.emplace_back(uri);
    g_free(uri);
  }
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), "drag source");
  gtk_window_move(GTK_WINDOW(window), kLeft, kTop);
  gtk_window_set_default_size(GTK_WINDOW(window), kSize, kSize);
  GtkWidget* box = gtk_event_box_new();
  gtk_container_add(GTK_CONTAINER(box), gtk_label_new("drag me"));
  gtk_drag_source_set(box, GDK_BUTTON1_MASK, nullptr, 0, GDK_ACTION_COPY);
  gtk_drag_source_add_uri_targets(box);
  g_signal_connect(box, "drag-data-get", G_CALLBACK(on_drag_data_get), nullptr);
  g_signal_connect(box, "drag-end", G_CALLBACK(on_drag_end), nullptr);
  g_signal_connect(window, "map-event", G_CALLBACK(on_map), nullptr);
  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
  gtk_container_add(GTK_CONTAINER(window), box);
  gtk_widget_show_all(window);
  gtk_main();
  return 0;
}
