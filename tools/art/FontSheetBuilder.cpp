#include "tools/art/FontSheetBuilder.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "resources/ScaledResource.h"

namespace sorel::art {

namespace {
constexpr double kCapHeight = CarlitoFace::kCapHeight;
// Transparent pixels around each glyph keep antialiased edges from being cut
// and keep neighbours from bleeding into a blit.
constexpr int kPadding = 1;
constexpr int kSpacing = 1;
}  // namespace

FontSheetBuilder::FontSheetBuilder(const CarlitoFace& face, FontRecipe entry) : face_(face), recipe_(std::move(entry)) {}

int FontSheetBuilder::base() const {
  return static_cast<int>(std::lround(recipe_.lineHeight / 2.0 + kCapHeight * recipe_.pixelSize / 2.0));
}

std::vector<GlyphPlacement> FontSheetBuilder::layOut() const {
  ArtCanvas probe(1, 1);
  cairo_t* cr = probe.cr();
  face_.select(cr, recipe_.pixelSize);
  std::vector<GlyphPlacement> glyphs;
  int penX = 0, penY = 0, shelfHeight = 0;
  for (int id = kFirstChar; id <= kLastChar; ++id) {
    const char text[2] = {static_cast<char>(id), 0};
    cairo_text_extents_t ext;
    cairo_text_extents(cr, text, &ext);
    GlyphPlacement g;
    g.id = id;
    g.xadvance = static_cast<int>(std::lround(ext.x_advance));
    g.inked = ext.width > 0 && ext.height > 0;
    int x0 = 0, y0 = 0, x1 = 1, y1 = 1;  // an empty 1 x 1 cell for blank glyphs
    if (g.inked) {
      x0 = static_cast<int>(std::floor(ext.x_bearing)) - kPadding;
      y0 = static_cast<int>(std::floor(ext.y_bearing)) - kPadding;
      x1 = static_cast<int>(std::ceil(ext.x_bearing + ext.width)) + kPadding;
      y1 = static_cast<int>(std::ceil(ext.y_bearing + ext.height)) + kPadding;
    }
    g.width = x1 - x0;
    g.height = y1 - y0;
    if (penX + g.width > kSheetSize) {
      penX = 0;
      penY += shelfHeight + kSpacing;
      shelfHeight = 0;
    }
    if (penY + g.height > kSheetSize) throw std::runtime_error(recipe_.baseName + ": glyphs overflow the sheet");
    g.x = penX;
    g.y = penY;
    g.xoffset = x0;
    g.yoffset = base() + y0;
    penX += g.width + kSpacing;
    shelfHeight = std::max(shelfHeight, g.height);
    glyphs.push_back(g);
  }
  return glyphs;
}

void FontSheetBuilder::paint(const ArtCanvas& sheet, const std::vector<GlyphPlacement>& glyphs) const {
  cairo_t* cr = sheet.cr();
  face_.select(cr, recipe_.pixelSize);
  sheet.setColour(recipe_.colour);
  for (const GlyphPlacement& g : glyphs) {
    if (!g.inked) continue;
    const char text[2] = {static_cast<char>(g.id), 0};
    // A glyph hinted at another scale may reach a little further; its cell
    // keeps it from bleeding into a neighbour.
    cairo_save(cr);
    cairo_rectangle(cr, g.x, g.y, g.width, g.height);
    cairo_clip(cr);
    cairo_move_to(cr, g.x - g.xoffset, g.y - (g.yoffset - base()));
    cairo_show_text(cr, text);
    cairo_new_path(cr);
    cairo_restore(cr);
  }
}

std::string FontSheetBuilder::describe(const std::vector<GlyphPlacement>& glyphs) const {
  std::ostringstream xml;
  xml << "<?xml version=\"1.0\"?>\n<font>\n";
  xml << "  <info face=\"Carlito\" size=\"" << recipe_.pixelSize
      << "\" bold=\"0\" italic=\"0\" charset=\"\" unicode=\"0\" stretchH=\"100\" smooth=\"1\" aa=\"1\""
         " padding=\"0,0,0,0\" spacing=\"" << kSpacing << "," << kSpacing << "\" outline=\"0\"/>\n";
  xml << "  <common lineHeight=\"" << recipe_.lineHeight << "\" base=\"" << base() << "\" scaleW=\"" << kSheetSize
      << "\" scaleH=\"" << kSheetSize << "\" pages=\"1\" packed=\"0\"/>\n";
  xml << "  <pages>\n    <page id=\"0\" file=\"" << recipe_.baseName << ".png\"/>\n  </pages>\n";
  xml << "  <chars count=\"" << glyphs.size() << "\">\n";
  for (const GlyphPlacement& g : glyphs) {
    xml << "    <char id=\"" << g.id << "\" x=\"" << g.x << "\" y=\"" << g.y << "\" width=\"" << g.width
        << "\" height=\"" << g.height << "\" xoffset=\"" << g.xoffset << "\" yoffset=\"" << g.yoffset
        << "\" xadvance=\"" << g.xadvance << "\" page=\"0\" chnl=\"15\"/>\n";
  }
  xml << "  </chars>\n</font>\n";
  return xml.str();
}

void FontSheetBuilder::write(const std::string& dir) const {
  const std::vector<GlyphPlacement> glyphs = layOut();
  for (const int scale : resources::kScales) {
    const ArtCanvas sheet(kSheetSize, kSheetSize, scale);
    paint(sheet, glyphs);
    sheet.writePng(resources::ScaledName(dir + "/" + recipe_.baseName + ".png", scale));
  }
  const std::string path = dir + "/" + recipe_.baseName + ".fnt";
  std::ofstream out(path, std::ios::binary);
  out << describe(glyphs);
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace sorel::art
