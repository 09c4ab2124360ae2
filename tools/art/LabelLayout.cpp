#include "tools/art/LabelLayout.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "tools/art/CarlitoFace.h"
#include "tools/art/SkinIndex.h"

namespace sorel::art {

namespace {

constexpr double kBoxSettingsImageWidth = 48;
constexpr double kCapHeight = CarlitoFace::kCapHeight;

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

Box toBox(const SkinRect& r) { return Box{double(r.L), double(r.T), double(r.width()), double(r.height())}; }

}  // namespace

bool overlaps(const Box& a, const Box& b) {
  return a.x < b.right() && b.x < a.right() && a.y < b.bottom() && b.y < a.bottom();
}

double LabelLayout::pixelSize(LabelStyle style) {
  switch (style) {
    case LabelStyle::Caption:
      return 12;
    case LabelStyle::Small:
      return 8.5;
    case LabelStyle::Label:
      break;
  }
  return 10;
}

std::vector<LabelEntry> LabelLayout::editorLabels() {
  using S = Side;
  const auto label = [](std::string text, int skin, Side side, int gap = 3) {
    return LabelEntry{std::move(text), skin, side, LabelStyle::Label, gap};
  };
  const auto small = [](std::string text, int skin, Side side, int gap = 3) {
    return LabelEntry{std::move(text), skin, side, LabelStyle::Small, gap};
  };
  std::vector<LabelEntry> entries = {
      // Key area
      LabelEntry{"KEY AREA", 9, S::Right, LabelStyle::Caption, 6},
      label("START", 120, S::Above, 2),
      label("END", 121, S::Above, 2),
      label("BASE", 122, S::Above, 2),
      label("VOLUME", 7, S::Below, 1),
      label("MIDI IN", 23, S::Left, 4),
      label("MIDI OUT", 24, S::Left, 4),
      label("VELOCITY", 32, S::Below, 2),
      label("ARP COUNT", 18, S::Below, 2),
      // Hold
      label("HOLD", 10, S::Right, 5),
      label("TRANSPOSE", 11, S::Above, 3),
      label("BYPASS", 12, S::Above, 3),
      label("HOLD SYNC", 31, S::Below, 2),
      // Preset box and top line
      label("PRESET", 138, S::Left, 4),
      label("AUTHOR", 139, S::Left, 4),
      label("PANIC", 135, S::Left, 5),
      // Timing knobs
      label("GATE", 0, S::Below, 2),
      label("SWING", 4, S::Below, 2),
      label("OCTAVES", 5, S::Below, 2),
      label("TRANSPOSE", 6, S::Below, 2),
      label("RATE", skin::kKnobRateFree, S::Left, 4),
      // Global column
      label("NOTE\nRELEASE", 125, S::Right, 5),
      label("CONTROL ZONE\nSYNC", 155, S::Right, 5),
      label("GLOBAL VOLUME", 8, S::Below, 2),
      label("SCALE", 33, S::Below, 2),
      label("KEY", 34, S::Below, 2),
      label("MODE", 35, S::Below, 2),
      // Pattern editor
      label("PATTERN", 123, S::Left, 5),
      label("EDIT", 129, S::Left, 5),
      label("CC TEACH", 26, S::Right, 5),
      label("DIRECTION", 15, S::Left, 5),
      label("RESET NOTES ON\nPATTERN RESET", 16, S::Right, 5),
      label("PATTERN\nSTEPS", 128, S::Right, 5),
      label("PLAY ORDER", 19, S::Right, 5),
      label("RESET ON\nNEW NOTE", 14, S::Right, 5),
      // Chord memory
      label("BANK", 145, S::Left, 5),
      small("APPLY CHORD", 144, S::Above, 2),
      label("EDIT", 148, S::Left, 5),
      small("INV", 153, S::Right, 5),
      // Scene
      label("SCENES ON", 13, S::Right, 5),
      small("PATTERN", skin::kFirstScenePatternCell, S::Left, 5),
      small("LENGTH", skin::kFirstSceneLengthCell, S::Left, 5),
      small("REPEAT", skin::kFirstSceneRepeatCell, S::Left, 5),
      // Bottom line
      label("MIDI OUTPUT", 119, S::Right, 5),
  };
  for (int step = 0; step < 16; ++step) entries.push_back(small(std::to_string(step + 1), skin::kFirstScenePatternCell + step, S::Above, 3));
  return entries;
}

bool LabelLayout::isPaintableArea(int skinIndex) {
  return skinIndex == skin::kSpareLine || skinIndex == skin::kAboutTriggerArea || skinIndex == skin::kLinkArea ||
         skinIndex == skin::kAboutBox || skinIndex == skin::kBackground;
}

std::vector<Box> LabelLayout::controlAreas(const SkinLayout& skin) {
  std::vector<Box> areas;
  for (std::size_t i = 0; i < skin.size(); ++i) {
    if (isPaintableArea(static_cast<int>(i))) continue;
    Box area = toBox(skin.at(i));
    if (i == skin::kBoxSettingsButton) area.w = std::max(area.w, kBoxSettingsImageWidth);
    areas.push_back(area);
  }
  return areas;
}

LabelLayout::LabelLayout(const SkinLayout& skin, Measure measure) {
  for (const LabelEntry& entry : editorLabels()) placed_.push_back(place(skin, entry, measure));
}

PlacedLabel LabelLayout::place(const SkinLayout& skin, const LabelEntry& entry, const Measure& measure) const {
  PlacedLabel p;
  p.entry = entry;
  p.lines = splitLines(entry.text);
  p.size = pixelSize(entry.style);
  p.lineStep = std::round(p.size * 1.2);
  double width = 0;
  for (const std::string& line : p.lines) width = std::max(width, measure(line, p.size));
  const double capHeight = std::ceil(kCapHeight * p.size);
  const double height = capHeight + p.lineStep * (static_cast<double>(p.lines.size()) - 1);
  const Box control = toBox(skin.at(entry.skin));
  const double gap = entry.gap;
  switch (entry.side) {
    case Side::Above:
      p.box = Box{control.centreX() - width / 2, control.y - gap - height, width, height};
      break;
    case Side::Below:
      p.box = Box{control.centreX() - width / 2, control.bottom() + gap, width, height};
      break;
    case Side::Left:
      p.box = Box{control.x - gap - width, control.centreY() - height / 2, width, height};
      break;
    case Side::Right:
      p.box = Box{control.right() + gap, control.centreY() - height / 2, width, height};
      break;
  }
  p.box.x = std::round(p.box.x);
  p.box.y = std::round(p.box.y);
  return p;
}

}  // namespace sorel::art
