#pragma once
// The modal clip chooser.

#include <gtk/gtk.h>

#include "app/ports/Dialogs.h"

namespace vek::platform {

class GtkDialogs : public app::ports::Dialogs {
 public:
  explicit GtkDialogs(GtkWindow* parent) : parent_(parent) {}
  std::optional<std::vector<std::string>> choose_clips() override;

 private:
  GtkWindow* parent_;
};

}  // namespace vek::platform
