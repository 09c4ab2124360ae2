#pragma once
// One level of a popup menu on screen: an override-redirect window that
// draws the menu's items where its PopupMenuLayout puts them.

#include "graphics/IPopupMenu.h"
#include "graphics/PopupMenuLayout.h"

#include <X11/Xlib.h>

struct _cairo;
struct _cairo_surface;

namespace sorel {

class PopupMenuWindow {
public:
    // Placed as PopupMenuLayout places it, in screen pixels.
    PopupMenuWindow(Display* display, const IPopupMenu& menu, int rootX, int rootY, int rootAbove, int scale);
    ~PopupMenuWindow();
    PopupMenuWindow(const PopupMenuWindow&) = delete;
    PopupMenuWindow& operator=(const PopupMenuWindow&) = delete;

    Window Id() const { return window_; }
    const PopupMenuLayout& Layout() const { return layout_; }
    const IPopupMenu& Menu() const { return layout_.Menu(); }
    // As the layout's, redrawn when what shows changed.
    void Highlight(int index);
    void HighlightNext(int direction);
    void Scroll(int rows);
    void Draw();

private:
    void DrawItem(_cairo* cr, int index, double fontAscent, double fontHeight);
    void DrawScrollArrows(_cairo* cr);

    Display* display_;
    PopupMenuLayout layout_;
    Window window_ = 0;
    _cairo_surface* surface_ = nullptr;
};

}  // namespace sorel
