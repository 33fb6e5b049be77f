#include "platform/DragIntake.h"

#include <span>

#include "base/glib/CallbackGuard.h"

namespace vek::platform {
namespace {

constexpr const char* kUriList = "text/uri-list";

bool offers_uri_list(GdkDragContext* context) {
  const GdkAtom uri_list = gdk_atom_intern_static_string(kUriList);
  for (GList* target = gdk_drag_context_list_targets(context); target != nullptr; target = target->next) {
    if (GDK_POINTER_TO_ATOM(target->data) == uri_list) {
      return true;
    }
  }
  return false;
}

gboolean on_motion(GtkWidget* view, GdkDragContext* context, gint, gint, guint time, gpointer self) {
  return base::guarded<gboolean>("drag-motion", FALSE,
                                 [&] { return static_cast<DragIntake*>(self)->motion(view, context, time); });
}

void on_received(GtkWidget* view, GdkDragContext* context, gint, gint, GtkSelectionData* data, guint, guint,
                 gpointer self) {
  const bool handled = base::guarded<bool>("drag-data-received", true,
                                           [&] { return static_cast<DragIntake*>(self)->received(context, data); });
  if (handled) {
    g_signal_stop_emission_by_name(view, "drag-data-received");
  }
}

gboolean on_drop(GtkWidget*, GdkDragContext* context, gint, gint, guint time, gpointer self) {
  return base::guarded<gboolean>("drag-drop", FALSE,
                                 [&] { return static_cast<DragIntake*>(self)->drop(context, time); });
}

}  // namespace

std::vector<std::string> local_paths(GtkSelectionData* data, bool& had_uris) {
  std::vector<std::string> paths;
  const base::GStrvPtr uris(gtk_selection_data_get_uris(data));
  const std::span<char*> list(uris.get(), uris != nullptr ? g_strv_length(uris.get()) : 0U);
  had_uris = !list.empty();
  for (const char* uri : list) {
    const base::GCharPtr path(g_filename_from_uri(uri, nullptr, nullptr));
    if (path) {
      paths.emplace_back(path.get());
    }
  }
  return paths;
}

DragIntake::DragIntake(GtkWidget* view, TakeIn take_in) : take_in_(std::move(take_in)) {
  g_signal_connect(view, "drag-motion", G_CALLBACK(on_motion), this);
  g_signal_connect(view, "drag-data-received", G_CALLBACK(on_received), this);
  g_signal_connect(view, "drag-drop", G_CALLBACK(on_drop), this);
}

gboolean DragIntake::motion(GtkWidget* view, GdkDragContext* context, guint time) {
  if (context != drag_.get()) {
    drag_ = base::GObjectRef<GdkDragContext>::share(context);
    state_ = offers_uri_list(context) ? State::Requested : State::PassedOn;
    if (state_ == State::Requested) {
      gtk_drag_get_data(view, context, gdk_atom_intern_static_string(kUriList), time);
    }
  }
  if (state_ == State::PassedOn) {
    return FALSE;
  }
  gdk_drag_status(context, GDK_ACTION_COPY, time);
  return TRUE;
}

// True when the data was ours to take; the page then never sees it.
bool DragIntake::received(GdkDragContext* context, GtkSelectionData* data) {
  if (context != drag_.get() || state_ != State::Requested) {
    return false;
  }
  bool had_uris = false;
  const std::vector<std::string> paths = local_paths(data, had_uris);
  if (had_uris && paths.empty()) {
    state_ = State::PassedOn;
    return false;
  }
  state_ = State::Consumed;
  take_in_(paths);
  return true;
}

gboolean DragIntake::drop(GdkDragContext* context, guint time) {
  if (context != drag_.get() || state_ == State::PassedOn) {
    return FALSE;
  }
  gtk_drag_finish(context, FALSE, FALSE, time);
  return TRUE;
}

}  // namespace vek::platform
