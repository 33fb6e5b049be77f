#pragma once
// Owning handles for GLib and GStreamer references: each one unrefs exactly
// once and cannot be copied.

#include <gst/gst.h>

#include <memory>

namespace vek::media {

struct GstObjectUnref {
  void operator()(gpointer object) const noexcept { gst_object_unref(object); }
};
struct GObjectUnref {
  void operator()(gpointer object) const noexcept { g_object_unref(object); }
};
struct GstMiniObjectUnref {
  void operator()(gpointer object) const noexcept { gst_mini_object_unref(GST_MINI_OBJECT_CAST(object)); }
};
struct GErrorFree {
  void operator()(GError* error) const noexcept { g_error_free(error); }
};
struct GFree {
  void operator()(gpointer memory) const noexcept { g_free(memory); }
};
struct GMainContextUnref {
  void operator()(GMainContext* context) const noexcept { g_main_context_unref(context); }
};
struct GMainLoopUnref {
  void operator()(GMainLoop* loop) const noexcept { g_main_loop_unref(loop); }
};
struct GSourceDestroy {
  void operator()(GSource* source) const noexcept {
    g_source_destroy(source);
    g_source_unref(source);
  }
};

using ElementPtr = std::unique_ptr<GstElement, GstObjectUnref>;
using BusPtr = std::unique_ptr<GstBus, GstObjectUnref>;
using PadPtr = std::unique_ptr<GstPad, GstObjectUnref>;
using SamplePtr = std::unique_ptr<GstSample, GstMiniObjectUnref>;
using MessagePtr = std::unique_ptr<GstMessage, GstMiniObjectUnref>;
using CapsPtr = std::unique_ptr<GstCaps, GstMiniObjectUnref>;
using ErrorPtr = std::unique_ptr<GError, GErrorFree>;
using CharPtr = std::unique_ptr<gchar, GFree>;
using ContextPtr = std::unique_ptr<GMainContext, GMainContextUnref>;
using LoopPtr = std::unique_ptr<GMainLoop, GMainLoopUnref>;
using SourcePtr = std::unique_ptr<GSource, GSourceDestroy>;

// Takes a reference that may be floating (a new element, a new bin) and owns it.
template <typename T>
std::unique_ptr<T, GstObjectUnref> adopt_sunk(T* object) {
  if (object != nullptr) {
    gst_object_ref_sink(object);
  }
  return std::unique_ptr<T, GstObjectUnref>(object);
}

}  // namespace vek::media
