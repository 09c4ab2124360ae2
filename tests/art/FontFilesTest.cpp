// The committed bitmap fonts: descriptions the editor's BMFont reader accepts,
// with every printable ASCII glyph, the right line heights and colours, and
// glyph rectangles that match the ink in the sheets.

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <set>
#include <string>
#include <vector>

#include "art/RgbaImage.h"
#include "resources/ScaledResource.h"

namespace sorel::art::test {
namespace {

enum class Ink { White, Black };

struct FontEntry {
  const char* name;
  int lineHeight;
  Ink ink;
};

// The editor's five fonts: line height and glyph colour of each.
const FontEntry kFonts[] = {
    {"Calibri_12px", 17, Ink::White},       {"Calibri_10px", 14, Ink::White},
    {"Calibri_12px_white", 14, Ink::White}, {"Calibri_14px", 19, Ink::White},
    {"Calibri_12px_black", 14, Ink::Black},
};

struct Glyph {
  int id, x, y, width, height, xoffset, yoffset, xadvance;
};

struct ParsedFont {
  bool ok = false;
  int lineHeight = -1;
  std::vector<Glyph> glyphs;
};

ParsedFont parseFont(const std::string& name) {
  ParsedFont font;
  tinyxml2::XMLDocument doc;
  if (doc.LoadFile(resourcePath("fonts/" + name + ".fnt").c_str()) != tinyxml2::XML_SUCCESS) return font;
  const tinyxml2::XMLElement* root = doc.FirstChildElement("font");
  const tinyxml2::XMLElement* common = root ? root->FirstChildElement("common") : nullptr;
  const tinyxml2::XMLElement* chars = root ? root->FirstChildElement("chars") : nullptr;
  if (!common || !chars) return font;
  font.lineHeight = common->IntAttribute("lineHeight", -1);
  for (const tinyxml2::XMLElement* c = chars->FirstChildElement("char"); c; c = c->NextSiblingElement("char")) {
    const char* names[] = {"id", "x", "y", "width", "height", "xoffset", "yoffset", "xadvance"};
    int values[8];
    for (int i = 0; i < 8; ++i) {
      if (c->QueryIntAttribute(names[i], &values[i]) != tinyxml2::XML_SUCCESS) return font;
    }
    font.glyphs.push_back({values[0], values[1], values[2], values[3], values[4], values[5], values[6], values[7]});
  }
  font.ok = true;
  return font;
}

const Glyph* findGlyph(const ParsedFont& font, int id) {
  for (const Glyph& g : font.glyphs)
    if (g.id == id) return &g;
  return nullptr;
}

TEST(FontFiles, EachDescriptionHoldsThePrintableAsciiGlyphsAndItsLineHeight) {
  for (const FontEntry& entry : kFonts) {
    SCOPED_TRACE(entry.name);
    const ParsedFont font = parseFont(entry.name);
    ASSERT_TRUE(font.ok) << "description missing, malformed or lacking an attribute";
    EXPECT_EQ(font.lineHeight, entry.lineHeight);
    ASSERT_EQ(font.glyphs.size(), 95u);
    std::set<int> ids;
    for (const Glyph& g : font.glyphs) ids.insert(g.id);
    EXPECT_EQ(ids.size(), 95u) << "duplicate glyph ids";
    EXPECT_EQ(*ids.begin(), 32);
    EXPECT_EQ(*ids.rbegin(), 126);
  }
}

TEST(FontFiles, GlyphsSitInsideTheirSheetWithoutOverlapping) {
  for (const FontEntry& entry : kFonts) {
    SCOPED_TRACE(entry.name);
    const ParsedFont font = parseFont(entry.name);
    ASSERT_TRUE(font.ok);
    for (std::size_t i = 0; i < font.glyphs.size(); ++i) {
      const Glyph& a = font.glyphs[i];
      EXPECT_GE(a.x, 0);
      EXPECT_GE(a.y, 0);
      EXPECT_LE(a.x + a.width, 256) << "glyph " << a.id;
      EXPECT_LE(a.y + a.height, 256) << "glyph " << a.id;
      EXPECT_GT(a.xadvance, 0) << "glyph " << a.id;
      for (std::size_t j = i + 1; j < font.glyphs.size(); ++j) {
        const Glyph& b = font.glyphs[j];
        const bool apart = a.x + a.width <= b.x || b.x + b.width <= a.x || a.y + a.height <= b.y ||
                           b.y + b.height <= a.y;
        EXPECT_TRUE(apart) << "glyphs " << a.id << " and " << b.id << " share sheet pixels";
      }
    }
  }
}

// Both sheets of a font, the 1x one and its twice-resolution twin, are laid
// out by the one description: the 2x sheet's cells are twice as large.
TEST(FontFiles, SheetInkHasTheFontsColourAndLiesOnlyInGlyphRectangles) {
  for (const FontEntry& entry : kFonts) {
    for (const int scale : resources::kScales) {
      SCOPED_TRACE(std::string(entry.name) + " at " + std::to_string(scale) + "x");
      const int side = 256 * scale;
      const ParsedFont font = parseFont(entry.name);
      const RgbaImage sheet =
          RgbaImage::load(resourcePath(resources::ScaledName(std::string("fonts/") + entry.name + ".png", scale)));
      ASSERT_TRUE(font.ok);
      ASSERT_EQ(sheet.width, side);
      ASSERT_EQ(sheet.height, side);
      EXPECT_TRUE(sheet.fileHasAlpha);
      std::vector<bool> covered(side * side, false);
      for (const Glyph& g : font.glyphs)
        for (int y = g.y * scale; y < (g.y + g.height) * scale && y < side; ++y)
          for (int x = g.x * scale; x < (g.x + g.width) * scale && x < side; ++x) covered[y * side + x] = true;
      int strayInk = 0, wrongColour = 0;
      for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
          const std::uint8_t* p = sheet.at(x, y);
          if (p[3] == 0) continue;
          if (!covered[y * side + x]) ++strayInk;
          // Faint edge pixels lose precision in straight alpha; judge the solid ones.
          if (p[3] >= 64) {
            const bool white = p[0] >= 240 && p[1] >= 240 && p[2] >= 240;
            const bool black = p[0] <= 15 && p[1] <= 15 && p[2] <= 15;
            if (entry.ink == Ink::White ? !white : !black) ++wrongColour;
          }
        }
      }
      EXPECT_EQ(strayInk, 0);
      EXPECT_EQ(wrongColour, 0);
      // Every visible character has ink in its rectangle; the space has none.
      for (const Glyph& g : font.glyphs) {
        int ink = 0;
        for (int y = g.y * scale; y < (g.y + g.height) * scale; ++y)
          for (int x = g.x * scale; x < (g.x + g.width) * scale; ++x) ink += sheet.at(x, y)[3] > 0;
        if (g.id == ' ') {
          EXPECT_EQ(ink, 0);
        } else {
          EXPECT_GT(ink, 0) << "glyph " << g.id << " is blank";
        }
      }
    }
  }
}

