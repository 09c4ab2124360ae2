#pragma once
// The one-line text entry of the window host: a child window over a control
// that holds the keyboard focus while it is open, shows its TextBuffer and
// asks, by its state, to be committed or cancelled. The window host serves
// the request at its next timer tick.

#include "graphics/IRECT.h"
#include "graphics/IText.h"
#include "graphics/TextBuffer.h"
#include "graphics/WindowEvent.h"

#include <X11/Xlib.h>

#include <string>

struct _cairo_surface;

namespace sorel {

class TextField {
public:
    enum class State { kEditing, kCommitRequested, kCancelRequested };

    // rect and style in device pixels.
    TextField(Display* display, Window parent, const IRECT& rect, const IText& style, std::string text,
              int maxLength, TextBuffer::Accepts accepts);
    ~TextField();
    TextField(const TextField&) = delete;
    TextField& operator=(const TextField&) = delete;

    Window Id() const { return window_; }
    State CurrentState() const { return state_; }
    const std::string& Text() const { return buffer_.Text(); }
    void RequestCancel();
    // An event on the field's window.
    void HandleEvent(const WindowEvent& event);

private:
    void HandleKey(const WindowEvent& key);
    void Draw();

    Display* display_;
    Window window_ = 0;
    _cairo_surface* surface_ = nullptr;
    IRECT size_;
    IText style_;
    TextBuffer buffer_;
    bool focused_ = false;
    State state_ = State::kEditing;
};

}  // namespace sorel
