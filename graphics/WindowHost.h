#pragma once
// The editor's platform window on X11: a child of the host's window with its
// own X connection and its own thread (events, a 33 ms timer, drawing). The
// client (the editor) is called only on that thread. No X call is made
// before Open or on any other thread.

#include "graphics/IPopupMenu.h"
#include "graphics/IRECT.h"
#include "graphics/IText.h"
#include "graphics/TextBuffer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace sorel {

class WindowClient;

class WindowHost {
public:
    // Asks the host to give the editor a new size (audioMasterSizeWindow);
    // called on the editor thread. May be empty.
    using SizeRequest = std::function<bool(int width, int height)>;

    WindowHost(WindowClient& client, SizeRequest sizeRequest = {});
    ~WindowHost();  // closes the window
    WindowHost(const WindowHost&) = delete;
    WindowHost& operator=(const WindowHost&) = delete;

    // Any thread but the editor thread. Opens the window as a child of the
    // X window `parent` (0: a top-level window of its own), width x height
    // editor pixels times scale (1 or 2), and starts the editor thread;
    // returns once the window exists, false when it could not be made.
    bool Open(uint64_t parent, int width, int height, int scale);
    // Any thread but the editor thread: stops and joins the editor thread and
    // closes the connection. Survives a parent window already destroyed.
    void Close();
    bool IsOpen() const;
    // The X window id of our window, 0 when closed.
    uint64_t WindowId() const;

    // Any thread: wake the editor thread to redraw soon (it redraws at the
    // next timer tick anyway).
    void Wake();

    // Editor thread only (from inside a client callback):
    // New size in editor pixels or scale; resizes the window and asks the host.
    void Resize(int width, int height, int scale);
    // Shows the menu at the lower-left corner of `under` (editor pixels), or
    // above it where the screen ends below, and returns what was chosen. Runs
    // its own event loop until the menu closes; the timer and redraws go on
    // meanwhile. Empty menus return no choice.
    IPopupChoice ShowPopupMenu(const IPopupMenu& menu, const IRECT& under);
    // Opens a one-line text field over rect holding `text`, all selected, at
    // most maxLength characters of those `accepts` lets through (backspace,
    // Return, Escape and the caret keys always work); the client hears of the result through
    // OnTextEntryDone at a later timer tick. The field takes the keyboard
    // focus while it is open. Opening one while one is open cancels the old.
    void OpenTextEntry(const IRECT& rect, const IText& style, const std::string& text, int maxLength,
                       TextBuffer::Accepts accepts = TextBuffer::PrintableLatin1);
    void CancelTextEntry();
    bool TextEntryOpen() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace sorel