TEST(FontFiles, GlyphsStayWithinTheirLine) {
  // A glyph reaching far above or below its line would draw over the text
  // rows next to it; capitals and digits sit fully inside.
  for (const FontEntry& entry : kFonts) {
    SCOPED_TRACE(entry.name);
    const ParsedFont font = parseFont(entry.name);
    ASSERT_TRUE(font.ok);
    for (const Glyph& g : font.glyphs) {
      if (g.id == ' ') continue;
      EXPECT_GE(g.yoffset, -1) << "glyph " << g.id;
      EXPECT_LE(g.yoffset + g.height, font.lineHeight + 2) << "glyph " << g.id;
    }
    for (char c : std::string("AHMZ0459")) {
      const Glyph* g = findGlyph(font, c);
      ASSERT_NE(g, nullptr);
      EXPECT_GE(g->yoffset, 0) << c;
      EXPECT_LE(g->yoffset + g->height, font.lineHeight) << c;
    }
  }
}

TEST(FontFiles, CapitalsAreCentredInTheirLine) {
  // The editor centres a line of lineHeight in each text box, so the capitals'
  // ink must straddle the line's middle for text to look centred.
  for (const FontEntry& entry : kFonts) {
    SCOPED_TRACE(entry.name);
    const ParsedFont font = parseFont(entry.name);
    ASSERT_TRUE(font.ok);
    const Glyph* h = findGlyph(font, 'H');
    ASSERT_NE(h, nullptr);
    const double inkMiddle = h->yoffset + h->height / 2.0;
    EXPECT_NEAR(inkMiddle, font.lineHeight / 2.0, 1.5);
  }
}

TEST(FontFiles, LargerFontsHaveWiderGlyphs) {
  const ParsedFont ten = parseFont("Calibri_10px");
  const ParsedFont twelve = parseFont("Calibri_12px_white");
  const ParsedFont fourteen = parseFont("Calibri_14px");
  ASSERT_TRUE(ten.ok && twelve.ok && fourteen.ok);
  const auto width = [](const ParsedFont& font, const std::string& text) {
    int total = 0;
    for (char c : text) total += findGlyph(font, c)->xadvance;
    return total;
  };
  const std::string sample = "Rate: 1/16T Swing";
  EXPECT_LT(width(ten, sample), width(twelve, sample));
  EXPECT_LT(width(twelve, sample), width(fourteen, sample));
  // Same face and size: the white and black 12 px fonts lay text out alike.
  const ParsedFont black = parseFont("Calibri_12px_black");
  ASSERT_TRUE(black.ok);
  EXPECT_EQ(width(twelve, sample), width(black, sample));
}

}  // namespace
}  // namespace sorel::art::test
