#pragma once

#include <cairo.h>

#include <string>

#include "tools/art/ArtCanvas.h"

namespace sorel::art {

enum class Weight { Regular, Bold };

// The Carlito face, found through fontconfig by family name. Construction
// throws when fontconfig would hand out another family instead: art rendered
// from a substitute face would silently change every glyph metric.
class CarlitoFace {
 public:
  // Carlito's capital height as a fraction of the em, for optical centring.
  static constexpr double kCapHeight = 0.644;

  explicit CarlitoFace(Weight weight);
  ~CarlitoFace();
  CarlitoFace(const CarlitoFace&) = delete;
  CarlitoFace& operator=(const CarlitoFace&) = delete;

  // Selects this face at the given pixel size, hinted for small text.
  void select(cairo_t* cr, double pixelSize) const;
  // Measured at 1x whatever canvas the text goes to, so that a 2x image
  // places its text exactly where the 1x image does.
  double textWidth(const std::string& text, double pixelSize) const;
  // Draws text with its baseline so that capitals sit centred on centreY.
  void drawCentred(const ArtCanvas& canvas, const std::string& text, double pixelSize, double centreX,
                   double centreY, const Colour& colour) const;
  void drawLeft(const ArtCanvas& canvas, const std::string& text, double pixelSize, double left, double centreY,
                const Colour& colour) const;
  void drawRight(const ArtCanvas& canvas, const std::string& text, double pixelSize, double right,
                 double centreY, const Colour& colour) const;
  const std::string& file() const { return file_; }

 private:
  cairo_font_face_t* face_ = nullptr;
  cairo_surface_t* measureSurface_ = nullptr;
  cairo_t* measure_ = nullptr;
  std::string file_;
};

}  // namespace sorel::art
