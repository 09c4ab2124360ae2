#pragma once

#include <functional>
#include <string>

#include "tools/art/ArtCanvas.h"

namespace sorel::art {

enum class ButtonStyle {
  Raised,  // a key with a face: off is grey, on is lit in the accent colour
  Flat,    // a cell that the editor writes a label over: on is a deep accent fill
};

// Paints a button's symbol into its face; `on` says which frame is painted.
using IconPainter = std::function<void(const ArtCanvas&, const Box& face, bool on)>;

// A two-frame button sheet, frames stacked vertically: frame 0 off, frame 1 on.
class ButtonArt {
 public:
  ButtonArt(int width, int height, ButtonStyle style = ButtonStyle::Raised);
  void write(const std::string& path, int scale, const IconPainter& icon = {}) const;

  // The colour a symbol takes on the given frame.
  static Colour iconColour(bool on);

 private:
  void paintFrame(const ArtCanvas& canvas, const Box& frame, bool on, const IconPainter& icon) const;

  int width_;
  int height_;
  ButtonStyle style_;
};

}  // namespace sorel::art
