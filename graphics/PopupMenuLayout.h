#pragma once
// Where one level of a popup menu stands on the screen and what lies where
// in it: its place (below a point, or above where the screen ends), the rows
// of its items, the scroll arrows of a menu taller than the screen, which
// rows show, and which item is highlighted. Screen pixels throughout.

#include "graphics/IPopupMenu.h"
#include "graphics/IRECT.h"

namespace sorel {

class PopupMenuLayout {
public:
    // Hit results besides an item index.
    static constexpr int kNoItem = -1;
    static constexpr int kScrollUp = -2;
    static constexpr int kScrollDown = -3;

    // Sizes at 1x, multiplied by the GUI scale.
    static constexpr int kRow = 20;
    static constexpr int kSeparatorRow = 7;
    static constexpr int kArrowRow = 14;
    static constexpr int kBorder = 2;
    static constexpr int kTextLeft = 22;   // room for the tick
    static constexpr int kTextRight = 24;  // room for a submenu's arrow
    static constexpr int kMinWidth = 80;

    // Top-left corner at (x, y), as wide as the widest item's text (in
    // screen pixels) needs; where the screen ends below it, bottom edge at
    // `above` instead, so that it covers nothing above `above`. Moved inside
    // the screen; scrolls when it is taller than the screen.
    PopupMenuLayout(const IPopupMenu& menu, int scale, int widestText, const IRECT& screen, int x, int y, int above);

    const IPopupMenu& Menu() const { return menu_; }
    int Scale() const { return scale_; }
    const IRECT& ScreenRect() const { return screenRect_; }
    bool Scrolls() const { return scrolls_; }
    // What lies under (x, y): an item index or one of the hit results.
    int HitTest(int x, int y) const;
    // The item's row (empty when scrolled out of view).
    IRECT ItemScreenRect(int index) const;

    int Highlighted() const { return highlighted_; }
    // Each returns whether what shows changed.
    bool Highlight(int index);
    // Highlights the next item that can be highlighted in the direction
    // (+1 down, -1 up), wrapping round, and scrolls it into view.
    bool HighlightNext(int direction);
    // Moves the visible rows by `rows` items.
    bool Scroll(int rows);

private:
    bool CanHighlight(int index) const;
    int RowHeight(int index) const;
    int ContentHeight() const;
    int ArrowHeight() const;
    int VisibleBottom() const;
    int LastFirstVisible() const;

    const IPopupMenu& menu_;
    int scale_;
    IRECT screenRect_;
    bool scrolls_ = false;
    int firstVisible_ = 0;
    int highlighted_ = kNoItem;
};

}  // namespace sorel
