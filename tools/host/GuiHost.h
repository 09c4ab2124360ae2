// A plug-in window for any VST 2 editor: a top-level X11 window that the
// editor opens in, idled every 40 ms and resized when the editor asks, until
// the window is closed or the process is interrupted.
#pragma once

#include "HostedPlugin.h"

#include <ostream>
#include <string>

namespace sorel::host {

class GuiHost {
public:
    // From here on SIGINT and SIGTERM end the window like its close button,
    // and Xlib is ready for threads. Made before the plug-in is loaded and any
    // thread starts, so that every thread inherits the blocked signals and
    // only the window hears them.
    explicit GuiHost(std::ostream& out);
    ~GuiHost();
    GuiHost(const GuiHost&) = delete;
    GuiHost& operator=(const GuiHost&) = delete;

    // Runs until the window closes or the process is interrupted; false with
    // a message in `error` when no window could be shown.
    bool run(HostedPlugin& plugin, std::string& error);

private:
    std::ostream& out_;
    int interrupts_;
};

}  // namespace sorel::host
