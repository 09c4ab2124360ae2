#include "tools/art/CarlitoFace.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <cmath>
#include <memory>
#include <stdexcept>

namespace sorel::art {

namespace {

constexpr const char* kFamily = "Carlito";

struct PatternDeleter {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

PatternPtr matchCarlito(Weight weight) {
  PatternPtr wanted(FcPatternCreate());
  FcPatternAddString(wanted.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(kFamily));
  FcPatternAddInteger(wanted.get(), FC_WEIGHT, weight == Weight::Bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(wanted.get(), FC_SLANT, FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, wanted.get(), FcMatchPattern);
  FcDefaultSubstitute(wanted.get());
  FcResult result = FcResultNoMatch;
  PatternPtr found(FcFontMatch(nullptr, wanted.get(), &result));
  FcChar8* family = nullptr;
  if (!found || FcPatternGetString(found.get(), FC_FAMILY, 0, &family) != FcResultMatch ||
      std::string(reinterpret_cast<const char*>(family)) != kFamily) {
    throw std::runtime_error(std::string("fontconfig has no \"") + kFamily + "\" face (found \"" +
                             (family ? reinterpret_cast<const char*>(family) : "nothing") +
                             "\"); install fonts-crosextra-carlito");
  }
  int foundWeight = 0;
  FcPatternGetInteger(found.get(), FC_WEIGHT, 0, &foundWeight);
  const bool wantBold = weight == Weight::Bold;
  if ((foundWeight >= FC_WEIGHT_BOLD) != wantBold) {
    throw std::runtime_error("fontconfig substituted another weight of Carlito");
  }
  return found;
}

}  // namespace

CarlitoFace::CarlitoFace(Weight weight) {
  PatternPtr match = matchCarlito(weight);
  FcChar8* path = nullptr;
  if (FcPatternGetString(match.get(), FC_FILE, 0, &path) == FcResultMatch) {
    file_ = reinterpret_cast<const char*>(path);
  }
  face_ = cairo_ft_font_face_create_for_pattern(match.get());
  if (cairo_font_face_status(face_) != CAIRO_STATUS_SUCCESS) {
    cairo_font_face_destroy(face_);
    throw std::runtime_error("cairo cannot open the Carlito face");
  }
  measureSurface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
  measure_ = cairo_create(measureSurface_);
}

CarlitoFace::~CarlitoFace() {
  cairo_destroy(measure_);
  cairo_surface_destroy(measureSurface_);
  cairo_font_face_destroy(face_);
}

void CarlitoFace::select(cairo_t* cr, double pixelSize) const {
  cairo_set_font_face(cr, face_);
  cairo_set_font_size(cr, pixelSize);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}

double CarlitoFace::textWidth(const std::string& text, double pixelSize) const {
  select(measure_, pixelSize);
  cairo_text_extents_t extents;
  cairo_text_extents(measure_, text.c_str(), &extents);
  return extents.x_advance;
}

void CarlitoFace::drawLeft(const ArtCanvas& canvas, const std::string& text, double pixelSize, double left,
                           double centreY, const Colour& colour) const {
  cairo_t* cr = canvas.cr();
  select(cr, pixelSize);
  const double baseline = std::round(centreY + kCapHeight * pixelSize / 2);
  cairo_move_to(cr, std::round(left), baseline);
  canvas.setColour(colour);
  cairo_show_text(cr, text.c_str());
  cairo_new_path(cr);
}

void CarlitoFace::drawCentred(const ArtCanvas& canvas, const std::string& text, double pixelSize, double centreX,
                              double centreY, const Colour& colour) const {
  drawLeft(canvas, text, pixelSize, centreX - textWidth(text, pixelSize) / 2, centreY, colour);
}

void CarlitoFace::drawRight(const ArtCanvas& canvas, const std::string& text, double pixelSize, double right,
                            double centreY, const Colour& colour) const {
  drawLeft(canvas, text, pixelSize, right - textWidth(text, pixelSize), centreY, colour);
}

}  // namespace sorel::art
