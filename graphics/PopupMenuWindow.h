#pragma once
// One level of a popup menu on screen: an override-redirect window that
// lays out and draws the menu's items, scrolls when they do not fit on the
// screen, and tells which item lies under a point.

#include "graphics/IPopupMenu.h"
#include "graphics/IRECT.h"

#include <X11/Xlib.h>

struct _cairo_surface;

namespace sorel {

class PopupMenuWindow {
public:
    // Hit results besides an item index.
    static constexpr int kNoItem = -1;
    static constexpr int kScrollUp = -2;
    static constexpr int kScrollDown = -3;

    // Top-left corner at (rootX, rootY) in screen pixels; where the screen
    // ends below it, bottom edge at rootAbove instead, so that it covers
    // nothing above rootAbove. Moved inside the screen.
    PopupMenuWindow(Display* display, const IPopupMenu& menu, int rootX, int rootY, int rootAbove, int scale);
    ~PopupMenuWindow();
    PopupMenuWindow(const PopupMenuWindow&) = delete;
    PopupMenuWindow& operator=(const PopupMenuWindow&) = delete;

    Window Id() const { return window_; }
    const IPopupMenu& Menu() const { return menu_; }
    // The window on screen, in screen pixels.
    const IRECT& ScreenRect() const { return screenRect_; }
    // What lies under (rootX, rootY): an item index or one of the hit results.
    int HitTest(int rootX, int rootY) const;
    // The item's row in screen pixels (empty when scrolled out of view).
    IRECT ItemScreenRect(int index) const;
    int Highlighted() const { return highlighted_; }
    void Highlight(int index);
    // Highlights the next item that can be highlighted in the direction
    // (+1 down, -1 up), wrapping round, and scrolls it into view.
    void HighlightNext(int direction);
    // Moves the visible rows by `rows` items; false when it could not move.
    bool Scroll(int rows);
    void Draw();

private:
    bool CanHighlight(int index) const;
    int RowHeight(int index) const;
    int ContentHeight() const;
    int ArrowHeight() const;
    int VisibleBottom() const;
    bool Scrolls() const { return scrolls_; }

    Display* display_;
    const IPopupMenu& menu_;
    int scale_;
    Window window_ = 0;
    _cairo_surface* surface_ = nullptr;
    IRECT screenRect_;
    int width_ = 0;
    bool scrolls_ = false;
    int firstVisible_ = 0;
    int highlighted_ = kNoItem;
};

}  // namespace sorel
