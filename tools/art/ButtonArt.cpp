#include "tools/art/ButtonArt.h"

#include <algorithm>

namespace sorel::art {

ButtonArt::ButtonArt(int width, int height, ButtonStyle style) : width_(width), height_(height), style_(style) {}

Colour ButtonArt::iconColour(bool on) { return on ? theme::accentGlow : theme::label; }

void ButtonArt::paintFrame(const ArtCanvas& canvas, const Box& frame, bool on, const IconPainter& icon) const {
  const double radius = std::min(3.0, std::min(frame.w, frame.h) / 4);
  const Box outer = frame.inset(0.5);
  if (style_ == ButtonStyle::Flat) {
    canvas.fillRounded(outer, radius, on ? theme::accentDeep : theme::field);
    canvas.strokeRounded(outer, radius, on ? theme::accent : theme::fieldBorder, 1.0);
  } else if (on) {
    canvas.fillRoundedGradient(outer, radius, rgb(66, 96, 132), theme::accentDeep);
    canvas.strokeRounded(outer, radius, theme::accent, 1.0);
  } else {
    canvas.fillRoundedGradient(outer, radius, theme::buttonTop, theme::buttonBottom);
    canvas.strokeRounded(outer, radius, theme::buttonEdge, 1.0);
    // A one-pixel highlight along the top edge gives the key some depth.
    canvas.line(frame.x + radius, frame.y + 1.5, frame.right() - radius, frame.y + 1.5, rgb(255, 255, 255, 0.10),
                1.0);
  }
  if (icon) icon(canvas, frame, on);
}

void ButtonArt::write(const std::string& path, int scale, const IconPainter& icon) const {
  ArtCanvas canvas(width_, height_ * 2, scale);
  for (int f = 0; f < 2; ++f) {
    cairo_save(canvas.cr());
    cairo_rectangle(canvas.cr(), 0, height_ * f, width_, height_);
    cairo_clip(canvas.cr());
    paintFrame(canvas, Box{0, double(height_ * f), double(width_), double(height_)}, f == 1, icon);
    cairo_restore(canvas.cr());
  }
  canvas.writePng(path);
}

}  // namespace sorel::art
