#pragma once
// The one place where an X event becomes a WindowEvent.

#include "graphics/WindowEvent.h"

#include <X11/Xlib.h>

namespace sorel {

// Editor thread. A keyboard mapping change is served here (xdotool and input
// methods remap keys on the fly) and comes out as WindowEvent::Type::kNone.
WindowEvent TranslateXEvent(XEvent& event);

// The X key event that gives `key` back to X, as sent to `window`.
XKeyEvent NativeKeyEvent(Display* display, const WindowEvent& key, Window window, Window subwindow);

}  // namespace sorel
