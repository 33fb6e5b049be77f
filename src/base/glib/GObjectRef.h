#pragma once
// Owning handles for GLib: each one unrefs (or frees) exactly once and cannot
// be copied, so no manual free or unref pair remains in the code.

#include <glib-object.h>

#include <memory>
#include <utility>

namespace vek::base {

// Holds one reference to a GObject.
template <typename T>
class GObjectRef {
 public:
  GObjectRef() = default;
  // Takes over a reference the caller already owns.
  static GObjectRef adopt(T* object) { return GObjectRef(object); }
  // Adds a reference of its own.
  static GObjectRef share(T* object) {
    if (object != nullptr) {
      g_object_ref(object);
    }
    return GObjectRef(object);
  }
  GObjectRef(const GObjectRef&) = delete;
  GObjectRef& operator=(const GObjectRef&) = delete;
  GObjectRef(GObjectRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  GObjectRef& operator=(GObjectRef&& other) noexcept {
    if (this != &other) {
      reset();
      object_ = std::exchange(other.object_, nullptr);
    }
    return *this;
  }
  ~GObjectRef() { reset(); }

  T* get() const { return object_; }
  void reset() {
    if (object_ != nullptr) {
      g_object_unref(std::exchange(object_, nullptr));
    }
  }

 private:
  explicit GObjectRef(T* object) : object_(object) {}
  T* object_ = nullptr;
};

struct GObjectUnref {
  void operator()(gpointer object) const noexcept { g_object_unref(object); }
};
struct GFreeDeleter {
  void operator()(void* memory) const noexcept { g_free(memory); }
};
struct GErrorDeleter {
  void operator()(GError* error) const noexcept { g_error_free(error); }
};
struct GStrvDeleter {
  void operator()(gchar** strings) const noexcept { g_strfreev(strings); }
};
struct GStringSListDeleter {
  void operator()(GSList* list) const noexcept { g_slist_free_full(list, g_free); }
};
struct GStringListDeleter {
  void operator()(GList* list) const noexcept { g_list_free_full(list, g_free); }
};
// Lists of GObject references, as GIO's monitors return them.
struct GObjectListDeleter {
  void operator()(GList* list) const noexcept { g_list_free_full(list, g_object_unref); }
};
struct GMainContextDeleter {
  void operator()(GMainContext* context) const noexcept { g_main_context_unref(context); }
};
struct GMainLoopDeleter {
  void operator()(GMainLoop* loop) const noexcept { g_main_loop_unref(loop); }
};
struct GSourceDeleter {
  void operator()(GSource* source) const noexcept {
    g_source_destroy(source);
    g_source_unref(source);
  }
};

// A string GLib allocated and the caller frees.
using GCharPtr = std::unique_ptr<char, GFreeDeleter>;
using GErrorPtr = std::unique_ptr<GError, GErrorDeleter>;
// A NULL-terminated string vector (g_strfreev).
using GStrvPtr = std::unique_ptr<gchar*, GStrvDeleter>;
// Lists of g_free'd strings, as file choosers and URI parsers return them.
using GStringSListPtr = std::unique_ptr<GSList, GStringSListDeleter>;
using GStringListPtr = std::unique_ptr<GList, GStringListDeleter>;
using GMainContextPtr = std::unique_ptr<GMainContext, GMainContextDeleter>;
using GMainLoopPtr = std::unique_ptr<GMainLoop, GMainLoopDeleter>;
using GSourcePtr = std::unique_ptr<GSource, GSourceDeleter>;

}  // namespace vek::base
