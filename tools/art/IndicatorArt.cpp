#include "tools/art/IndicatorArt.h"

#include <cmath>

#include "tools/art/ArtCanvas.h"

namespace sorel::art {

double IndicatorArt::fadeLevel(int frame) {
  const double t = static_cast<double>(frame) / (kFadeFrames - 1);
  return std::pow(1.0 - t, 1.6) * 0.96 + 0.04 * (1.0 - t);
}

void IndicatorArt::writeNoteListStrip(const std::string& path, int scale) {
  constexpr int w = 21, h = 8;
  ArtCanvas canvas(w, h * kFadeFrames, scale);
  for (int k = 0; k < kFadeFrames; ++k) {
    const double level = fadeLevel(k);
    const Box mark{0.5, h * k + 1.5, w - 1.0, h - 3.0};
    canvas.fillRounded(mark, 2.0, rgb(255, 255, 255, level * 0.92));
    canvas.strokeRounded(mark, 2.0, Colour{theme::accent.r, theme::accent.g, theme::accent.b, level}, 1.0);
  }
  canvas.writePng(path);
}

void IndicatorArt::writeIncomingNoteStrip(const std::string& path, int scale) {
  constexpr int w = 27, h = 9;
  ArtCanvas canvas(w, h * kFadeFrames, scale);
  for (int k = 0; k < kFadeFrames; ++k) {
    const double level = fadeLevel(kFadeFrames - 1 - k);
    const Box slot{0.5, h * k + 2.5, w - 1.0, h - 5.0};
    canvas.fillRounded(slot, 2.0, rgb(12, 14, 18));
    const Colour lit{theme::accent.r + (1 - theme::accent.r) * level * 0.4,
                     theme::accent.g + (1 - theme::accent.g) * level * 0.4,
                     theme::accent.b + (1 - theme::accent.b) * level * 0.4, level};
    canvas.fillRounded(slot, 2.0, lit);
    canvas.strokeRounded(slot, 2.0, rgb(60, 68, 80), 1.0);
  }
  canvas.writePng(path);
}

void IndicatorArt::writeBaseNoteLed(const std::string& path, int scale) {
  constexpr int w = 16, h = 8;
  ArtCanvas canvas(w, h * 2, scale);
  for (int k = 0; k < 2; ++k) {
    const bool lit = k == 1;
    const Box led{3.5, h * k + 2.5, w - 7.0, h - 5.0};
    if (lit) canvas.fillRounded(led.inset(-1.5), 3.0, Colour{theme::accent.r, theme::accent.g, theme::accent.b, 0.35});
    canvas.fillRounded(led, 1.5, lit ? theme::accentGlow : theme::accentDeep);
    canvas.strokeRounded(led, 1.5, lit ? theme::accent : rgb(80, 100, 124), 1.0);
  }
  canvas.writePng(path);
}

namespace {
// A bracket standing at the marker's edge with a small flag pointing into the loop.
void writeLoopMarker(const std::string& path, int scale, bool isStart) {
  constexpr int w = 24, h = 15;
  ArtCanvas canvas(w, h, scale);
  cairo_t* cr = canvas.cr();
  const double edge = isStart ? 1.5 : w - 1.5;
  const double inward = isStart ? 1 : -1;
  cairo_move_to(cr, edge + inward * 5, 1.5);
  cairo_line_to(cr, edge, 1.5);
  cairo_line_to(cr, edge, h - 1.5);
  cairo_line_to(cr, edge + inward * 5, h - 1.5);
  canvas.setColour(theme::accentGlow);
  cairo_set_line_width(cr, 2.0);
  cairo_stroke(cr);
  const double tip = edge + inward * 13;
  cairo_move_to(cr, edge + inward * 5, h / 2.0 - 4);
  cairo_line_to(cr, tip, h / 2.0);
  cairo_line_to(cr, edge + inward * 5, h / 2.0 + 4);
  cairo_close_path(cr);
  canvas.setColour(theme::accent);
  cairo_fill(cr);
  canvas.writePng(path);
}
}  // namespace

void IndicatorArt::writeLoopStart(const std::string& path, int scale) { writeLoopMarker(path, scale, true); }
void IndicatorArt::writeLoopEnd(const std::string& path, int scale) { writeLoopMarker(path, scale, false); }

}  // namespace sorel::art
