#include "tools/art/AboutBoxPainter.h"

#include "tools/art/ArtCanvas.h"
#include "tools/art/BackgroundPainter.h"
#include "tools/art/SkinIndex.h"

namespace sorel::art {

namespace {
constexpr const char* kVersion = "1.2.4";
const Box kCard{250, 92, 500, 176};
}  // namespace

AboutBoxPainter::AboutBoxPainter(const SkinLayout& skin, const CarlitoFace& regular, const CarlitoFace& bold)
    : skin_(skin), regular_(regular), bold_(bold) {}

void AboutBoxPainter::write(const std::string& path) const {
  constexpr int w = BackgroundPainter::kWidth, h = BackgroundPainter::kHeight;
  ArtCanvas canvas(w, h);
  cairo_t* cr = canvas.cr();
  cairo_rectangle(cr, 0, 0, w, h);
  canvas.setColour(theme::window);
  cairo_fill(cr);
  cairo_pattern_t* glow = cairo_pattern_create_radial(w / 2.0, kCard.centreY(), 20, w / 2.0, kCard.centreY(), 520);
  cairo_pattern_add_color_stop_rgba(glow, 0, theme::accent.r, theme::accent.g, theme::accent.b, 0.16);
  cairo_pattern_add_color_stop_rgba(glow, 1, theme::accent.r, theme::accent.g, theme::accent.b, 0.0);
  cairo_rectangle(cr, 0, 0, w, h);
  cairo_set_source(cr, glow);
  cairo_fill(cr);
  cairo_pattern_destroy(glow);

  canvas.fillRoundedGradient(kCard, 8, theme::panelLight, theme::panel);
  canvas.strokeRounded(kCard.inset(0.5), 8, theme::accent, 1.0);

  const double cx = kCard.centreX();
  bold_.drawCentred(canvas, "Sorel", 56, cx, 133, theme::accent);
  bold_.drawCentred(canvas, "MIDI ARPEGGIATOR AND STEP PATTERNS", 10, cx, 176, theme::label);

  const SkinRect& v = skin_.at(skin::kVersionNumber);
  canvas.fillRounded(Box{double(v.L), v.T - 1.0, double(v.width()), v.height() + 2.0}, 4, theme::plate);

  regular_.drawCentred(canvas, std::string("Version ") + kVersion, 12, cx, 226, theme::text);
  regular_.drawCentred(canvas, "by Vardo", 12, cx, 243, theme::label);
  regular_.drawCentred(canvas, "click to close", 9, cx, 259, theme::labelDim);
  canvas.writePng(path);
}

}  // namespace sorel::art
