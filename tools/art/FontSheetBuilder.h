#pragma once

#include <string>
#include <vector>

#include "tools/art/ArtTheme.h"
#include "tools/art/CarlitoFace.h"

namespace sorel::art {

struct FontRecipe {
  std::string baseName;  // "Calibri_12px": the .png and .fnt share it
  double pixelSize;      // em size of the rendered face
  int lineHeight;
  Colour colour;
};

// Where one glyph landed in the sheet and how it is placed on a line, in the
// terms of the BMFont description.
struct GlyphPlacement {
  int id = 0;
  int x = 0, y = 0, width = 0, height = 0;
  int xoffset = 0, yoffset = 0, xadvance = 0;
  bool inked = false;  // false for blanks such as the space
};

// Renders the printable ASCII glyphs of one font into a 256 x 256 RGBA sheet and
// writes it with its BMFont XML description. The 2x sheet ("@2x") has every
// glyph drawn at twice the resolution into the same cells, twice as large, so
// the one description, in 1x units, lays out text for both.
class FontSheetBuilder {
 public:
  static constexpr int kSheetSize = 256;
  static constexpr int kFirstChar = 32;
  static constexpr int kLastChar = 126;

  FontSheetBuilder(const CarlitoFace& face, FontRecipe entry);
  // Writes <dir>/<baseName>.png and <dir>/<baseName>.fnt; throws on failure.
  void write(const std::string& dir) const;

  // The baseline's distance from the line top: capitals end up centred in a
  // line of lineHeight, which is how the editor centres text in its boxes.
  int base() const;

 private:
  // Cells and metrics, measured at 1x.
  std::vector<GlyphPlacement> layOut() const;
  void paint(const ArtCanvas& sheet, const std::vector<GlyphPlacement>& glyphs) const;
  std::string describe(const std::vector<GlyphPlacement>& glyphs) const;

  const CarlitoFace& face_;
  FontRecipe recipe_;
};

}  // namespace sorel::art
