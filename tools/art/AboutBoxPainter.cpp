#include "tools/art/AboutBoxPainter.h"

#include "tools/art/ArtCanvas.h"
#include "tools/art/BackgroundPainter.h"
#include "tools/art/SkinIndex.h"

namespace sorel::art {

namespace {
constexpr const char* kVersion = "1.2.4";
constexpr double kCardWidth = 500;
constexpr double kCardTop = 92;
constexpr double kCardHeight = 176;

// A rising arpeggio of faint bars below the card, the product's motif.
void paintMotif(const ArtCanvas& canvas, double centreX) {
  constexpr int kBars = 24;
  constexpr double kPitch = 18, kBase = 520;
  const int heights[] = {3, 5, 7, 10, 5, 7, 10, 12, 7, 10, 12, 15, 10, 12, 15, 17, 12, 15, 17, 20, 10, 7, 5, 3};
  for (int i = 0; i < kBars; ++i) {
    const double h = heights[i] * 9.0;
    const Box bar{centreX - kBars * kPitch / 2 + i * kPitch + 2, kBase - h, kPitch - 4, h};
    canvas.fillRoundedGradient(bar, 2, Colour{theme::accent.r, theme::accent.g, theme::accent.b, 0.20},
                               Colour{theme::accent.r, theme::accent.g, theme::accent.b, 0.03});
  }
}
}  // namespace

AboutBoxPainter::AboutBoxPainter(const SkinLayout& skin, const CarlitoFace& regular, const CarlitoFace& bold)
    : skin_(skin), regular_(regular), bold_(bold) {}

void AboutBoxPainter::write(const std::string& path, int scale) const {
  constexpr int w = BackgroundPainter::kWidth, h = BackgroundPainter::kHeight;
  ArtCanvas canvas(w, h, scale);
  // The card centres on the plate under the version number so that the
  // number the editor prints sits in the middle of it.
  const SkinRect& v = skin_.at(skin::kVersionNumber);
  const double cx = (v.L + v.R) / 2.0;
  const Box card{cx - kCardWidth / 2, kCardTop, kCardWidth, kCardHeight};
  cairo_t* cr = canvas.cr();
  cairo_rectangle(cr, 0, 0, w, h);
  canvas.setColour(theme::window);
  cairo_fill(cr);
  cairo_pattern_t* glow = cairo_pattern_create_radial(cx, card.centreY(), 20, cx, card.centreY(), 520);
  cairo_pattern_add_color_stop_rgba(glow, 0, theme::accent.r, theme::accent.g, theme::accent.b, 0.16);
  cairo_pattern_add_color_stop_rgba(glow, 1, theme::accent.r, theme::accent.g, theme::accent.b, 0.0);
  cairo_rectangle(cr, 0, 0, w, h);
  cairo_set_source(cr, glow);
  cairo_fill(cr);
  cairo_pattern_destroy(glow);

  paintMotif(canvas, cx);
  canvas.fillRoundedGradient(card, 8, theme::panelLight, theme::panel);
  canvas.strokeRounded(card.inset(0.5), 8, theme::accent, 1.0);
  canvas.fillRounded(Box{double(v.L), v.T - 1.0, double(v.width()), v.height() + 2.0}, 4, theme::plate);
  bold_.drawCentred(canvas, "Sorel", 56, cx, 133, theme::accent);
  bold_.drawCentred(canvas, "MIDI ARPEGGIATOR AND STEP PATTERNS", 10, cx, 176, theme::label);


  regular_.drawCentred(canvas, std::string("Version ") + kVersion, 12, cx, 226, theme::text);
  regular_.drawCentred(canvas, "by Vardo", 12, cx, 243, theme::label);
  regular_.drawCentred(canvas, "click to close", 10, cx, 259, theme::labelDim);
  canvas.writePng(path);
}

}  // namespace sorel::art
