#include "graphics/PopupMenuWindow.h"

#include "graphics/Latin1.h"
#include "graphics/XImageCopy.h"

#include <X11/Xutil.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace sorel {
namespace {

constexpr double kFontSize = 13.0;
constexpr const char* kFontFace = "Sans";

struct Shade {
    double r, g, b;
};
constexpr Shade kBackground{0.94, 0.94, 0.94};
constexpr Shade kHighlight{0.26, 0.45, 0.76};
constexpr Shade kText{0.0, 0.0, 0.0};
constexpr Shade kHighlightText{1.0, 1.0, 1.0};
constexpr Shade kGreyText{0.55, 0.55, 0.55};
constexpr Shade kLine{0.6, 0.6, 0.6};

void SetShade(cairo_t* cr, const Shade& shade) { cairo_set_source_rgb(cr, shade.r, shade.g, shade.b); }

void SelectMenuFont(cairo_t* cr, int scale) {
    cairo_select_font_face(cr, kFontFace, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, kFontSize * scale);
}

int MeasureWidestItem(const IPopupMenu& menu, int scale) {
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(scratch);
    SelectMenuFont(cr, scale);
    double widest = 0;
    for (const IPopupMenu::Item& item : menu.Items()) {
        if (item.IsSeparator()) continue;
        cairo_text_extents_t extents;
        cairo_text_extents(cr, Latin1ToUtf8(item.text).c_str(), &extents);
        widest = std::max(widest, extents.x_advance);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
    return static_cast<int>(widest + 0.5);
}

}  // namespace

// The widest text is measured before the layout is made, so that the window
// is made once at its final place and size.
PopupMenuWindow::PopupMenuWindow(Display* display, const IPopupMenu& menu, int rootX, int rootY, int rootAbove,
                                 int scale)
    : display_(display),
      layout_(menu, scale, MeasureWidestItem(menu, scale),
              {0, 0, DisplayWidth(display, DefaultScreen(display)), DisplayHeight(display, DefaultScreen(display))},
              rootX, rootY, rootAbove) {
    const int screen = DefaultScreen(display_);
    const IRECT& place = layout_.ScreenRect();
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.save_under = True;
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
    attributes.background_pixel = WhitePixel(display_, screen);
    window_ = XCreateWindow(display_, RootWindow(display_, screen), place.L, place.T, unsigned(place.W()),
                            unsigned(place.H()), 0, DefaultDepth(display_, screen), InputOutput,
                            DefaultVisual(display_, screen), CWOverrideRedirect | CWSaveUnder | CWEventMask | CWBackPixel,
                            &attributes);
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, place.W(), place.H());
    XMapRaised(display_, window_);
}

PopupMenuWindow::~PopupMenuWindow() {
    cairo_surface_destroy(surface_);
    XDestroyWindow(display_, window_);
}

void PopupMenuWindow::Highlight(int index) {
    if (layout_.Highlight(index)) Draw();
}

void PopupMenuWindow::HighlightNext(int direction) {
    if (layout_.HighlightNext(direction)) Draw();
}

void PopupMenuWindow::Scroll(int rows) {
    if (layout_.Scroll(rows)) Draw();
}

void PopupMenuWindow::Draw() {
    const int scale = layout_.Scale();
    const IRECT& place = layout_.ScreenRect();
    cairo_t* cr = cairo_create(surface_);
    SetShade(cr, kBackground);
    cairo_paint(cr);
    SetShade(cr, kLine);
    cairo_set_line_width(cr, scale);
    cairo_rectangle(cr, scale / 2.0, scale / 2.0, place.W() - scale, place.H() - scale);
    cairo_stroke(cr);
    SelectMenuFont(cr, scale);
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    for (int i = 0; i < layout_.Menu().Count(); ++i)
        if (!layout_.ItemScreenRect(i).Empty()) DrawItem(cr, i, font.ascent, font.ascent + font.descent);
    if (layout_.Scrolls()) DrawScrollArrows(cr);
    cairo_destroy(cr);
    CopyImageToWindow(display_, window_, surface_, {0, 0, place.W(), place.H()});
    XFlush(display_);
}

void PopupMenuWindow::DrawItem(cairo_t* cr, int index, double fontAscent, double fontHeight) {
    const int scale = layout_.Scale();
    const int width = layout_.ScreenRect().W();
    const IRECT row = layout_.ItemScreenRect(index).Translated(-layout_.ScreenRect().L, -layout_.ScreenRect().T);
    const IPopupMenu::Item& item = layout_.Menu().ItemAt(index);
    const bool highlighted = index == layout_.Highlighted();
    const double middle = row.T + row.H() / 2.0;
    if (item.IsSeparator()) {
        SetShade(cr, kLine);
        cairo_move_to(cr, 4 * scale, std::floor(middle) + 0.5);
        cairo_line_to(cr, width - 4 * scale, std::floor(middle) + 0.5);
        cairo_stroke(cr);
        return;
    }
    if (highlighted) {
        SetShade(cr, kHighlight);
        cairo_rectangle(cr, row.L + scale, row.T, row.W() - 2 * scale, row.H());
        cairo_fill(cr);
    }
    const bool grey = (item.flags & (IPopupMenu::kGreyed | IPopupMenu::kDisabled)) != 0;
    SetShade(cr, grey ? kGreyText : (highlighted ? kHighlightText : kText));
    if (item.flags & IPopupMenu::kChecked) {
        cairo_move_to(cr, 6 * scale, middle);
        cairo_line_to(cr, 9 * scale, middle + 4 * scale);
        cairo_line_to(cr, 16 * scale, middle - 5 * scale);
        cairo_set_line_width(cr, 2 * scale);
        cairo_stroke(cr);
    }
    if (item.submenu) {
        const double tip = width - 8 * scale;
        cairo_move_to(cr, tip - 5 * scale, middle - 4 * scale);
        cairo_line_to(cr, tip, middle);
        cairo_line_to(cr, tip - 5 * scale, middle + 4 * scale);
        cairo_fill(cr);
    }
    cairo_move_to(cr, PopupMenuLayout::kTextLeft * scale, middle - fontHeight / 2.0 + fontAscent);
    cairo_show_text(cr, Latin1ToUtf8(item.text).c_str());
}

void PopupMenuWindow::DrawScrollArrows(cairo_t* cr) {
    const int scale = layout_.Scale();
    SetShade(cr, kText);
    const double centre = layout_.ScreenRect().W() / 2.0;
    const double up = (PopupMenuLayout::kBorder + PopupMenuLayout::kArrowRow / 2.0) * scale;
    const double down = layout_.ScreenRect().H() - up;
    for (const auto& [y, sign] : {std::pair{up, -1.0}, std::pair{down, 1.0}}) {
        cairo_move_to(cr, centre - 5 * scale, y - sign * 3 * scale);
        cairo_line_to(cr, centre + 5 * scale, y - sign * 3 * scale);
        cairo_line_to(cr, centre, y + sign * 3 * scale);
        cairo_fill(cr);
    }
}

}  // namespace sorel
