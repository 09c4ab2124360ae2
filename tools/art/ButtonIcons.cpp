#include "tools/art/ButtonIcons.h"

#include <cmath>

namespace sorel::art {

namespace {
void strokeWith(const ArtCanvas& canvas, const Colour& c, double width) {
  canvas.setColour(c);
  cairo_set_line_width(canvas.cr(), width);
  cairo_stroke(canvas.cr());
}
}  // namespace

IconPainter ButtonIcons::text(std::string caption, double pixelSize) const {
  return [this, caption, pixelSize](const ArtCanvas& canvas, const Box& face, bool on) {
    bold_.drawCentred(canvas, caption, pixelSize, face.centreX(), face.centreY(), ButtonArt::iconColour(on));
  };
}

IconPainter ButtonIcons::led() const {
  return [](const ArtCanvas& canvas, const Box& face, bool on) {
    cairo_t* cr = canvas.cr();
    const double cx = face.centreX(), cy = face.centreY();
    if (on) {
      cairo_pattern_t* glow = cairo_pattern_create_radial(cx, cy, 0, cx, cy, 8);
      cairo_pattern_add_color_stop_rgba(glow, 0, theme::accent.r, theme::accent.g, theme::accent.b, 0.7);
      cairo_pattern_add_color_stop_rgba(glow, 1, theme::accent.r, theme::accent.g, theme::accent.b, 0.0);
      cairo_arc(cr, cx, cy, 8, 0, 2 * M_PI);
      cairo_set_source(cr, glow);
      cairo_fill(cr);
      cairo_pattern_destroy(glow);
    }
    cairo_arc(cr, cx, cy, 3.5, 0, 2 * M_PI);
    canvas.setColour(on ? theme::accentGlow : rgb(20, 23, 28));
    cairo_fill_preserve(cr);
    strokeWith(canvas, on ? theme::accent : rgb(90, 98, 110), 1.0);
  };
}

IconPainter ButtonIcons::arrow(bool pointsRight) const {
  return [pointsRight](const ArtCanvas& canvas, const Box& face, bool on) {
    cairo_t* cr = canvas.cr();
    const double cx = face.centreX(), cy = face.centreY(), s = face.h * 0.22;
    const double d = pointsRight ? 1 : -1;
    cairo_move_to(cr, cx + d * s * 1.1, cy);
    cairo_line_to(cr, cx - d * s * 0.8, cy - s * 1.2);
    cairo_line_to(cr, cx - d * s * 0.8, cy + s * 1.2);
    cairo_close_path(cr);
    canvas.setColour(ButtonArt::iconColour(on));
    cairo_fill(cr);
  };
}

IconPainter ButtonIcons::chevrons(bool pointsRight) const {
  return [pointsRight](const ArtCanvas& canvas, const Box& face, bool on) {
    cairo_t* cr = canvas.cr();
    const double cx = face.centreX(), cy = face.centreY(), d = pointsRight ? 1 : -1;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (double shift : {-2.5, 2.5}) {
      cairo_move_to(cr, cx + shift - d * 2, cy - 4);
      cairo_line_to(cr, cx + shift + d * 2, cy);
      cairo_line_to(cr, cx + shift - d * 2, cy + 4);
    }
    strokeWith(canvas, ButtonArt::iconColour(on), 1.6);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  };
}

IconPainter ButtonIcons::resize() const {
  return [](const ArtCanvas& canvas, const Box& face, bool on) {
    cairo_t* cr = canvas.cr();
    const double cx = face.centreX(), cy = face.centreY();
    // Up when the window is compact (on), down to fold it (off).
    const double d = on ? -1 : 1;
    cairo_move_to(cr, cx - 4, cy - d * 2);
    cairo_line_to(cr, cx, cy + d * 2);
    cairo_line_to(cr, cx + 4, cy - d * 2);
    strokeWith(canvas, ButtonArt::iconColour(on), 1.5);
  };
}

IconPainter ButtonIcons::padlock() const {
  return [](const ArtCanvas& canvas, const Box& face, bool on) {
    cairo_t* cr = canvas.cr();
    const double cx = face.centreX(), top = face.y + 4;
    const Colour c = ButtonArt::iconColour(on);
    // Shackle: closed when locked, swung open to the right when not.
    const double shackleX = on ? cx : cx + 3;
    cairo_new_sub_path(cr);
    cairo_arc(cr, shackleX, top + 4, 3, M_PI, 2 * M_PI);
    cairo_line_to(cr, shackleX + 3, top + (on ? 7 : 5));
    cairo_move_to(cr, shackleX - 3, top + 4);
    cairo_line_to(cr, shackleX - 3, top + 7);
    strokeWith(canvas, c, 1.5);
    canvas.fillRounded(Box{cx - 5, top + 7, 10, 7.5}, 1.2, c);
    cairo_arc(cr, cx, top + 10.5, 1.1, 0, 2 * M_PI);
    canvas.setColour(on ? theme::accentDeep : theme::buttonBottom);
    cairo_fill(cr);
  };
}

IconPainter ButtonIcons::warning() const {
  return [this](const ArtCanvas& canvas, const Box& face, bool on) {
    cairo_t* cr = canvas.cr();
    const double cx = face.centreX(), cy = face.centreY();
    cairo_move_to(cr, cx, cy - 6.5);
    cairo_line_to(cr, cx + 7.5, cy + 6);
    cairo_line_to(cr, cx - 7.5, cy + 6);
    cairo_close_path(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    strokeWith(canvas, ButtonArt::iconColour(on), 1.4);
    bold_.drawCentred(canvas, "!", 9, cx, cy + 1.2, ButtonArt::iconColour(on));
  };
}

IconPainter ButtonIcons::target() const {
  return [](const ArtCanvas& canvas, const Box& face, bool on) {
    cairo_t* cr = canvas.cr();
    const double cx = face.centreX(), cy = face.centreY();
    cairo_arc(cr, cx, cy, 6, 0, 2 * M_PI);
    strokeWith(canvas, ButtonArt::iconColour(on), 1.3);
    cairo_arc(cr, cx, cy, 2.2, 0, 2 * M_PI);
    canvas.setColour(ButtonArt::iconColour(on));
    cairo_fill(cr);
  };
}

IconPainter ButtonIcons::cross() const {
  return [](const ArtCanvas& canvas, const Box& face, bool on) {
    cairo_t* cr = canvas.cr();
    const double cx = face.centreX(), cy = face.centreY(), s = 5;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, cx - s, cy - s);
    cairo_line_to(cr, cx + s, cy + s);
    cairo_move_to(cr, cx + s, cy - s);
    cairo_line_to(cr, cx - s, cy + s);
    strokeWith(canvas, ButtonArt::iconColour(on), 2.0);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  };
}

IconPainter ButtonIcons::copy() const {
  return [](const ArtCanvas& canvas, const Box& face, bool on) {
    const double cx = face.centreX(), cy = face.centreY();
    const Colour c = ButtonArt::iconColour(on);
    canvas.strokeRounded(Box{cx - 6.5, cy - 7.5, 9, 11}, 1.5, c, 1.3);
    canvas.fillRounded(Box{cx - 2.5, cy - 3.5, 9, 11}, 1.5, on ? theme::accentDeep : theme::buttonBottom);
    canvas.strokeRounded(Box{cx - 2.5, cy - 3.5, 9, 11}, 1.5, c, 1.3);
  };
}

IconPainter ButtonIcons::paste() const {
  return [](const ArtCanvas& canvas, const Box& face, bool on) {
    const double cx = face.centreX(), cy = face.centreY();
    const Colour c = ButtonArt::iconColour(on);
    canvas.strokeRounded(Box{cx - 6, cy - 6.5, 12, 14}, 1.5, c, 1.3);
    canvas.fillRounded(Box{cx - 3, cy - 8.5, 6, 4}, 1.0, c);
    for (double y : {cy - 1.5, cy + 1.5, cy + 4.5}) canvas.line(cx - 3.5, y, cx + 3.5, y, c, 1.0);
  };
}

IconPainter ButtonIcons::pencil() const {
  return [](const ArtCanvas& canvas, const Box& face, bool on) {
    cairo_t* cr = canvas.cr();
    const double cx = face.centreX(), cy = face.centreY();
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, -M_PI / 4);
    const Colour c = ButtonArt::iconColour(on);
    cairo_rectangle(cr, -5, -2, 10, 4);
    strokeWith(canvas, c, 1.3);
    cairo_move_to(cr, 5, -2);
    cairo_line_to(cr, 9, 0);
    cairo_line_to(cr, 5, 2);
    cairo_close_path(cr);
    canvas.setColour(c);
    cairo_fill(cr);
    cairo_rectangle(cr, -8, -2, 2.5, 4);
    cairo_fill(cr);
    cairo_restore(cr);
  };
}

