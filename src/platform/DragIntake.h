#pragma once
// Takes in the files of a drag as soon as it enters the web view, then keeps
// the rest of that drag (further motion, the drop) from the page, so one
// drag is taken in once. Drags that carry no files pass on to the page.

#include <gtk/gtk.h>

#include <functional>
#include <string>
#include <vector>

#include "base/glib/GObjectRef.h"

namespace vek::platform {

class DragIntake {
 public:
  using TakeIn = std::function<void(const std::vector<std::string>& paths)>;

  // Connects to `view`'s drag signals ahead of its own handlers. Both must
  // live as long as the view.
  DragIntake(GtkWidget* view, TakeIn take_in);
  DragIntake(const DragIntake&) = delete;
  DragIntake& operator=(const DragIntake&) = delete;

  gboolean motion(GtkWidget* view, GdkDragContext* context, guint time);
  bool received(GdkDragContext* context, GtkSelectionData* data);
  gboolean drop(GdkDragContext* context, guint time);

 private:
  enum class State { Requested, Consumed, PassedOn };

  // The drag last seen; a reference keeps its identity from being reused.
  base::GObjectRef<GdkDragContext> drag_;
  State state_ = State::PassedOn;
  TakeIn take_in_;
};

// The local paths among the URIs of a "text/uri-list"; others are left out.
std::vector<std::string> local_paths(GtkSelectionData* data, bool& had_uris);

}  // namespace vek::platform
