#include "base/glib/GstHandles.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vek::base {
namespace {

class GstHandles : public ::testing::Test {
 protected:
  // The handles need GStreamer's core only. Without the plugin registry no
  // plugin scan runs, which on a cold or outdated registry cache takes tens
  // of seconds on a loaded machine and races other test processes doing the
  // same.
  static void SetUpTestSuite() {
    g_setenv("GST_REGISTRY_DISABLE", "yes", TRUE);
    gst_init(nullptr, nullptr);
  }
};

TEST_F(GstHandles, AMappedBufferShowsItsBytesAndUnmapsOnce) {
  const BufferPtr buffer(gst_buffer_new_allocate(nullptr, 4, nullptr));
  gst_buffer_memset(buffer.get(), 0, 0xAB, 4);
  {
    const MappedBuffer map(buffer.get(), GST_MAP_READ);
    ASSERT_TRUE(map);
    ASSERT_EQ(map.bytes().size(), 4U);
    EXPECT_TRUE(std::all_of(map.bytes().begin(), map.bytes().end(), [](std::byte b) { return b == std::byte{0xAB}; }));
  }
  // Unmapped again: a write map succeeds only on an unmapped, writable buffer.
  const MappedBuffer writable(buffer.get(), GST_MAP_WRITE);
  EXPECT_TRUE(writable);
}

TEST_F(GstHandles, NothingToMapGivesAnEmptyView) {
  const MappedBuffer map(nullptr, GST_MAP_READ);
  EXPECT_FALSE(map);
  EXPECT_TRUE(map.bytes().empty());
}

TEST_F(GstHandles, AVideoFrameIsMappedWithItsPlanes) {
  GstVideoInfo info;
  gst_video_info_set_format(&info, GST_VIDEO_FORMAT_RGB, 3, 2);
  const BufferPtr buffer(gst_buffer_new_allocate(nullptr, info.size, nullptr));
  const MappedVideoFrame frame(info, buffer.get(), GST_MAP_READ);
  ASSERT_TRUE(frame);
  EXPECT_EQ(GST_VIDEO_FRAME_WIDTH(&frame.frame()), 3);
  EXPECT_GE(GST_VIDEO_FRAME_PLANE_STRIDE(&frame.frame(), 0), 9);
  GstVideoInfo too_large;
  gst_video_info_set_format(&too_large, GST_VIDEO_FORMAT_RGB, 300, 200);
  EXPECT_FALSE(MappedVideoFrame(too_large, buffer.get(), GST_MAP_READ)) << "a buffer smaller than the frame";
}

TEST_F(GstHandles, FloatingElementsAreSunkAndOwned) {
  const ElementPtr element = adopt_sunk(gst_bin_new(nullptr));
  ASSERT_NE(element, nullptr);
  EXPECT_FALSE(g_object_is_floating(element.get()));
  EXPECT_EQ(GST_OBJECT_REFCOUNT_VALUE(element.get()), 1);
}

}  // namespace
}  // namespace vek::base
