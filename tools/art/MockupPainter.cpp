#include "tools/art/MockupPainter.h"

#include <tinyxml2.h>

#include <map>
#include <memory>
#include <stdexcept>
#include <vector>

#include "tools/art/ArtCanvas.h"
#include "tools/art/SkinLayout.h"

namespace sorel::art {

namespace {

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

Surface loadPng(const std::string& path) {
  Surface s(cairo_image_surface_create_from_png(path.c_str()));
  if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS) throw std::runtime_error("cannot read " + path);
  return s;
}

struct Glyph {
  int x, y, w, h, xoffset, yoffset, xadvance;
};

// Just enough of the editor's bitmap-font drawing to show text centred in a box.
class MockFont {
 public:
  MockFont(const std::string& dir, const std::string& name) : sheet_(loadPng(dir + "/" + name + ".png")) {
    tinyxml2::XMLDocument doc;
    if (doc.LoadFile((dir + "/" + name + ".fnt").c_str()) != tinyxml2::XML_SUCCESS)
      throw std::runtime_error("cannot read font " + name);
    const auto* font = doc.FirstChildElement("font");
    lineHeight_ = font->FirstChildElement("common")->IntAttribute("lineHeight");
    for (const auto* c = font->FirstChildElement("chars")->FirstChildElement("char"); c;
         c = c->NextSiblingElement("char")) {
      glyphs_[c->IntAttribute("id")] = Glyph{c->IntAttribute("x"),       c->IntAttribute("y"),
                                             c->IntAttribute("width"),   c->IntAttribute("height"),
                                             c->IntAttribute("xoffset"), c->IntAttribute("yoffset"),
                                             c->IntAttribute("xadvance")};
    }
  }

  void draw(cairo_t* cr, const std::string& text, const SkinRect& r) const {
    int width = 0;
    for (char c : text) width += glyph(c).xadvance;
    int x = r.L + static_cast<int>(0.5 * r.width() - 0.5 * width + 0.5);
    for (char c : text) {
      const Glyph& g = glyph(c);
      const int y = static_cast<int>(0.5 * r.height() + (g.yoffset - lineHeight_ + r.T) + 0.5 * lineHeight_);
      cairo_save(cr);
      cairo_rectangle(cr, x + g.xoffset, y, g.w, g.h);
      cairo_clip(cr);
      cairo_set_source_surface(cr, sheet_.get(), x + g.xoffset - g.x, y - g.y);
      cairo_paint(cr);
      cairo_restore(cr);
      x += g.xadvance;
    }
  }

 private:
  const Glyph& glyph(char c) const {
    auto it = glyphs_.find(c);
    return it != glyphs_.end() ? it->second : glyphs_.at(' ');
  }
  Surface sheet_;
  int lineHeight_ = 0;
  std::map<int, Glyph> glyphs_;
};

enum class Font { Regular12, Regular10, White12, Regular14, Black12 };

class Composer {
 public:
  explicit Composer(const std::string& dir)
      : dir_(dir),
        skin_(SkinLayout::load(dir + "/skin/Sorel.skin")),
        canvas_(1000, 565),
        font12_(dir + "/fonts", "Calibri_12px"),
        font10_(dir + "/fonts", "Calibri_10px"),
        white12_(dir + "/fonts", "Calibri_12px_white"),
        font14_(dir + "/fonts", "Calibri_14px"),
        black12_(dir + "/fonts", "Calibri_12px_black") {}

  // Frame k of image `name`, drawn with its top-left corner at (x, y).
  void frame(const std::string& name, int frames, int k, int x, int y) {
    Surface& s = image(name);
    const int w = cairo_image_surface_get_width(s.get());
    const int h = cairo_image_surface_get_height(s.get()) / frames;
    cairo_t* cr = canvas_.cr();
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    cairo_set_source_surface(cr, s.get(), x, y - k * h);
    cairo_paint(cr);
    cairo_restore(cr);
  }
  void at(int skin, const std::string& name, int frames, int k) {
    frame(name, frames, k, skin_.at(skin).L, skin_.at(skin).T);
  }
  // A row of two-frame buttons with labels, as the radio-button controls draw.
  void buttons(int skin, const std::string& name, int count, int pitch, int selected, const MockFont& font,
               const std::vector<std::string>& labels) {
    Surface& s = image(name);
    const int w = cairo_image_surface_get_width(s.get());
    const int h = cairo_image_surface_get_height(s.get()) / 2;
    for (int i = 0; i < count; ++i) {
      const SkinRect r = skin_.at(skin);
      const int x = r.L + pitch * i;
      frame(name, 2, i == selected ? 1 : 0, x, r.T);
      font.draw(canvas_.cr(), labels.empty() ? std::to_string(i + 1) : labels[i], SkinRect{x, r.T, x + w, r.T + h});
    }
  }
  void text(int skin, const MockFont& font, const std::string& t) { font.draw(canvas_.cr(), t, skin_.at(skin)); }
  void fill(double x, double y, double w, double h, int a, int r, int g, int b) {
    cairo_rectangle(canvas_.cr(), x, y, w, h);
    canvas_.setColour(rgb(r, g, b, a / 255.0));
    cairo_fill(canvas_.cr());
  }

