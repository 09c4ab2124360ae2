#pragma once

#include <string>

#include "tools/art/ButtonArt.h"
#include "tools/art/CarlitoFace.h"

namespace sorel::art {

// The symbols on the editor's buttons, each drawn to fit the face it is given.
class ButtonIcons {
 public:
  explicit ButtonIcons(const CarlitoFace& bold) : bold_(bold) {}

  IconPainter text(std::string caption, double pixelSize) const;
  IconPainter led() const;
  IconPainter arrow(bool pointsRight) const;
  IconPainter chevrons(bool pointsRight) const;
  IconPainter resize() const;
  IconPainter padlock() const;
  IconPainter warning() const;
  IconPainter target() const;
  IconPainter cross() const;
  IconPainter copy() const;
  IconPainter paste() const;
  IconPainter pencil() const;
  IconPainter dice() const;
  IconPainter selection() const;

 private:
  const CarlitoFace& bold_;
};

}  // namespace sorel::art
