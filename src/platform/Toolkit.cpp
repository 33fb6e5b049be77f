#include "platform/Toolkit.h"

#include <ges/ges.h>
#include <gst/gst.h>
#include <gtk/gtk.h>

#include "platform/Rasteriser.h"

namespace vek::platform {

bool init_toolkits(int& argc, char**& argv) {
  if (gtk_init_check(&argc, &argv) == FALSE) {
    return false;
  }
  rasterise_on_cpu_without_gpu();
  gst_init(&argc, &argv);
  ges_init();
  return true;
}

}  // namespace vek::platform
