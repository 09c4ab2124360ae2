#pragma once
// A private X server for the tests that need a real one: Xvfb on a display
// number it picks itself, started once per test process and stopped at exit.
// DISPLAY points at it once it runs.

#include <string>

struct _XDisplay;  // Xlib's, without its macros in every test

namespace sorel::testing {

class XvfbServer {
public:
    // The server, started on first use; Running() is false when Xvfb could
    // not be started (tests then skip).
    static XvfbServer& Instance();
    ~XvfbServer();

    bool Running() const { return pid_ > 0; }
    const std::string& Display() const { return display_; }
    // Runs xdotool with the arguments on this server; true when it succeeded.
    bool Xdotool(const std::string& arguments) const;

private:
    XvfbServer();
    int pid_ = -1;
    std::string display_;
};

// The first child of a window (the editor inside the window a test hands
// it as parent); 0 when it has none.
unsigned long FirstChildWindow(_XDisplay* display, unsigned long parent);

}  // namespace sorel::testing
