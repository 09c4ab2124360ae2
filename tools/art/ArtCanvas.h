#pragma once

#include <cairo.h>

#include <string>

#include "tools/art/ArtTheme.h"

namespace sorel::art {

struct Box {
  double x = 0, y = 0, w = 0, h = 0;
  double right() const { return x + w; }
  double bottom() const { return y + h; }
  double centreX() const { return x + w / 2; }
  double centreY() const { return y + h / 2; }
  Box inset(double d) const { return Box{x + d, y + d, w - 2 * d, h - 2 * d}; }
};

// An RGBA drawing surface with the few shapes the art is made of. Owns its
// cairo surface and context; writes itself as a PNG. Drawing is in 1x units
// whatever the scale; the image has scale x scale pixels for each of them.
class ArtCanvas {
 public:
  ArtCanvas(int width, int height, int scale = 1);
  ~ArtCanvas();
  ArtCanvas(const ArtCanvas&) = delete;
  ArtCanvas& operator=(const ArtCanvas&) = delete;

  cairo_t* cr() const { return cr_; }
  cairo_surface_t* surface() const { return surface_; }
  // In pixels of the image written.
  int width() const { return width_; }
  int height() const { return height_; }

  void setColour(const Colour& c) const;
  void roundedRect(const Box& b, double radius) const;
  void fillRounded(const Box& b, double radius, const Colour& c) const;
  void strokeRounded(const Box& b, double radius, const Colour& c, double lineWidth) const;
  // A vertical two-colour gradient fill of a rounded box.
  void fillRoundedGradient(const Box& b, double radius, const Colour& top, const Colour& bottom) const;
  void line(double x0, double y0, double x1, double y1, const Colour& c, double lineWidth) const;

  // Writes the surface as an RGBA PNG; throws std::runtime_error on failure.
  void writePng(const std::string& path) const;

 private:
  int width_;
  int height_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

}  // namespace sorel::art
