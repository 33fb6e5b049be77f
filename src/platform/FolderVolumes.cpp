#include "platform/FolderVolumes.h"

#include <filesystem>
#include <system_error>

#include "base/glib/CallbackGuard.h"

namespace vek::platform {

FolderVolumes::~FolderVolumes() {
  if (monitor_.get() != nullptr) {
    g_signal_handlers_disconnect_by_data(monitor_.get(), this);
  }
}

void FolderVolumes::watch(app::ports::VolumeEvents events) {
  events_ = std::move(events);
  const auto folder = base::GObjectRef<GFile>::adopt(g_file_new_for_path(folder_.c_str()));
  GError* error = nullptr;
  monitor_ = base::GObjectRef<GFileMonitor>::adopt(
      g_file_monitor_directory(folder.get(), G_FILE_MONITOR_NONE, nullptr, &error));
  const base::GErrorPtr failed(error);
  if (monitor_.get() != nullptr) {
    g_signal_connect(monitor_.get(), "changed", G_CALLBACK(on_changed), this);
  }
  std::error_code walk_error;
  for (const auto& entry : std::filesystem::directory_iterator(folder_, walk_error)) {
    if (entry.is_directory(walk_error)) {
      events_.mounted(entry.path().string(), entry.path().filename().string());
    }
  }
}

void FolderVolumes::on_changed(GFileMonitor*, GFile* file, GFile*, GFileMonitorEvent event, gpointer self) {
  base::guarded("test cards changed", [&] {
    const base::GCharPtr path(g_file_get_path(file));
    if (!path) {
      return;
    }
    const std::filesystem::path card(path.get());
    const auto& events = static_cast<FolderVolumes*>(self)->events_;
    std::error_code error;
    if (event == G_FILE_MONITOR_EVENT_CREATED && std::filesystem::is_directory(card, error)) {
      events.mounted(card.string(), card.filename().string());
    } else if (event == G_FILE_MONITOR_EVENT_DELETED) {
      events.unmounted(card.string());
    }
  });
}

}  // namespace vek::platform
