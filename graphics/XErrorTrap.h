#pragma once
// Keeps X protocol errors on the editor's own connections from ending the
// process. Xlib's error handler is process-wide: one handler is installed
// once, records errors for the displays registered here and hands every other
// display's errors to the handler that was there before.

#include <X11/Xlib.h>

namespace sorel {

class XErrorTrap {
public:
    // Registers the display; its errors are counted instead of reported.
    explicit XErrorTrap(Display* display);
    ~XErrorTrap();
    XErrorTrap(const XErrorTrap&) = delete;
    XErrorTrap& operator=(const XErrorTrap&) = delete;

    // Waits for the server to answer everything sent so far and tells
    // whether an error came back since the previous call.
    bool SyncAndCheck();

private:
    Display* display_;
};

}  // namespace sorel
