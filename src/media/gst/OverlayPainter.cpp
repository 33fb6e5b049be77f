#include "media/gst/OverlayPainter.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace vek::media {
namespace {

using drive::Box;
using drive::Element;

constexpr const char* kFont = "DejaVu Sans";  // fonts-dejavu-core: the same glyphs on every machine
constexpr double kPanelAlpha = 0.62;          // dark enough for white text over a sunlit road
constexpr double kCornerRadius = 10;          // at 1080p
constexpr double kPadding = 14;               // at 1080p
constexpr double kGRange = 2.0;               // G-sensor value at the rim of the indicator, as the page's bars

void rounded_rectangle(cairo_t* cr, const Box& box, double radius) {
  const double r = std::min({radius, box.width / 2, box.height / 2});
  cairo_new_sub_path(cr);
  cairo_arc(cr, box.x + box.width - r, box.y + r, r, -std::numbers::pi / 2, 0);
  cairo_arc(cr, box.x + box.width - r, box.y + box.height - r, r, 0, std::numbers::pi / 2);
  cairo_arc(cr, box.x + r, box.y + box.height - r, r, std::numbers::pi / 2, std::numbers::pi);
  cairo_arc(cr, box.x + r, box.y + r, r, std::numbers::pi, 3 * std::numbers::pi / 2);
  cairo_close_path(cr);
}

void panel(cairo_t* cr, const Box& box, double scale) {
  cairo_set_source_rgba(cr, 0.05, 0.07, 0.09, kPanelAlpha);
  rounded_rectangle(cr, box, kCornerRadius * scale);
  cairo_fill(cr);
}

// Text with its left end at x and its baseline centred in the box.
void text_at(cairo_t* cr, const std::string& text, double x, double baseline, double size, bool bold) {
  cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL, bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_move_to(cr, x, baseline);
  cairo_show_text(cr, text.c_str());
}

double centred_baseline(const Box& box, double size) {
  return box.y + box.height / 2 + size * 0.36;
}

void white(cairo_t* cr) {
  cairo_set_source_rgb(cr, 1, 1, 1);
}

void paint_clock(cairo_t* cr, const Box& box, const drive::BandLayout& layout, const drive::FrameReadings& r) {
  white(cr);
  text_at(cr, r.clock, box.x + kPadding * layout.scale, centred_baseline(box, layout.font_size), layout.font_size,
          false);
}

void paint_speed(cairo_t* cr, const Box& box, const drive::BandLayout& layout, const drive::FrameReadings& r) {
  const double x = box.x + kPadding * layout.scale;
  const double baseline = centred_baseline(box, layout.speed_font_size);
  white(cr);
  text_at(cr, r.speed, x, baseline, layout.speed_font_size, true);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, r.speed.c_str(), &extents);
  cairo_set_source_rgb(cr, 0.75, 0.8, 0.85);
  text_at(cr, r.speed_unit, x + extents.x_advance + kPadding * layout.scale / 2, baseline, layout.font_size * 0.8,
          false);
}

void paint_position(cairo_t* cr, const Box& box, const drive::BandLayout& layout, const drive::FrameReadings& r) {
  white(cr);
  const std::string text = r.position.empty() ? std::string("no fix") : r.position;
  text_at(cr, text, box.x + kPadding * layout.scale, centred_baseline(box, layout.font_size * 0.85),
          layout.font_size * 0.85, false);
}

// A dial of lateral (x) against longitudinal (y) force, with the three axes written beside it.
void paint_gforce(cairo_t* cr, const Box& box, const drive::BandLayout& layout, const drive::FrameReadings& r) {
  const double radius = box.height / 2 - kPadding * layout.scale / 2;
  const double cx = box.x + kPadding * layout.scale / 2 + radius;
  const double cy = box.y + box.height / 2;
  cairo_set_source_rgba(cr, 1, 1, 1, 0.5);
  cairo_set_line_width(cr, std::max(1.0, 2 * layout.scale));
  cairo_arc(cr, cx, cy, radius, 0, 2 * std::numbers::pi);
  cairo_stroke(cr);
  if (std::isfinite(r.x) && std::isfinite(r.y)) {
    const double dx = std::clamp(r.x / kGRange, -1.0, 1.0) * radius;
    const double dy = std::clamp(-r.y / kGRange, -1.0, 1.0) * radius;
    cairo_set_source_rgb(cr, 1.0, 0.75, 0.2);
    cairo_arc(cr, cx + dx, cy + dy, std::max(2.0, 6 * layout.scale), 0, 2 * std::numbers::pi);
    cairo_fill(cr);
  }
  white(cr);
  const double size = layout.font_size * 0.55;
  const double x = cx + radius + kPadding * layout.scale;
  const double line = box.height / 3.4;
  text_at(cr, "X " + r.gx, x, cy - line + size * 0.36, size, false);
  text_at(cr, "Y " + r.gy, x, cy + size * 0.36, size, false);
  text_at(cr, "Z " + r.gz, x, cy + line + size * 0.36, size, false);
}

void paint_route(cairo_t* cr, const Box& box, const drive::BandLayout& layout, const drive::FrameReadings& r,
                 const std::vector<drive::RoutePoint>& route) {
  const double inset = kPadding * layout.scale / 2;
  const double side = box.width - 2 * inset;
  const auto at = [&](const drive::RoutePoint& p) {
    return std::pair{box.x + inset + p.x * side, box.y + inset + p.y * side};
  };
  cairo_set_source_rgba(cr, 0.45, 0.75, 1.0, 0.9);
  cairo_set_line_width(cr, std::max(1.0, 2.5 * layout.scale));
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  for (std::size_t i = 0; i < route.size(); ++i) {
    const auto [x, y] = at(route[i]);
    i == 0 ? cairo_move_to(cr, x, y) : cairo_line_to(cr, x, y);
  }
  cairo_stroke(cr);
  if (r.here) {
    const auto [x, y] = at(*r.here);
    cairo_set_source_rgb(cr, 1.0, 0.3, 0.25);
    cairo_arc(cr, x, y, std::max(2.0, 6 * layout.scale), 0, 2 * std::numbers::pi);
    cairo_fill(cr);
  }
}

}  // namespace

void paint_band(cairo_t* cr, const drive::BandLayout& layout, const drive::FrameReadings& readings,
                const std::vector<drive::RoutePoint>& route) {
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
  for (const drive::PlacedElement& placed : layout.elements) {
    panel(cr, placed.box, layout.scale);
    switch (placed.element) {
      case Element::Clock:
        paint_clock(cr, placed.box, layout, readings);
        break;
      case Element::Speed:
        paint_speed(cr, placed.box, layout, readings);
        break;
      case Element::Position:
        paint_position(cr, placed.box, layout, readings);
        break;
      case Element::GForce:
        paint_gforce(cr, placed.box, layout, readings);
        break;
      case Element::Route:
        paint_route(cr, placed.box, layout, readings, route);
        break;
    }
  }
}

}  // namespace vek::media
