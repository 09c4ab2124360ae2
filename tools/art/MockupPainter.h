#pragma once

#include <string>

namespace sorel::art {

// Composes a picture of the editor as a player would see it, from the files in
// a resources folder: the background, every control's image at its skin place
// in a typical state, and sample texts in the bitmap fonts. For reviewing the
// art; the plug-in never uses it.
class MockupPainter {
 public:
  explicit MockupPainter(std::string resourcesDir);
  void write(const std::string& path) const;

 private:
  std::string dir_;
};

}  // namespace sorel::art
