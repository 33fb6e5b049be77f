#pragma once
// Owning handles for GLib references: one unref (or free) per handle.

#include <glib-object.h>

#include <memory>
#include <utility>

namespace vek::platform {

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

struct GFreeDeleter {
  void operator()(void* memory) const { g_free(memory); }
};
// A string GLib allocated and the caller frees.
using GCharPtr = std::unique_ptr<char, GFreeDeleter>;

struct GErrorDeleter {
  void operator()(GError* error) const { g_error_free(error); }
};
using GErrorPtr = std::unique_ptr<GError, GErrorDeleter>;

}  // namespace vek::platform
