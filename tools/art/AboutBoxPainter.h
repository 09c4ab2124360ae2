#pragma once

#include <string>

#include "tools/art/CarlitoFace.h"
#include "tools/art/SkinLayout.h"

namespace sorel::art {

// The about box: a full-window overlay naming the product, its maker and its
// version. The card keeps clear of the controls that stay drawn above it and
// leaves a light plate where the editor prints the version number in black.
class AboutBoxPainter {
 public:
  AboutBoxPainter(const SkinLayout& skin, const CarlitoFace& regular, const CarlitoFace& bold);
  void write(const std::string& path, int scale) const;

 private:
  const SkinLayout& skin_;
  const CarlitoFace& regular_;
  const CarlitoFace& bold_;
};

}  // namespace sorel::art
