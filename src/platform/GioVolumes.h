#pragma once
// Removable media through GIO's volume monitor (udisks on a desktop).

#include <gio/gio.h>

#include "app/ports/Volumes.h"
#include "base/glib/GObjectRef.h"

namespace vek::platform {

class GioVolumes : public app::ports::Volumes {
 public:
  GioVolumes() = default;
  GioVolumes(const GioVolumes&) = delete;
  GioVolumes& operator=(const GioVolumes&) = delete;
  ~GioVolumes() override;

  void watch(app::ports::VolumeEvents events) override;

 private:
  static void on_mount_added(GVolumeMonitor* monitor, GMount* mount, gpointer self);
  static void on_mount_removed(GVolumeMonitor* monitor, GMount* mount, gpointer self);

  app::ports::VolumeEvents events_;
  base::GObjectRef<GVolumeMonitor> monitor_;
};

}  // namespace vek::platform
