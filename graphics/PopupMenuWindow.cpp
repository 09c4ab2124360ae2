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

// Sizes at 1x, multiplied by the GUI scale.
constexpr int kRow = 20;
constexpr int kSeparatorRow = 7;
constexpr int kArrowRow = 14;
constexpr int kBorder = 2;
constexpr int kTextLeft = 22;   // room for the tick
constexpr int kTextRight = 24;  // room for a submenu's arrow
constexpr int kMinWidth = 80;
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

PopupMenuWindow::PopupMenuWindow(Display* display, const IPopupMenu& menu, int rootX, int rootY, int rootAbove,
                                 int scale)
    : display_(display), menu_(menu), scale_(scale) {
    const int screen = DefaultScreen(display_);
    const int screenWidth = DisplayWidth(display_, screen);
    const int screenHeight = DisplayHeight(display_, screen);
    width_ = std::max(kMinWidth * scale_, MeasureWidestItem(menu_, scale_) + (kTextLeft + kTextRight) * scale_);
    int height = ContentHeight();
    scrolls_ = height > screenHeight;
    if (scrolls_) height = screenHeight;
    const int x = std::clamp(rootX, 0, std::max(0, screenWidth - width_));
    const bool fitsBelow = rootY + height <= screenHeight;
    const int y = std::clamp(fitsBelow ? rootY : rootAbove - height, 0, std::max(0, screenHeight - height));
    screenRect_ = {x, y, x + width_, y + height};

    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.save_under = True;
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
    attributes.background_pixel = WhitePixel(display_, screen);
    window_ = XCreateWindow(display_, RootWindow(display_, screen), x, y, unsigned(width_), unsigned(height), 0,
                            DefaultDepth(display_, screen), InputOutput, DefaultVisual(display_, screen),
                            CWOverrideRedirect | CWSaveUnder | CWEventMask | CWBackPixel, &attributes);
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height);
    XMapRaised(display_, window_);
}

PopupMenuWindow::~PopupMenuWindow() {
    cairo_surface_destroy(surface_);
    XDestroyWindow(display_, window_);
}

int PopupMenuWindow::RowHeight(int index) const {
    return (menu_.ItemAt(index).IsSeparator() ? kSeparatorRow : kRow) * scale_;
}

int PopupMenuWindow::ContentHeight() const {
    int height = 2 * kBorder * scale_;
    for (int i = 0; i < menu_.Count(); ++i) height += RowHeight(i);
    return height;
}

int PopupMenuWindow::ArrowHeight() const { return scrolls_ ? kArrowRow * scale_ : 0; }

int PopupMenuWindow::VisibleBottom() const { return screenRect_.H() - kBorder * scale_ - ArrowHeight(); }

IRECT PopupMenuWindow::ItemScreenRect(int index) const {
    if (index < firstVisible_ || index >= menu_.Count()) return {};
    int top = kBorder * scale_ + ArrowHeight();
    for (int i = firstVisible_; i < index; ++i) top += RowHeight(i);
    if (top + RowHeight(index) > VisibleBottom()) return {};
    return IRECT{0, top, width_, top + RowHeight(index)}.Translated(screenRect_.L, screenRect_.T);
}

int PopupMenuWindow::HitTest(int rootX, int rootY) const {
    if (!screenRect_.Contains(rootX, rootY)) return kNoItem;
    const int y = rootY - screenRect_.T;
    if (scrolls_ && y < kBorder * scale_ + ArrowHeight()) return kScrollUp;
    if (scrolls_ && y >= VisibleBottom()) return kScrollDown;
    for (int i = firstVisible_; i < menu_.Count(); ++i) {
        const IRECT row = ItemScreenRect(i);
        if (row.Empty()) break;
        if (row.Contains(rootX, rootY)) return i;
    }
    return kNoItem;
}

bool PopupMenuWindow::CanHighlight(int index) const {
    return index >= 0 && index < menu_.Count() && !menu_.ItemAt(index).IsSeparator() &&
           !(menu_.ItemAt(index).flags & IPopupMenu::kDisabled);
}

void PopupMenuWindow::HighlightNext(int direction) {
    const int count = menu_.Count();
    int index = highlighted_ >= 0 ? highlighted_ : (direction > 0 ? -1 : count);
    for (int step = 0; step < count; ++step) {
        index = (index + direction + count) % count;
        if (!CanHighlight(index)) continue;
        while (ItemScreenRect(index).Empty() && Scroll(index < firstVisible_ ? -1 : 1)) {
        }
        Highlight(index);
        return;
    }
}

