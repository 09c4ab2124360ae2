#include "tools/art/ArtCanvas.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace sorel::art {

ArtCanvas::ArtCanvas(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {
  if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS || cairo_status(cr_) != CAIRO_STATUS_SUCCESS) {
    throw std::runtime_error("cannot create a drawing surface");
  }
}

ArtCanvas::~ArtCanvas() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

void ArtCanvas::setColour(const Colour& c) const { cairo_set_source_rgba(cr_, c.r, c.g, c.b, c.a); }

void ArtCanvas::roundedRect(const Box& b, double radius) const {
  const double r = std::max(0.0, std::min({radius, b.w / 2, b.h / 2}));
  cairo_new_sub_path(cr_);
  cairo_arc(cr_, b.right() - r, b.y + r, r, -M_PI / 2, 0);
  cairo_arc(cr_, b.right() - r, b.bottom() - r, r, 0, M_PI / 2);
  cairo_arc(cr_, b.x + r, b.bottom() - r, r, M_PI / 2, M_PI);
  cairo_arc(cr_, b.x + r, b.y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr_);
}

void ArtCanvas::fillRounded(const Box& b, double radius, const Colour& c) const {
  roundedRect(b, radius);
  setColour(c);
  cairo_fill(cr_);
}

void ArtCanvas::strokeRounded(const Box& b, double radius, const Colour& c, double lineWidth) const {
  roundedRect(b, radius);
  setColour(c);
  cairo_set_line_width(cr_, lineWidth);
  cairo_stroke(cr_);
}

void ArtCanvas::fillRoundedGradient(const Box& b, double radius, const Colour& top, const Colour& bottom) const {
  cairo_pattern_t* gradient = cairo_pattern_create_linear(0, b.y, 0, b.bottom());
  cairo_pattern_add_color_stop_rgba(gradient, 0, top.r, top.g, top.b, top.a);
  cairo_pattern_add_color_stop_rgba(gradient, 1, bottom.r, bottom.g, bottom.b, bottom.a);
  roundedRect(b, radius);
  cairo_set_source(cr_, gradient);
  cairo_fill(cr_);
  cairo_pattern_destroy(gradient);
}

void ArtCanvas::line(double x0, double y0, double x1, double y1, const Colour& c, double lineWidth) const {
  cairo_move_to(cr_, x0, y0);
  cairo_line_to(cr_, x1, y1);
  setColour(c);
  cairo_set_line_width(cr_, lineWidth);
  cairo_stroke(cr_);
}

void ArtCanvas::writePng(const std::string& path) const {
  cairo_surface_flush(surface_);
  if (cairo_surface_write_to_png(surface_, path.c_str()) != CAIRO_STATUS_SUCCESS) {
    throw std::runtime_error("cannot write " + path);
  }
}

}  // namespace sorel::art