  void compose() {
    frame("background.png", 1, 0, 0, 0);
    for (int i = 0; i < 4; ++i) at(27 + i, "incomingnote_27x9_30frames.png", 30, i == 0 ? 29 : 1);
    patternView();
    buttons(17, "button_27x23.png", 4, 32, 0, white12_, {});
    buttons(69, "ptnview_59x15.png", 10, 60, 2, font10_,
            {"ORDER", "CHRDMEM", "LENGTH", "GATE", "ACCENT", "TRANSP", "DIV", "SHIFT", "CHORD", "PROB"});
    buttons(154, "ptnviewCC_19x15.png", 8, 20, -1, white12_, {});
    buttons(123, "button_27x23.png", 12, 32, 2, white12_, {});
    buttons(126, "Sbutton_23x21.png", 16, 25, 4, white12_, {});
    const char* tools[] = {"editDraw_33x27.png", "editSelect_33x27.png", "editRand_33x27.png",
                           "editCopy_33x27.png", "editPaste_33x27.png",  "editClear_33x27.png"};
    for (int i = 0; i < 6; ++i) at(129 + i, tools[i], 2, i == 0 ? 1 : 0);
    for (int i = 0; i < 5; ++i) at(158 + i, "lockbutton_21x21.png", 2, i == 1 ? 1 : 0);
    for (int i = 0; i < 32; ++i) at(37 + i, "ptnviewStepOnoff_23x13.png", 2, i % 5 == 3 ? 0 : 1);
    struct Placed {
      int skin;
      const char* image;
      int frames;
      int frame;
    };
    const Placed placed[] = {
        {26, "buttonTeach_27x23.png", 2, 0},
        {8, "unipolar_knob_with_ring_127frames.png", 127, 100},
        {135, "panicbutton_29x19.png", 2, 0},
        {140, "boxbuttonInfo_30x14.png", 2, 0},
        {141, "boxbuttonSettings_48x14.png", 2, 0},
        {136, "boxbuttonLeft_27x14.png", 2, 0},
        {137, "boxbuttonRight_27x14.png", 2, 0},
        {156, "resizebutton_15x11.png", 2, 0},
        {146, "boxbuttonLeft_27x14.png", 2, 0},
        {147, "boxbuttonRight_27x14.png", 2, 0},
        {148, "editCopy_33x27.png", 2, 0},
        {149, "editPaste_33x27.png", 2, 0},
        {150, "editClear_33x27.png", 2, 0},
        {151, "boxbuttonOK_27x14.png", 2, 0},
        {153, "SbuttonLeft_23x21.png", 2, 0},
        {152, "SbuttonRight_23x21.png", 2, 0},
        {2, "unipolar_knob_with_ring_23frames.png", 23, 12},
        {3, "freebutton_38x19.png", 2, 0},
        {14, "buttonOnOff_27x23.png", 2, 1},
        {16, "buttonOnOff_27x23.png", 2, 0},
        {6, "bipolar_knob_with_ring_25frames.png", 25, 16},
        {5, "unipolar_knob_with_ring_5frames.png", 5, 1},
        {0, "unipolar_knob_with_ring_127frames.png", 127, 80},
        {4, "unipolar_knob_with_ring_127frames.png", 127, 30},
        {9, "buttonOnOff_27x23.png", 2, 1},
        {10, "buttonOnOff_27x23.png", 2, 0},
        {11, "buttonOnOff_27x23.png", 2, 1},
        {12, "buttonOnOff_27x23.png", 2, 0},
        {13, "buttonOnOff_27x23.png", 2, 1},
        {125, "buttonOnOff_27x23.png", 2, 0},
        {7, "bipolar_knob_with_ring_127frames.png", 127, 90},
    };
    for (const Placed& p : placed) at(p.skin, p.image, p.frames, p.frame);
    struct Text {
      int skin;
      Font font;
      const char* text;
    };
    const Text texts[] = {
        {25, Font::Regular14, "-----"},
        {33, Font::Regular12, "Major"},
        {34, Font::Regular12, "C"},
        {35, Font::Regular12, "Ionian"},
        {22, Font::Regular14, "-- WELCOME --"},
        {144, Font::Regular12, "Major"},
        {155, Font::Regular12, "Next"},
        {19, Font::Regular12, "As played"},
        {15, Font::Regular12, "Forward"},
        {128, Font::Regular12, "16"},
        {18, Font::Regular12, "1"},
        {31, Font::Regular12, "Next"},
        {32, Font::Regular12, "Max"},
        {120, Font::White12, "C0"},
        {121, Font::White12, "G10"},
        {122, Font::White12, "C3"},
        {23, Font::Regular12, "1"},
        {24, Font::Regular12, "2"},
        {21, Font::Black12, "Version 1.2.4"},
        {139, Font::Regular12, "Vardo"},
        {138, Font::Regular12, "Init"},
        {145, Font::Regular12, "Factory chords"},
    };
    for (const Text& t : texts) text(t.skin, font(t.font), t.text);
    loopMarkers();
    keyboard();
    scene();
  }

