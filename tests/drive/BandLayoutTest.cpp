#include "drive/BandLayout.h"

#include <gtest/gtest.h>

namespace vek::drive {
namespace {

OverlayElements all_but(Element off) {
  OverlayElements shown;
  shown.clock = off != Element::Clock;
  shown.speed = off != Element::Speed;
  shown.position = off != Element::Position;
  shown.gforce = off != Element::GForce;
  shown.route = off != Element::Route;
  return shown;
}

TEST(BandLayout, A1080pBandSitsAtTheBottomWithEveryElementInside) {
  const BandLayout layout = band_layout(1920, 1080, OverlayElements{});
  EXPECT_DOUBLE_EQ(layout.band.y + layout.band.height, 1080);
  EXPECT_LT(layout.band.height, 1080 * 0.12) << "the band leaves the road clear";
  EXPECT_GE(layout.font_size, 28) << "legible on a 1080p screen";
  ASSERT_EQ(layout.elements.size(), 5U);
  double right = 0;
  for (const PlacedElement& placed : layout.elements) {
    EXPECT_GE(placed.box.x, right) << "elements do not overlap";
    EXPECT_GE(placed.box.y, 0);
    EXPECT_LE(placed.box.y + placed.box.height, layout.band.height);
    right = placed.box.x + placed.box.width;
  }
  EXPECT_LE(right, 1920);
}

TEST(BandLayout, ScalesWithTheFrame) {
  const BandLayout full = band_layout(1920, 1080, OverlayElements{});
  const BandLayout small = band_layout(1280, 720, OverlayElements{});
  EXPECT_NEAR(small.band.height, full.band.height * 2 / 3, 1e-9);
  EXPECT_NEAR(small.font_size, full.font_size * 2 / 3, 1e-9);
  EXPECT_NEAR(small.elements[3].box.x, full.elements[3].box.x * 2 / 3, 1e-9);
  const BandLayout wide = band_layout(1280, 1080, OverlayElements{});
  EXPECT_LE(wide.elements.back().box.x + wide.elements.back().box.width, 1280) << "a narrow frame scales by width";
}

TEST(BandLayout, AnElementSwitchedOffLeavesNoGap) {
  const BandLayout full = band_layout(1920, 1080, OverlayElements{});
  for (int off = 0; off < 5; ++off) {
    const BandLayout layout = band_layout(1920, 1080, all_but(static_cast<Element>(off)));
    ASSERT_EQ(layout.elements.size(), 4U);
    for (const PlacedElement& placed : layout.elements) {
      EXPECT_NE(placed.element, static_cast<Element>(off));
    }
    EXPECT_DOUBLE_EQ(layout.elements[0].box.x, full.elements[0].box.x);
  }
  EXPECT_TRUE(band_layout(1920, 1080, OverlayElements{false, false, false, false, false}).elements.empty());
  EXPECT_TRUE(band_layout(0, 1080, OverlayElements{}).elements.empty());
}

}  // namespace
}  // namespace vek::drive
