#pragma once
// Where the burned-in readings go: one band along the bottom of the frame,
// laid out for 1080p and scaled with the frame, elements packed from the left
// in a fixed order so that switching one off closes its gap.

#include <vector>

namespace vek::drive {

enum class Element { Clock, Speed, Position, GForce, Route };

// Which elements an overlay export draws.
struct OverlayElements {
  bool clock = true;
  bool speed = true;
  bool position = true;
  bool gforce = true;
  bool route = true;
  bool decimal_position = false;  // decimal degrees rather than the label
  bool any() const { return clock || speed || position || gforce || route; }
  bool shows(Element element) const;
};

struct Box {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
};

struct PlacedElement {
  Element element;
  Box box;
};

struct BandLayout {
  Box band;                             // in frame pixels
  double scale = 1;                     // 1 at 1920x1080
  double font_size = 0;                 // clock, position and G texts
  double speed_font_size = 0;           // the speed figure
  std::vector<PlacedElement> elements;  // boxes in band coordinates (origin at the band's top left)
};

// The layout for a frame of `width` x `height` pixels; no band for an empty frame.
BandLayout band_layout(int width, int height, const OverlayElements& shown);

}  // namespace vek::drive
