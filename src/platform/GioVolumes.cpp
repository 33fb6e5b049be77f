#include "platform/GioVolumes.h"

#include <memory>
#include <optional>
#include <string>

#include "base/glib/CallbackGuard.h"

namespace vek::platform {
namespace {

// Card readers and USB sticks; a fixed disk's partitions and network shares
// are never offered. A shadowed mount is shown by another one.
bool is_removable(GMount* mount) {
  if (g_mount_is_shadowed(mount)) {
    return false;
  }
  const auto drive = base::GObjectRef<GDrive>::adopt(g_mount_get_drive(mount));
  if (drive.get() != nullptr && (g_drive_is_removable(drive.get()) || g_drive_is_media_removable(drive.get()))) {
    return true;
  }
  return g_mount_can_eject(mount);
}

// Only mounts with a local folder can be read as clips (an MTP phone cannot).
std::optional<std::string> local_root(GMount* mount) {
  const auto root = base::GObjectRef<GFile>::adopt(g_mount_get_root(mount));
  const base::GCharPtr path(g_file_get_path(root.get()));
  if (!path) {
    return std::nullopt;
  }
  return std::string(path.get());
}

std::string mount_name(GMount* mount) {
  const base::GCharPtr name(g_mount_get_name(mount));
  return name ? std::string(name.get()) : std::string();
}

void tell_mounted(const app::ports::VolumeEvents& events, GMount* mount) {
  if (!is_removable(mount)) {
    return;
  }
  if (const std::optional<std::string> root = local_root(mount)) {
    events.mounted(*root, mount_name(mount));
  }
}

}  // namespace

GioVolumes::~GioVolumes() {
  if (monitor_.get() != nullptr) {
    g_signal_handlers_disconnect_by_data(monitor_.get(), this);
  }
}

void GioVolumes::watch(app::ports::VolumeEvents events) {
  events_ = std::move(events);
  monitor_ = base::GObjectRef<GVolumeMonitor>::adopt(g_volume_monitor_get());
  g_signal_connect(monitor_.get(), "mount-added", G_CALLBACK(on_mount_added), this);
  g_signal_connect(monitor_.get(), "mount-removed", G_CALLBACK(on_mount_removed), this);
  const std::unique_ptr<GList, base::GObjectListDeleter> mounts(g_volume_monitor_get_mounts(monitor_.get()));
  for (GList* item = mounts.get(); item != nullptr; item = item->next) {
    tell_mounted(events_, G_MOUNT(item->data));
  }
}

void GioVolumes::on_mount_added(GVolumeMonitor*, GMount* mount, gpointer self) {
  base::guarded("mount-added", [&] { tell_mounted(static_cast<GioVolumes*>(self)->events_, mount); });
}

// The mount is going: its root still answers, its drive may not.
void GioVolumes::on_mount_removed(GVolumeMonitor*, GMount* mount, gpointer self) {
  base::guarded("mount-removed", [&] {
    if (const std::optional<std::string> root = local_root(mount)) {
      static_cast<GioVolumes*>(self)->events_.unmounted(*root);
    }
  });
}

}  // namespace vek::platform
