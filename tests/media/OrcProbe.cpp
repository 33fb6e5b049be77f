// Converts a few test frames through ORC-generated code, with the app's
// start-up guard when given "guarded": exits 0 when it got through.

#include <gst/gst.h>

#include <string_view>

#include "media/core/CodeMemory.h"

int main(int argc, char** argv) {
  if (argc > 1 && std::string_view(argv[1]) == "guarded") {
    vek::media::keep_code_generation_off_full_disks();
  }
  gst_init(&argc, &argv);
  GError* error = nullptr;
  GstElement* pipeline = gst_parse_launch(
      "videotestsrc num-buffers=3 ! video/x-raw,format=I420,width=320,height=240 ! videoconvert ! "
      "video/x-raw,format=BGRx ! fakesink",
      &error);
  if (pipeline == nullptr) {
    g_clear_error(&error);
    return 2;
  }
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  GstBus* bus = gst_element_get_bus(pipeline);
  GstMessage* message = gst_bus_timed_pop_filtered(bus, 30 * GST_SECOND,
                                                   static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
  const bool finished = message != nullptr && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
  if (message != nullptr) {
    gst_message_unref(message);
  }
  gst_object_unref(bus);
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(pipeline);
  return finished ? 0 : 3;
}
