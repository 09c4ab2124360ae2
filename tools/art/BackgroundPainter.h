#pragma once

#include <string>
#include <vector>

#include "tools/art/ArtCanvas.h"
#include "tools/art/CarlitoFace.h"
#include "tools/art/LabelLayout.h"
#include "tools/art/SkinLayout.h"

namespace sorel::art {

// A framed section of the window; its caption interrupts the top edge.
struct Panel {
  Box box;
  std::string caption;  // empty: no caption
  double captionX = 0;
};

// Paints the 1000 x 565 window background: sections, the wells behind text
// controls, the pattern grid, the scene grid, the keyboard and every label,
// all placed from the skin's rectangles.
class BackgroundPainter {
 public:
  static constexpr int kWidth = 1000;
  static constexpr int kHeight = 565;

  BackgroundPainter(const SkinLayout& skin, const CarlitoFace& regular, const CarlitoFace& bold);
  void write(const std::string& path, int scale) const;

  static std::vector<Panel> panels();
  // Skin entries of controls that print text straight onto the background;
  // each gets a dark well so that its text stays legible.
  static std::vector<int> textWells();

 private:
  void paintWindow(const ArtCanvas& canvas) const;
  void paintPanel(const ArtCanvas& canvas, const Panel& panel) const;
  void paintWells(const ArtCanvas& canvas) const;
  void paintPatternGrid(const ArtCanvas& canvas) const;
  void paintSceneGrid(const ArtCanvas& canvas) const;
  void paintKeyboard(const ArtCanvas& canvas) const;
  void paintLogo(const ArtCanvas& canvas) const;
  void paintVersionPlate(const ArtCanvas& canvas) const;
  void paintLinkMark(const ArtCanvas& canvas) const;
  void paintLabels(const ArtCanvas& canvas, const LabelLayout& layout) const;
  Box rect(int skinIndex) const;

  const SkinLayout& skin_;
  const CarlitoFace& regular_;
  const CarlitoFace& bold_;
};

}  // namespace sorel::art
