#include "graphics/TextField.h"

#include "graphics/Latin1.h"
#include "graphics/XImageCopy.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo.h>

#include <algorithm>
#include <cmath>

namespace sorel {
namespace {

constexpr int kPadding = 2;
constexpr double kSelectionGrey = 0.75;

bool IsDigitOrSign(unsigned char c) { return (c >= '0' && c <= '9') || c == '-' || c == '+'; }

}  // namespace

bool TextField::Accepts(WindowHost::TextFilter filter, unsigned char c) {
    switch (filter) {
    case WindowHost::TextFilter::kInteger:
        return IsDigitOrSign(c) || c == '#' || (c >= 'A' && c <= 'G') || (c >= 'a' && c <= 'g');
    case WindowHost::TextFilter::kDouble: return IsDigitOrSign(c) || c == '.';
    case WindowHost::TextFilter::kAny: return (c >= 0x20 && c < 0x7F) || c >= 0xA0;
    }
    return false;
}

TextField::TextField(Display* display, Window parent, const IRECT& rect, const IText& style, std::string text,
                     int maxLength, WindowHost::TextFilter filter)
    : display_(display),
      size_{0, 0, std::max(1, rect.W()), std::max(1, rect.H())},
      style_(style),
      maxLength_(size_t(std::max(0, maxLength))),
      filter_(filter) {
    text_ = std::move(text);
    if (text_.size() > maxLength_) text_.resize(maxLength_);
    caret_ = text_.size();
    const int screen = DefaultScreen(display_);
    XSetWindowAttributes attributes{};
    attributes.event_mask = ExposureMask | KeyPressMask | FocusChangeMask | ButtonPressMask;
    attributes.background_pixel = WhitePixel(display_, screen);
    window_ = XCreateWindow(display_, parent, rect.L, rect.T, unsigned(size_.R), unsigned(size_.B), 0,
                            DefaultDepth(display_, screen), InputOutput, DefaultVisual(display_, screen),
                            CWEventMask | CWBackPixel, &attributes);
    XMapRaised(display_, window_);
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, size_.R, size_.B);
}

TextField::~TextField() {
    cairo_surface_destroy(surface_);
    XDestroyWindow(display_, window_);
}

void TextField::RequestCancel() {
    if (state_ == State::kEditing) state_ = State::kCancelRequested;
}

void TextField::HandleEvent(XEvent& event) {
    switch (event.type) {
    case Expose:
        if (event.xexpose.count == 0) Draw();
        break;
    case KeyPress: HandleKey(event.xkey); break;
    case FocusIn: focused_ = true; break;
    case FocusOut:
        // Grabs (a popup menu, the host's shortcuts) move the focus only for a while.
        if (focused_ && event.xfocus.mode == NotifyNormal && event.xfocus.detail != NotifyInferior) RequestCancel();
        break;
    default: break;
    }
}

void TextField::HandleKey(XKeyEvent& key) {
    if (state_ != State::kEditing) return;
    char buffer[8] = {};
    KeySym symbol = NoSymbol;
    const int length = XLookupString(&key, buffer, sizeof buffer, &symbol, nullptr);
    switch (symbol) {
    case XK_Return:
    case XK_KP_Enter: state_ = State::kCommitRequested; return;
    case XK_Escape: state_ = State::kCancelRequested; return;
    case XK_BackSpace: EraseSelectionOr(int(caret_) - 1, int(caret_)); break;
    case XK_Delete: EraseSelectionOr(int(caret_), int(caret_) + 1); break;
    case XK_Left: caret_ = allSelected_ ? 0 : (caret_ > 0 ? caret_ - 1 : 0); allSelected_ = false; break;
    case XK_Right: caret_ = std::min(text_.size(), allSelected_ ? text_.size() : caret_ + 1); allSelected_ = false; break;
    case XK_Home: caret_ = 0; allSelected_ = false; break;
    case XK_End: caret_ = text_.size(); allSelected_ = false; break;
    default:
        if (length == 1 && Accepts(filter_, static_cast<unsigned char>(buffer[0])))
            Insert(static_cast<unsigned char>(buffer[0]));
        break;
    }
    Draw();
}

void TextField::EraseSelectionOr(int from, int to) {
    if (allSelected_) {
        text_.clear();
        caret_ = 0;
        allSelected_ = false;
        return;
    }
    from = std::clamp(from, 0, int(text_.size()));
    to = std::clamp(to, from, int(text_.size()));
    text_.erase(size_t(from), size_t(to - from));
    caret_ = size_t(from);
}

void TextField::Insert(unsigned char c) {
    if (allSelected_) EraseSelectionOr(0, 0);
    if (text_.size() >= maxLength_) return;
    text_.insert(caret_, 1, static_cast<char>(c));
    ++caret_;
}

void TextField::Draw() {
    cairo_t* cr = cairo_create(surface_);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, 0.5, 0.5, size_.R - 1, size_.B - 1);
    cairo_stroke(cr);
    cairo_select_font_face(cr, style_.face.c_str(), CAIRO_FONT_SLANT_NORMAL,
                           style_.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, std::max(1, style_.size));
    const std::string all = Latin1ToUtf8(text_);
    const std::string beforeCaret = Latin1ToUtf8(std::string_view(text_).substr(0, caret_));
    cairo_text_extents_t whole, head;
    cairo_text_extents(cr, all.c_str(), &whole);
    cairo_text_extents(cr, beforeCaret.c_str(), &head);
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    double x = kPadding;
    if (style_.align == IText::kAlignCenter) x = (size_.R - whole.x_advance) / 2.0;
    if (style_.align == IText::kAlignFar) x = size_.R - kPadding - whole.x_advance;
    const double top = (size_.B - (font.ascent + font.descent)) / 2.0;
    if (allSelected_ && !text_.empty()) {
        cairo_set_source_rgb(cr, kSelectionGrey, kSelectionGrey, 1.0);
        cairo_rectangle(cr, x, top, whole.x_advance, font.ascent + font.descent);
        cairo_fill(cr);
    }
    // The control's font but not its colour: a light text would vanish on the field.
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_move_to(cr, x, top + font.ascent);
    cairo_show_text(cr, all.c_str());
    if (!allSelected_) {
        const double caretX = std::floor(x + head.x_advance) + 0.5;
        cairo_move_to(cr, caretX, top);
        cairo_line_to(cr, caretX, top + font.ascent + font.descent);
        cairo_stroke(cr);
    }
    cairo_destroy(cr);
    CopyImageToWindow(display_, window_, surface_, size_);
    XFlush(display_);
}

}  // namespace sorel