  void write(const std::string& path) { canvas_.writePng(path); }

 private:
  const MockFont& font(Font f) const {
    switch (f) {
      case Font::Regular10:
        return font10_;
      case Font::White12:
        return white12_;
      case Font::Regular14:
        return font14_;
      case Font::Black12:
        return black12_;
      case Font::Regular12:
        break;
    }
    return font12_;
  }

  Surface& image(const std::string& name) {
    auto it = images_.find(name);
    if (it == images_.end()) it = images_.emplace(name, loadPng(dir_ + "/images/" + name)).first;
    return it->second;
  }

  void patternView() {
    const SkinRect v = skin_.at(36);
    const int values[32] = {4, 2, 3, 1, 4, 2, 3, 1, 6, 2, 3, 1, 4, 2, 8, 1,
                            4, 2, 3, 1, 4, 2, 3, 1, 5, 2, 3, 1, 4, 2, 3, 7};
    for (int i = 0; i < 32; ++i) {
      const double h = values[i] * 111.0 / 8;
      const bool odd = (i / 4) % 2 == 1;
      fill(v.L + 1 + 24 * i, v.T + 111 - h, 21, h, 215, odd ? 106 : 132, odd ? 166 : 174, odd ? 236 : 225);
    }
    fill(v.L + 1 + 24 * 16, v.T, 24 * 16, 113, 100, 132, 174, 225);
    frame("noteliststrip_21x8_30frames.png", 30, 0, v.L + 1 + 24 * 5, v.T + 60);
    frame("noteliststrip_21x8_30frames.png", 30, 10, v.L + 1 + 24 * 4, v.T + 60);
    frame("noteliststrip_21x8_30frames.png", 30, 20, v.L + 1 + 24 * 3, v.T + 60);
  }

  void loopMarkers() {
    const SkinRect r = skin_.at(124);
    fill(r.L, r.T, 23, 15, 20, 107, 152, 97);
    fill(r.L + 24 * 15, r.T, 24, 15, 20, 107, 152, 97);
    frame("ptnviewloopstart_24x15.png", 1, 0, r.L, r.T);
    frame("ptnviewloopend_24x15.png", 1, 0, r.L + 24 * 15, r.T);
  }

  void keyboard() {
    const SkinRect r = skin_.at(127);
    for (int key : {12, 16, 19}) {
      fill(r.L + 16 * key, r.T, 16, 31, 215, 106, 166, 236);
      cairo_rectangle(canvas_.cr(), r.L + 16 * key + 0.5, r.T + 0.5, 15, 30);
      canvas_.setColour(rgb(0, 0, 0, 250 / 255.0));
      cairo_set_line_width(canvas_.cr(), 1);
      cairo_stroke(canvas_.cr());
    }
    frame("basenoteled_16x8.png", 2, 1, r.L + 16 * 12, r.T + 31);
  }

  void scene() {
    const SkinRect v = skin_.at(118);
    fill(v.L + 18 * 2 + 2, v.T + 2, 17, v.height() - 17, 100, 132, 174, 225);
    fill(v.L + 2, v.B - 10, 17 + 18 * 3, 2, 255, 112, 154, 225);
    for (int i = 0; i < 16; ++i) {
      text(70 + i, white12_, std::to_string(i % 4 + 1));
      text(86 + i, white12_, "32");
      text(102 + i, white12_, "1");
    }
  }

  std::string dir_;
  SkinLayout skin_;
  ArtCanvas canvas_;
  MockFont font12_, font10_, white12_, font14_, black12_;
  std::map<std::string, Surface> images_;
};

}  // namespace

MockupPainter::MockupPainter(std::string resourcesDir) : dir_(std::move(resourcesDir)) {}

void MockupPainter::write(const std::string& path) const {
  Composer composer(dir_);
  composer.compose();
  composer.write(path);
}

}  // namespace sorel::art
