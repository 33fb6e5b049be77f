#pragma once
// Removable media simulated by a folder, for tests of the whole application
// where no disk can be mounted: every folder inside it is a mounted card
// named after it; removing the folder unmounts it. Chosen by the environment
// variable VEK_TEST_CARDS (the watched folder); never used otherwise.

#include <gio/gio.h>

#include <string>

#include "app/ports/Volumes.h"
#include "base/glib/GObjectRef.h"

namespace vek::platform {

class FolderVolumes : public app::ports::Volumes {
 public:
  explicit FolderVolumes(std::string folder) : folder_(std::move(folder)) {}
  FolderVolumes(const FolderVolumes&) = delete;
  FolderVolumes& operator=(const FolderVolumes&) = delete;
  ~FolderVolumes() override;

  void watch(app::ports::VolumeEvents events) override;

 private:
  static void on_changed(GFileMonitor* monitor, GFile* file, GFile* other, GFileMonitorEvent event, gpointer self);

  std::string folder_;
  app::ports::VolumeEvents events_;
  base::GObjectRef<GFileMonitor> monitor_;
};

}  // namespace vek::platform
