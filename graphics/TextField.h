#pragma once
// The one-line text entry of the window host: a child window over a control
// that holds the keyboard focus while it is open, lets through the characters
// of its filter and asks, by its state, to be committed or cancelled. The
// window host serves the request at its next timer tick.

#include "graphics/IRECT.h"
#include "graphics/IText.h"
#include "graphics/WindowHost.h"

#include <X11/Xlib.h>

#include <string>

struct _cairo_surface;

namespace sorel {

class TextField {
public:
    enum class State { kEditing, kCommitRequested, kCancelRequested };

    // rect and style in device pixels.
    TextField(Display* display, Window parent, const IRECT& rect, const IText& style, std::string text,
              int maxLength, WindowHost::TextFilter filter);
    ~TextField();
    TextField(const TextField&) = delete;
    TextField& operator=(const TextField&) = delete;

    Window Id() const { return window_; }
    State CurrentState() const { return state_; }
    const std::string& Text() const { return text_; }
    void RequestCancel();
    // An event on the field's window.
    void HandleEvent(XEvent& event);

    // Whether the filter lets the Latin-1 character through.
    static bool Accepts(WindowHost::TextFilter filter, unsigned char c);

private:
    void HandleKey(XKeyEvent& key);
    void Insert(unsigned char c);
    void EraseSelectionOr(int from, int to);
    void Draw();

    Display* display_;
    Window window_ = 0;
    _cairo_surface* surface_ = nullptr;
    IRECT size_;
    IText style_;
    std::string text_;
    size_t maxLength_;
    WindowHost::TextFilter filter_;
    size_t caret_ = 0;
    bool allSelected_ = true;
    bool focused_ = false;
    State state_ = State::kEditing;
};

}  // namespace sorel