IconPainter ButtonIcons::dice() const {
  return [](const ArtCanvas& canvas, const Box& face, bool on) {
    cairo_t* cr = canvas.cr();
    const double cx = face.centreX(), cy = face.centreY();
    const Colour c = ButtonArt::iconColour(on);
    canvas.strokeRounded(Box{cx - 7, cy - 7, 14, 14}, 2.5, c, 1.3);
    for (auto [dx, dy] : {std::pair{-3.5, -3.5}, std::pair{0.0, 0.0}, std::pair{3.5, 3.5}, std::pair{3.5, -3.5},
                          std::pair{-3.5, 3.5}}) {
      cairo_arc(cr, cx + dx, cy + dy, 1.2, 0, 2 * M_PI);
      canvas.setColour(c);
      cairo_fill(cr);
    }
  };
}

IconPainter ButtonIcons::selection() const {
  return [](const ArtCanvas& canvas, const Box& face, bool on) {
    cairo_t* cr = canvas.cr();
    const double cx = face.centreX(), cy = face.centreY();
    const double dashes[] = {2.0, 1.5};
    cairo_set_dash(cr, dashes, 2, 0);
    cairo_rectangle(cr, cx - 8.5, cy - 6.5, 17, 13);
    strokeWith(canvas, ButtonArt::iconColour(on), 1.2);
    cairo_set_dash(cr, nullptr, 0, 0);
    canvas.fillRounded(Box{cx - 4, cy - 2.5, 8, 5}, 0.5, on ? theme::accent : theme::labelDim);
  };
}

}  // namespace sorel::art
