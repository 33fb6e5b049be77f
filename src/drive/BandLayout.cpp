#include "drive/BandLayout.h"

#include <algorithm>
#include <array>

namespace vek::drive {
namespace {

// Sizes at 1920x1080, in pixels: a band of about a tenth of the picture keeps
// the road clear and the figures legible at arm's length.
constexpr double kReferenceWidth = 1920;
constexpr double kReferenceHeight = 1080;
constexpr double kBandHeight = 104;
constexpr double kMargin = 24;
constexpr double kFontSize = 34;
constexpr double kSpeedFontSize = 56;

struct ElementWidth {
  Element element;
  double width;  // at 1080p; the route inset is as wide as the band is high
};

constexpr std::array kOrder = {ElementWidth{Element::Clock, 410}, ElementWidth{Element::Speed, 250},
                               ElementWidth{Element::Position, 560}, ElementWidth{Element::GForce, 300},
                               ElementWidth{Element::Route, kBandHeight - 8}};

}  // namespace

bool OverlayElements::shows(Element element) const {
  switch (element) {
    case Element::Clock:
      return clock;
    case Element::Speed:
      return speed;
    case Element::Position:
      return position;
    case Element::GForce:
      return gforce;
    case Element::Route:
      return route;
  }
  return false;
}

BandLayout band_layout(int width, int height, const OverlayElements& shown) {
  BandLayout layout;
  if (width <= 0 || height <= 0 || !shown.any()) {
    return layout;
  }
  const double scale = std::min(width / kReferenceWidth, height / kReferenceHeight);
  layout.scale = scale;
  layout.font_size = kFontSize * scale;
  layout.speed_font_size = kSpeedFontSize * scale;
  const double band_height = kBandHeight * scale;
  layout.band = {0, height - band_height, static_cast<double>(width), band_height};
  double x = kMargin * scale;
  for (const ElementWidth& item : kOrder) {
    if (!shown.shows(item.element)) {
      continue;
    }
    const double w = item.width * scale;
    const double h = item.element == Element::Route ? w : band_height - 2 * kMargin * scale / 2;
    layout.elements.push_back({item.element, {x, (band_height - h) / 2, w, h}});
    x += w + kMargin * scale;
  }
  return layout;
}

}  // namespace vek::drive