void PopupMenuWindow::Highlight(int index) {
    const int next = CanHighlight(index) ? index : kNoItem;
    if (next == highlighted_) return;
    highlighted_ = next;
    Draw();
}

bool PopupMenuWindow::Scroll(int rows) {
    if (!scrolls_) return false;
    int last = menu_.Count() - 1;
    // The last item's row must stay at the bottom once it is in view.
    int fit = VisibleBottom() - (kBorder * scale_ + ArrowHeight());
    for (; last > 0 && fit - RowHeight(last) >= 0; --last) fit -= RowHeight(last);
    const int maxFirst = std::max(0, last + 1);
    const int next = std::clamp(firstVisible_ + rows, 0, maxFirst);
    if (next == firstVisible_) return false;
    firstVisible_ = next;
    Draw();
    return true;
}

void PopupMenuWindow::Draw() {
    cairo_t* cr = cairo_create(surface_);
    SetShade(cr, kBackground);
    cairo_paint(cr);
    SetShade(cr, kLine);
    cairo_set_line_width(cr, scale_);
    cairo_rectangle(cr, scale_ / 2.0, scale_ / 2.0, width_ - scale_, screenRect_.H() - scale_);
    cairo_stroke(cr);
    SelectMenuFont(cr, scale_);
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    for (int i = firstVisible_; i < menu_.Count(); ++i) {
        const IRECT row = ItemScreenRect(i).Translated(-screenRect_.L, -screenRect_.T);
        if (row.Empty()) break;
        const IPopupMenu::Item& item = menu_.ItemAt(i);
        const double middle = row.T + row.H() / 2.0;
        if (item.IsSeparator()) {
            SetShade(cr, kLine);
            cairo_move_to(cr, 4 * scale_, std::floor(middle) + 0.5);
            cairo_line_to(cr, width_ - 4 * scale_, std::floor(middle) + 0.5);
            cairo_stroke(cr);
            continue;
        }
        if (i == highlighted_) {
            SetShade(cr, kHighlight);
            cairo_rectangle(cr, row.L + scale_, row.T, row.W() - 2 * scale_, row.H());
            cairo_fill(cr);
        }
        const bool grey = (item.flags & (IPopupMenu::kGreyed | IPopupMenu::kDisabled)) != 0;
        SetShade(cr, grey ? kGreyText : (i == highlighted_ ? kHighlightText : kText));
        if (item.flags & IPopupMenu::kChecked) {
            cairo_move_to(cr, 6 * scale_, middle);
            cairo_line_to(cr, 9 * scale_, middle + 4 * scale_);
            cairo_line_to(cr, 16 * scale_, middle - 5 * scale_);
            cairo_set_line_width(cr, 2 * scale_);
            cairo_stroke(cr);
        }
        if (item.submenu) {
            const double tip = width_ - 8 * scale_;
            cairo_move_to(cr, tip - 5 * scale_, middle - 4 * scale_);
            cairo_line_to(cr, tip, middle);
            cairo_line_to(cr, tip - 5 * scale_, middle + 4 * scale_);
            cairo_fill(cr);
        }
        cairo_move_to(cr, kTextLeft * scale_, middle - (font.ascent + font.descent) / 2.0 + font.ascent);
        cairo_show_text(cr, Latin1ToUtf8(item.text).c_str());
    }
    if (scrolls_) {
        SetShade(cr, kText);
        const double centre = width_ / 2.0;
        const double up = (kBorder + kArrowRow / 2.0) * scale_;
        const double down = screenRect_.H() - up;
        for (const auto& [y, sign] : {std::pair{up, -1.0}, std::pair{down, 1.0}}) {
            cairo_move_to(cr, centre - 5 * scale_, y - sign * 3 * scale_);
            cairo_line_to(cr, centre + 5 * scale_, y - sign * 3 * scale_);
            cairo_line_to(cr, centre, y + sign * 3 * scale_);
            cairo_fill(cr);
        }
    }
    cairo_destroy(cr);
    CopyImageToWindow(display_, window_, surface_, {0, 0, width_, screenRect_.H()});
    XFlush(display_);
}

}  // namespace sorel
