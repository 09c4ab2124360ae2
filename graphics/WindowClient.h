#pragma once
// What the window host asks of the editor it shows. Every call comes on the
// window host's own thread (the editor thread), never on a host thread.
// Coordinates are in the editor's own pixels (at 1x), whatever the GUI scale.

#include "graphics/IMouseMod.h"
#include "graphics/IRECT.h"

#include <string>
#include <vector>

namespace sorel {

class IGraphics;

class WindowClient {
public:
    // Key codes of OnKeyDown.
    enum Key : int {
        kKeySpace = 0, kKeyUp = 1, kKeyDown = 2, kKeyLeft = 3, kKeyRight = 4,
        kKeyDigit0 = 5,   // '0'..'9' are 5..14
        kKeyLetterA = 15, // 'A'..'Z' and 'a'..'z' are 15..40
    };

    virtual ~WindowClient() = default;

    virtual void OnMouseDown(int x, int y, const IMouseMod& mod) = 0;
    virtual void OnMouseUp(int x, int y, const IMouseMod& mod) = 0;
    // With a button held; dx, dy since the previous drag or button press.
    virtual void OnMouseDrag(int x, int y, int dx, int dy, const IMouseMod& mod) = 0;
    // True when a control took it.
    virtual bool OnMouseDblClick(int x, int y, const IMouseMod& mod) = 0;
    // True when a control lies under the pointer.
    virtual bool OnMouseOver(int x, int y, const IMouseMod& mod) = 0;
    virtual void OnMouseOut() = 0;
    // notches: positive away from the user (up), negative towards.
    virtual void OnMouseWheel(int x, int y, const IMouseMod& mod, int notches) = 0;
    // False when the editor did not use the key: it then goes back to the host.
    virtual bool OnKeyDown(int x, int y, int key, const IMouseMod& mod) = 0;

    // Every 33 ms, before the dirty test: take the news of the other threads.
    virtual void OnTimer() = 0;
    // The area to redraw (empty when nothing changed) ...
    virtual IRECT DirtyArea() = 0;
    // ... and drawing it: the client draws that area into its canvas (device
    // pixels = editor pixels x scale), which the host then copies to the window.
    virtual void DrawArea(const IRECT& area) = 0;
    // The areas to redraw, each drawn and shown on its own, so that two small
    // changes far apart are not redrawn as the large area between them. By
    // default the one DirtyArea.
    virtual void DirtyAreas(std::vector<IRECT>& areas) { areas.assign(1, DirtyArea()); }
    virtual IGraphics& Canvas() = 0;

    // The text entry the client asked for ended: committed with the text
    // typed (at most its length limit), or cancelled.
    virtual void OnTextEntryDone(bool committed, const std::string& text) = 0;
};

}  // namespace sorel
