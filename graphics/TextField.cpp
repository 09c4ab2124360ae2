#include "graphics/TextField.h"

#include "graphics/Latin1.h"
#include "graphics/XImageCopy.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

namespace sorel {
namespace {

constexpr int kPadding = 2;
constexpr double kSelectionGrey = 0.75;

}  // namespace

TextField::TextField(Display* display, Window parent, const IRECT& rect, const IText& style, std::string text,
                     int maxLength, TextBuffer::Accepts accepts)
    : display_(display),
      size_{0, 0, std::max(1, rect.W()), std::max(1, rect.H())},
      style_(style),
      buffer_(std::move(text), maxLength, std::move(accepts)) {
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

void TextField::HandleEvent(const WindowEvent& event) {
    using Type = WindowEvent::Type;
    switch (event.type) {
    case Type::kExpose:
        if (event.lastExpose) Draw();
        break;
    case Type::kKeyPress: HandleKey(event); break;
    case Type::kFocusIn: focused_ = true; break;
    case Type::kFocusOut:
        // Grabs (a popup menu, the host's shortcuts) move the focus only for a while.
        if (focused_ && event.focusLasting) RequestCancel();
        break;
    default: break;
    }
}

void TextField::HandleKey(const WindowEvent& key) {
    if (state_ != State::kEditing) return;
    switch (key.key) {
    case WindowEvent::Key::kReturn: state_ = State::kCommitRequested; return;
    case WindowEvent::Key::kEscape: state_ = State::kCancelRequested; return;
    default: buffer_.Press(key.key, key.character); break;
    }
    Draw();
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
    const std::string all = Latin1ToUtf8(buffer_.Text());
    const std::string beforeCaret = Latin1ToUtf8(std::string_view(buffer_.Text()).substr(0, buffer_.Caret()));
    cairo_text_extents_t whole, head;
    cairo_text_extents(cr, all.c_str(), &whole);
    cairo_text_extents(cr, beforeCaret.c_str(), &head);
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    double x = kPadding;
    if (style_.align == IText::kAlignCenter) x = (size_.R - whole.x_advance) / 2.0;
    if (style_.align == IText::kAlignFar) x = size_.R - kPadding - whole.x_advance;
    const double top = (size_.B - (font.ascent + font.descent)) / 2.0;
    if (buffer_.AllSelected() && !buffer_.Text().empty()) {
        cairo_set_source_rgb(cr, kSelectionGrey, kSelectionGrey, 1.0);
        cairo_rectangle(cr, x, top, whole.x_advance, font.ascent + font.descent);
        cairo_fill(cr);
    }
    // The control's font but not its colour: a light text would vanish on the field.
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_move_to(cr, x, top + font.ascent);
    cairo_show_text(cr, all.c_str());
    if (!buffer_.AllSelected()) {
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
