#pragma once
// File manager, browser and process end through GIO and GTK.

#include <gtk/gtk.h>

#include "app/ports/Desktop.h"

namespace vek::platform {

class GtkDesktop : public app::ports::Desktop {
 public:
  explicit GtkDesktop(GtkWindow* parent) : parent_(parent) {}
  void open_folder(const std::string& path) override;
  void open_uri(const std::string& uri) override;
  void exit_now(int status) override;

 private:
  GtkWindow* parent_;
};

}  // namespace vek::platform
