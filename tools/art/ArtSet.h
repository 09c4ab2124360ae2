#pragma once

#include <string>

namespace sorel::art {

// Every font and image of the editor, written into a resources folder from its
// skin file (<dir>/skin/Sorel.skin) into <dir>/fonts and <dir>/images, each
// image at 1x and, drawn afresh at twice the resolution, at 2x ("name@2x.png").
class ArtSet {
 public:

  explicit ArtSet(std::string resourcesDir);
  // Throws std::runtime_error when the face, the skin or a file fails.
  void writeAll() const;

 private:
  std::string dir_;
};

}  // namespace sorel::art
