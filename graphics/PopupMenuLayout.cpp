#include "graphics/PopupMenuLayout.h"

#include <algorithm>

namespace sorel {

PopupMenuLayout::PopupMenuLayout(const IPopupMenu& menu, int scale, int widestText, const IRECT& screen, int x,
                                 int y, int above)
    : menu_(menu), scale_(scale) {
    const int width = std::max(kMinWidth * scale_, widestText + (kTextLeft + kTextRight) * scale_);
    int height = ContentHeight();
    scrolls_ = height > screen.H();
    if (scrolls_) height = screen.H();
    const int left = std::clamp(x, screen.L, std::max(screen.L, screen.R - width));
    const bool fitsBelow = y + height <= screen.B;
    const int top = std::clamp(fitsBelow ? y : above - height, screen.T, std::max(screen.T, screen.B - height));
    screenRect_ = {left, top, left + width, top + height};
}

int PopupMenuLayout::RowHeight(int index) const {
    return (menu_.ItemAt(index).IsSeparator() ? kSeparatorRow : kRow) * scale_;
}

int PopupMenuLayout::ContentHeight() const {
    int height = 2 * kBorder * scale_;
    for (int i = 0; i < menu_.Count(); ++i) height += RowHeight(i);
    return height;
}

int PopupMenuLayout::ArrowHeight() const { return scrolls_ ? kArrowRow * scale_ : 0; }

int PopupMenuLayout::VisibleBottom() const { return screenRect_.H() - kBorder * scale_ - ArrowHeight(); }

IRECT PopupMenuLayout::ItemScreenRect(int index) const {
    if (index < firstVisible_ || index >= menu_.Count()) return {};
    int top = kBorder * scale_ + ArrowHeight();
    for (int i = firstVisible_; i < index; ++i) top += RowHeight(i);
    if (top + RowHeight(index) > VisibleBottom()) return {};
    return IRECT{0, top, screenRect_.W(), top + RowHeight(index)}.Translated(screenRect_.L, screenRect_.T);
}

int PopupMenuLayout::HitTest(int x, int y) const {
    if (!screenRect_.Contains(x, y)) return kNoItem;
    const int inside = y - screenRect_.T;
    if (scrolls_ && inside < kBorder * scale_ + ArrowHeight()) return kScrollUp;
    if (scrolls_ && inside >= VisibleBottom()) return kScrollDown;
    for (int i = firstVisible_; i < menu_.Count(); ++i) {
        const IRECT row = ItemScreenRect(i);
        if (row.Empty()) break;
        if (row.Contains(x, y)) return i;
    }
    return kNoItem;
}

bool PopupMenuLayout::CanHighlight(int index) const {
    return index >= 0 && index < menu_.Count() && !menu_.ItemAt(index).IsSeparator() &&
           !(menu_.ItemAt(index).flags & IPopupMenu::kDisabled);
}

bool PopupMenuLayout::HighlightNext(int direction) {
    const int count = menu_.Count();
    int index = highlighted_ >= 0 ? highlighted_ : (direction > 0 ? -1 : count);
    for (int step = 0; step < count; ++step) {
        index = (index + direction + count) % count;
        if (!CanHighlight(index)) continue;
        bool scrolled = false;
        while (ItemScreenRect(index).Empty() && Scroll(index < firstVisible_ ? -1 : 1)) scrolled = true;
        return Highlight(index) || scrolled;
    }
    return false;
}

bool PopupMenuLayout::Highlight(int index) {
    const int next = CanHighlight(index) ? index : kNoItem;
    if (next == highlighted_) return false;
    highlighted_ = next;
    return true;
}

// The first visible row once the last item's row stands at the bottom.
int PopupMenuLayout::LastFirstVisible() const {
    int last = menu_.Count() - 1;
    int fit = VisibleBottom() - (kBorder * scale_ + ArrowHeight());
    for (; last > 0 && fit - RowHeight(last) >= 0; --last) fit -= RowHeight(last);
    return std::max(0, last + 1);
}

bool PopupMenuLayout::Scroll(int rows) {
    if (!scrolls_) return false;
    const int next = std::clamp(firstVisible_ + rows, 0, LastFirstVisible());
    if (next == firstVisible_) return false;
    firstVisible_ = next;
    return true;
}

}  // namespace sorel
