#pragma once
// Owning handles for GStreamer references and mappings: each one unrefs or
// unmaps exactly once and cannot be copied.

#include <gst/gst.h>
#include <gst/video/video.h>

#include <cstddef>
#include <memory>
#include <span>

#include "base/glib/GObjectRef.h"

namespace vek::base {

struct GstObjectUnref {
  void operator()(gpointer object) const noexcept { gst_object_unref(object); }
};
struct GstMiniObjectUnref {
  void operator()(gpointer object) const noexcept { gst_mini_object_unref(GST_MINI_OBJECT_CAST(object)); }
};

using ElementPtr = std::unique_ptr<GstElement, GstObjectUnref>;
using BusPtr = std::unique_ptr<GstBus, GstObjectUnref>;
using PadPtr = std::unique_ptr<GstPad, GstObjectUnref>;
using SamplePtr = std::unique_ptr<GstSample, GstMiniObjectUnref>;
using MessagePtr = std::unique_ptr<GstMessage, GstMiniObjectUnref>;
using CapsPtr = std::unique_ptr<GstCaps, GstMiniObjectUnref>;
using BufferPtr = std::unique_ptr<GstBuffer, GstMiniObjectUnref>;

// Takes a reference that may be floating (a new element, a new bin) and owns it.
template <typename T>
std::unique_ptr<T, GstObjectUnref> adopt_sunk(T* object) {
  if (object != nullptr) {
    gst_object_ref_sink(object);
  }
  return std::unique_ptr<T, GstObjectUnref>(object);
}

// A buffer's memory, mapped for as long as the object lives.
class MappedBuffer {
 public:
  MappedBuffer(GstBuffer* buffer, GstMapFlags flags) : buffer_(buffer) {
    mapped_ = buffer_ != nullptr && gst_buffer_map(buffer_, &map_, flags);
  }
  MappedBuffer(const MappedBuffer&) = delete;
  MappedBuffer& operator=(const MappedBuffer&) = delete;
  ~MappedBuffer() {
    if (mapped_) gst_buffer_unmap(buffer_, &map_);
  }

  explicit operator bool() const noexcept { return mapped_; }
  std::span<const std::byte> bytes() const noexcept {
    return mapped_ ? std::as_bytes(std::span(map_.data, map_.size)) : std::span<const std::byte>();
  }

 private:
  GstBuffer* buffer_;
  GstMapInfo map_{};
  bool mapped_ = false;
};

// A video frame's planes, mapped for as long as the object lives.
class MappedVideoFrame {
 public:
  MappedVideoFrame(const GstVideoInfo& info, GstBuffer* buffer, GstMapFlags flags) {
    mapped_ = buffer != nullptr && gst_video_frame_map(&frame_, &info, buffer, flags);
  }
  MappedVideoFrame(const MappedVideoFrame&) = delete;
  MappedVideoFrame& operator=(const MappedVideoFrame&) = delete;
  ~MappedVideoFrame() {
    if (mapped_) gst_video_frame_unmap(&frame_);
  }

  explicit operator bool() const noexcept { return mapped_; }
  GstVideoFrame& frame() noexcept { return frame_; }
  const GstVideoFrame& frame() const noexcept { return frame_; }

 private:
  GstVideoFrame frame_{};
  bool mapped_ = false;
};

}  // namespace vek::base
