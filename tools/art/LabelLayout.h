#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/art/ArtCanvas.h"
#include "tools/art/SkinLayout.h"

namespace sorel::art {

enum class Side { Above, Below, Left, Right };
enum class LabelStyle { Label, Caption, Small };

// A text printed on the background beside the control at skin index `skin`.
struct LabelEntry {
  std::string text;  // '\n' separates lines
  int skin = 0;
  Side side = Side::Below;
  LabelStyle style = LabelStyle::Label;
  int gap = 3;
};

struct PlacedLabel {
  LabelEntry entry;
  Box box;  // the ink area the text may take
  std::vector<std::string> lines;
  double size = 0;
  double lineStep = 0;
};

// Places every label of the editor's background beside its control's skin
// rectangle, so that labels move with the skin and never sit under a control.
class LabelLayout {
 public:
  using Measure = std::function<double(const std::string& text, double pixelSize)>;

  LabelLayout(const SkinLayout& skin, Measure measure);

  const std::vector<PlacedLabel>& labels() const { return placed_; }

  // The labels that the background carries.
  static std::vector<LabelEntry> editorLabels();
  // The rectangles on which controls draw or take clicks, with each image
  // control's true size where its image is larger than its skin entry.
  static std::vector<Box> controlAreas(const SkinLayout& skin);
  // Skin entries whose area the background may paint on: the spare line, the
  // invisible about and link areas, the about overlay and the window itself.
  static bool isPaintableArea(int skinIndex);

  static double pixelSize(LabelStyle style);

 private:
  PlacedLabel place(const SkinLayout& skin, const LabelEntry& entry, const Measure& measure) const;
  std::vector<PlacedLabel> placed_;
};

bool overlaps(const Box& a, const Box& b);

}  // namespace sorel::art
