#include "platform/GtkDesktop.h"

#include <cstdio>
#include <cstdlib>

#include "base/glib/GObjectRef.h"

namespace vek::platform {

void GtkDesktop::open_folder(const std::string& path) {
  const base::GObjectRef<GFile> folder = base::GObjectRef<GFile>::adopt(g_file_new_for_path(path.c_str()));
  const base::GCharPtr uri(g_file_get_uri(folder.get()));
  GError* error = nullptr;
  g_app_info_launch_default_for_uri(uri.get(), nullptr, &error);
  const base::GErrorPtr ignored(error);
}

void GtkDesktop::open_uri(const std::string& uri) {
  GError* error = nullptr;
  gtk_show_uri_on_window(parent_, uri.c_str(), GDK_CURRENT_TIME, &error);
  const base::GErrorPtr ignored(error);
}

// Closing the window ends the process at once: a running recording or
// export is abandoned, as nothing of it could be finished in time anyway.
void GtkDesktop::exit_now(int status) {
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(status);
}

}  // namespace vek::platform
