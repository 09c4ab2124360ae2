#include "tools/art/BackgroundPainter.h"

#include <cmath>

#include "tools/art/SkinIndex.h"

namespace sorel::art {

namespace {

constexpr int kSteps = 32;
constexpr int kColumnPitch = 24;
constexpr int kBarWidth = 21;
constexpr int kSceneSteps = 16;
constexpr int kKeyboardKeys = 36;
constexpr int kKeyWidth = 16;
constexpr int kKeyUpperRows = 31;
constexpr int kLedStripTop = 32;
constexpr int kLedStripBottom = 38;

bool isWhiteKey(int key) {
  switch (key % 12) {
    case 0: case 2: case 4: case 5: case 7: case 9: case 11:
      return true;
    default:
      return false;
  }
}

}  // namespace

BackgroundPainter::BackgroundPainter(const SkinLayout& skin, const CarlitoFace& regular, const CarlitoFace& bold)
    : skin_(skin), regular_(regular), bold_(bold) {}

Box BackgroundPainter::rect(int skinIndex) const {
  const SkinRect& r = skin_.at(static_cast<std::size_t>(skinIndex));
  return Box{double(r.L), double(r.T), double(r.width()), double(r.height())};
}

std::vector<Panel> BackgroundPainter::panels() {
  return {
      {Box{14, 24, 248, 184}, "", 0},                // key area and hold
      {Box{266, 24, 462, 68}, "", 0},                // MIDI channels, status line, preset box
      {Box{266, 102, 462, 95}, "TIMING", 278},       // the pattern's knobs
      {Box{734, 92, 256, 115}, "GLOBAL", 744},       // release, control zone, volume, scale
      {Box{33, 214, 957, 216}, "SEQUENCER", 44},     // patterns, lanes, steps
      {Box{14, 436, 596, 113}, "CHORD MEMORY", 24},  // banks, slots, keyboard
      {Box{616, 436, 374, 113}, "SCENE", 700},       // scene chain
  };
}

std::vector<int> BackgroundPainter::textWells() {
  return {22, 23, 24, 120, 121, 122, 32, 18, 31, 33, 34, 35, 155, 15, 19, 128, 25, 144, 145, 138, 139};
}

void BackgroundPainter::paintWindow(const ArtCanvas& canvas) const {
  cairo_pattern_t* shade = cairo_pattern_create_linear(0, 0, 0, kHeight);
  cairo_pattern_add_color_stop_rgb(shade, 0, 0.105, 0.118, 0.141);
  cairo_pattern_add_color_stop_rgb(shade, 1, theme::window.r, theme::window.g, theme::window.b);
  cairo_rectangle(canvas.cr(), 0, 0, kWidth, kHeight);
  cairo_set_source(canvas.cr(), shade);
  cairo_fill(canvas.cr());
  cairo_pattern_destroy(shade);
}

void BackgroundPainter::paintPanel(const ArtCanvas& canvas, const Panel& panel) const {
  const Box b = Box{panel.box.x + 0.5, panel.box.y + 0.5, panel.box.w - 1, panel.box.h - 1};
  canvas.fillRoundedGradient(b, 5, theme::panelLight, theme::panel);
  cairo_t* cr = canvas.cr();
  cairo_save(cr);
  if (!panel.caption.empty()) {
    // Leave a gap in the top edge for the caption.
    const double size = LabelLayout::pixelSize(LabelStyle::Caption);
    const double width = bold_.textWidth(panel.caption, size);
    cairo_rectangle(cr, 0, 0, kWidth, kHeight);
    cairo_rectangle(cr, panel.captionX - 4, panel.box.y - 6, width + 8, 12);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_clip(cr);
  }
  canvas.strokeRounded(b, 5, theme::panelBorder, 1.0);
  cairo_restore(cr);
  if (!panel.caption.empty()) {
    bold_.drawLeft(canvas, panel.caption, LabelLayout::pixelSize(LabelStyle::Caption), panel.captionX, panel.box.y,
                   theme::accent);
  }
}

void BackgroundPainter::paintWells(const ArtCanvas& canvas) const {
  for (int index : textWells()) {
    const Box well = rect(index);
    canvas.fillRounded(Box{well.x - 0.5, well.y - 0.5, well.w + 1, well.h + 1}, 2.5, theme::field);
    canvas.strokeRounded(Box{well.x - 0.5, well.y - 0.5, well.w + 1, well.h + 1}, 2.5, theme::fieldBorder, 1.0);
  }
  // The status line reads as a small display.
  const Box status = rect(skin::kStatusBar);
  canvas.strokeRounded(Box{status.x - 0.5, status.y - 0.5, status.w + 1, status.h + 1}, 2.5,
                       Colour{theme::accent.r, theme::accent.g, theme::accent.b, 0.45}, 1.0);
}

void BackgroundPainter::paintPatternGrid(const ArtCanvas& canvas) const {
  const Box view = rect(skin::kPatternView);
  canvas.fillRounded(Box{view.x - 1, view.y - 1, view.w + 2, view.h + 2}, 2, theme::field);
  // Columns as the view lays them out: one bar's width per step, groups of four shaded apart.
  for (int step = 0; step < kSteps; ++step) {
    const double x = view.x + 1 + kColumnPitch * step;
    const bool oddGroup = (step / 4) % 2 == 1;
    cairo_rectangle(canvas.cr(), x, view.y, kBarWidth, view.h);
    canvas.setColour(oddGroup ? rgb(30, 34, 41) : rgb(25, 28, 34));
    cairo_fill(canvas.cr());
  }
  for (int quarter = 1; quarter < 4; ++quarter) {
    const double y = std::floor(view.y + view.h * quarter / 4.0) + 0.5;
    canvas.line(view.x, y, view.right(), y, rgb(255, 255, 255, quarter == 2 ? 0.07 : 0.04), 1.0);
  }
  canvas.strokeRounded(Box{view.x - 1.5, view.y - 1.5, view.w + 3, view.h + 3}, 2, theme::fieldBorder, 1.0);

  // Loop track: a groove with a tick per step under the markers.
  const Box loop = rect(skin::kLoopControl);
  canvas.fillRounded(Box{loop.x, loop.y + 5, loop.w, loop.h - 10}, 2, theme::field);
  for (int step = 0; step <= kSteps; ++step) {
    const double x = loop.x + kColumnPitch * step + 0.5;
    canvas.line(x, loop.y + 4, x, loop.bottom() - 4, step % 4 == 0 ? theme::labelDim : theme::fieldBorder, 1.0);
  }

  // A shallow tray under the step switches.
  const Box firstStep = rect(skin::kFirstStepSwitch);
  canvas.fillRounded(Box{firstStep.x - 2, firstStep.y - 2, kColumnPitch * kSteps + 3.0, firstStep.h + 4}, 3,
                     rgb(0, 0, 0, 0.25));
}

void BackgroundPainter::paintSceneGrid(const ArtCanvas& canvas) const {
  const Box view = rect(skin::kSceneView);
  canvas.fillRounded(Box{view.x - 1, view.y - 1, view.w + 2, view.h + 2}, 2, theme::field);
  canvas.strokeRounded(Box{view.x - 1.5, view.y - 1.5, view.w + 3, view.h + 3}, 2, theme::fieldBorder, 1.0);
  for (int row = 0; row < 3; ++row) {
    for (int step = 0; step < kSceneSteps; ++step) {
      const Box cell = rect(skin::kFirstScenePatternCell + row * kSceneSteps + step);
      canvas.fillRounded(Box{cell.x + 1, cell.y + 1, cell.w - 2, cell.h - 2}, 1.5,
                         (step / 4) % 2 == 1 ? rgb(34, 38, 46) : rgb(28, 31, 38));
    }
  }
  // Groove of the scene-length bar below the cells.
  const Box lastRow = rect(skin::kFirstSceneRepeatCell);
  const double grooveY = lastRow.bottom() + 3;
  canvas.fillRounded(Box{view.x + 2, grooveY, view.w - 4, 5}, 2, rgb(8, 9, 12));
}

void BackgroundPainter::paintKeyboard(const ArtCanvas& canvas) const {
  const Box keys = rect(skin::kKeyboard);
  canvas.fillRounded(Box{keys.x - 2, keys.y - 2, keys.w + 4, keys.h + 4}, 3, rgb(8, 9, 12));
  for (int key = 0; key < kKeyboardKeys; ++key) {
    const double x = keys.x + kKeyWidth * key;
    const bool white = isWhiteKey(key);
    const Box upper{x + 0.5, keys.y, kKeyWidth - 1.0, double(kKeyUpperRows)};
    if (white) {
      canvas.fillRoundedGradient(upper, 1.5, theme::whiteKey, rgb(168, 176, 188));
    } else {
      canvas.fillRoundedGradient(upper, 1.5, rgb(84, 92, 106), theme::blackKey);
      canvas.strokeRounded(upper.inset(0.5), 1.5, rgb(100, 108, 122), 1.0);
    }
    const Box led{x + 1.5, keys.y + kLedStripTop, kKeyWidth - 3.0, double(kLedStripBottom - kLedStripTop)};
    canvas.fillRounded(led, 1.5, rgb(24, 27, 33));
    if (key % 12 == 0) {
      regular_.drawCentred(canvas, "C", 8, x + kKeyWidth / 2.0, keys.y + 42.5, theme::labelDim);
    }
  }
}

void BackgroundPainter::paintLogo(const ArtCanvas& canvas) const {
  // The about box opens from here, so the product's name is what one clicks.
  const Box area = rect(skin::kAboutTriggerArea);
  bold_.drawLeft(canvas, "Sorel", 40, area.x + 10, area.centreY() - 1, theme::accent);
  const double nameWidth = bold_.textWidth("Sorel", 40);
  const double left = area.x + 10 + nameWidth + 14;
  canvas.line(left - 7.5, area.y + 14, left - 7.5, area.bottom() - 12, theme::panelBorder, 1.0);
  bold_.drawLeft(canvas, "MIDI ARPEGGIATOR", 10, left, area.centreY() - 7, theme::label);
  regular_.drawLeft(canvas, "by Vardo", 10, left, area.centreY() + 8, theme::labelDim);
}

void BackgroundPainter::paintVersionPlate(const ArtCanvas& canvas) const {
  // The version number is printed in black, so it needs a light plate.
  const Box plate = rect(skin::kVersionNumber);
  canvas.fillRounded(Box{plate.x, plate.y - 1, plate.w, plate.h + 2}, 4, theme::plate);
}

void BackgroundPainter::paintLinkMark(const ArtCanvas& canvas) const {
  const Box link = rect(skin::kLinkArea);
  cairo_t* cr = canvas.cr();
  canvas.strokeRounded(link.inset(1), 1.5, theme::labelDim, 1.0);
  cairo_move_to(cr, link.x + 4, link.bottom() - 3);
  cairo_line_to(cr, link.right() - 3.5, link.y + 3.5);
  cairo_move_to(cr, link.right() - 7, link.y + 3.5);
  cairo_line_to(cr, link.right() - 3.5, link.y + 3.5);
  cairo_line_to(cr, link.right() - 3.5, link.y + 7);
  canvas.setColour(theme::accent);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
}

void BackgroundPainter::paintLabels(const ArtCanvas& canvas, const LabelLayout& layout) const {
  for (const PlacedLabel& label : layout.labels()) {
    const bool caption = label.entry.style == LabelStyle::Caption;
    const Colour colour = caption ? theme::accent : (label.entry.style == LabelStyle::Small ? theme::labelDim
                                                                                           : theme::label);
    const double capHeight = std::ceil(CarlitoFace::kCapHeight * label.size);
    for (std::size_t i = 0; i < label.lines.size(); ++i) {
      const std::string& line = label.lines[i];
      const double centreY = label.box.y + capHeight / 2 + label.lineStep * static_cast<double>(i);
      switch (label.entry.side) {
        case Side::Left:
          bold_.drawRight(canvas, line, label.size, label.box.right(), centreY, colour);
          break;
        case Side::Right:
          bold_.drawLeft(canvas, line, label.size, label.box.x, centreY, colour);
          break;
        default:
          bold_.drawCentred(canvas, line, label.size, label.box.centreX(), centreY, colour);
      }
    }
  }
}

void BackgroundPainter::write(const std::string& path, int scale) const {
  ArtCanvas canvas(kWidth, kHeight, scale);
  paintWindow(canvas);
  for (const Panel& panel : panels()) paintPanel(canvas, panel);
  // The key area's own settings sit above, its hold settings below this rule.
  const Box onOff = rect(skin::kKeyAreaOnOff);
  canvas.line(onOff.x - 6, 139.5, 256, 139.5, theme::panelBorder, 1.0);
  paintWells(canvas);
  paintPatternGrid(canvas);
  paintSceneGrid(canvas);
  paintKeyboard(canvas);
  paintLogo(canvas);
  paintVersionPlate(canvas);
  paintLinkMark(canvas);
  const LabelLayout layout(skin_, [&](const std::string& text, double size) {
    return bold_.textWidth(text, size);
  });
  paintLabels(canvas, layout);
  canvas.writePng(path);
}

}  // namespace sorel::art
