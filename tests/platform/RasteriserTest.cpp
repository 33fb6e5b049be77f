#include "platform/Rasteriser.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/ScratchFolder.h"

namespace vek::platform {
namespace {

constexpr const char* kCpuRendering = "WEBKIT_SKIA_ENABLE_CPU_RENDERING";

// Each case starts with the variable unset and leaves it so.
class Rasteriser : public ::testing::Test {
 protected:
  void SetUp() override { ::unsetenv(kCpuRendering); }
  void TearDown() override { ::unsetenv(kCpuRendering); }

  static std::string rendering() {
    const char* value = std::getenv(kCpuRendering);
    return value == nullptr ? "(unset)" : value;
  }

  test::ScratchFolder dri_{"vek-dri"};
};

TEST_F(Rasteriser, OnlyARenderNodeCountsAsAGpu) {
  EXPECT_FALSE(has_render_node(dri_ / "missing")) << "no /dev/dri at all, as in a container";
  dri_.write("card0", "");
  dri_.write("by-path", "");
  EXPECT_FALSE(has_render_node(dri_.path())) << "a display controller alone renders nothing";
  dri_.write("renderD128", "");
  EXPECT_TRUE(has_render_node(dri_.path()));
}

TEST_F(Rasteriser, WithoutAGpuThePageIsRasterisedOnTheCpu) {
  rasterise_on_cpu_without_gpu(dri_ / "missing");
  EXPECT_EQ(rendering(), "1");
}

TEST_F(Rasteriser, WithAGpuWebKitKeepsItsOwnChoice) {
  dri_.write("renderD128", "");
  rasterise_on_cpu_without_gpu(dri_.path());
  EXPECT_EQ(rendering(), "(unset)");
}

TEST_F(Rasteriser, TheUsersChoiceStands) {
  ::setenv(kCpuRendering, "0", 1);
  rasterise_on_cpu_without_gpu(dri_ / "missing");
  EXPECT_EQ(rendering(), "0");
}

}  // namespace
}  // namespace vek::platform
