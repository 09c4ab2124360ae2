#include "graphics/PopupMenuTracker.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace sorel {
namespace {

constexpr unsigned kPointerEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
constexpr unsigned kWheelUp = Button4;
constexpr unsigned kWheelDown = Button5;

}  // namespace

PopupMenuTracker::PopupMenuTracker(Display* display, const IPopupMenu& menu, const IRECT& under, int scale)
    : display_(display), scale_(scale) {
    levels_.push_back(std::make_unique<PopupMenuWindow>(display_, menu, under.L, under.B, under.T, scale_));
    const Window top = levels_.front()->Id();
    XGrabPointer(display_, top, True, kPointerEvents, GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
    XGrabKeyboard(display_, top, True, GrabModeAsync, GrabModeAsync, CurrentTime);
    atOpen_ = HitTest(under.L, under.B);
    hover_ = atOpen_;
}

PopupMenuTracker::~PopupMenuTracker() {
    XUngrabPointer(display_, CurrentTime);
    XUngrabKeyboard(display_, CurrentTime);
    levels_.clear();
    XFlush(display_);
}

bool PopupMenuTracker::OwnsWindow(Window window) const {
    for (const auto& level : levels_)
        if (level->Id() == window) return true;
    return false;
}

PopupMenuTracker::Hit PopupMenuTracker::HitTest(int rootX, int rootY) const {
    for (int level = int(levels_.size()) - 1; level >= 0; --level) {
        if (levels_[size_t(level)]->ScreenRect().Contains(rootX, rootY))
            return {level, levels_[size_t(level)]->HitTest(rootX, rootY)};
    }
    return {};
}

bool PopupMenuTracker::HandleEvent(const XEvent& event) {
    switch (event.type) {
    case Expose:
        if (!OwnsWindow(event.xexpose.window)) return false;
        if (event.xexpose.count == 0)
            for (const auto& level : levels_)
                if (level->Id() == event.xexpose.window) level->Draw();
        return true;
    case MotionNotify: OnMotion(event.xmotion.x_root, event.xmotion.y_root); return true;
    case ButtonPress: {
        const Hit hit = HitTest(event.xbutton.x_root, event.xbutton.y_root);
        if (hit.level < 0) {
            done_ = true;  // a click outside dismisses the menu
        } else if (event.xbutton.button == kWheelUp || event.xbutton.button == kWheelDown) {
            levels_[size_t(hit.level)]->Scroll(event.xbutton.button == kWheelUp ? -1 : 1);
        } else {
            armed_ = true;
        }
        return true;
    }
    case ButtonRelease:
        if (event.xbutton.button != kWheelUp && event.xbutton.button != kWheelDown)
            OnRelease(event.xbutton.x_root, event.xbutton.y_root);
        return true;
    case KeyPress: {
        XKeyEvent key = event.xkey;
        OnKey(XLookupKeysym(&key, 0));
        return true;
    }
    case KeyRelease:
    case EnterNotify:
    case LeaveNotify: return true;
    default: return OwnsWindow(event.xany.window);
    }
}

void PopupMenuTracker::OnMotion(int rootX, int rootY) {
    const Hit hit = HitTest(rootX, rootY);
    if (hit.level != atOpen_.level || hit.item != atOpen_.item) armed_ = true;
    hover_ = hit;
    if (hit.level < 0) {
        // Off every menu: keep the open path but no highlight in the deepest level.
        levels_.back()->Highlight(PopupMenuWindow::kNoItem);
        return;
    }
    PopupMenuWindow& level = *levels_[size_t(hit.level)];
    level.Highlight(hit.item);
    if (hit.item < 0) return;
    const IPopupMenu::Item& item = level.Menu().ItemAt(hit.item);
    const bool opensSubmenu = item.submenu && !item.submenu->Empty() && !(item.flags & IPopupMenu::kDisabled);
    const bool alreadyOpen = hit.level + 1 < int(levels_.size()) &&
                             &levels_[size_t(hit.level) + 1]->Menu() == item.submenu.get();
    if (alreadyOpen) return;
    CloseLevelsAfter(hit.level);
    if (opensSubmenu) OpenSubmenuOf(hit.level, hit.item);
}

void PopupMenuTracker::OnRelease(int rootX, int rootY) {
    const Hit hit = HitTest(rootX, rootY);
    if (armed_ && hit.level >= 0 && hit.item >= 0) Choose(hit.level, hit.item);
}

void PopupMenuTracker::Choose(int level, int item) {
    const IPopupMenu& menu = levels_[size_t(level)]->Menu();
    if (!menu.ItemAt(item).IsChoosable()) return;
    choice_ = IPopupChoice{&menu, item};
    done_ = true;
}

void PopupMenuTracker::OnKey(unsigned long keySymbol) {
    const int deepest = int(levels_.size()) - 1;
    PopupMenuWindow& level = *levels_.back();
    const int current = level.Highlighted();
    const bool hasSubmenu = current >= 0 && level.Menu().ItemAt(current).submenu &&
                            !level.Menu().ItemAt(current).submenu->Empty();
    switch (keySymbol) {
    case XK_Escape: done_ = true; break;
    case XK_Up:
    case XK_Down: level.HighlightNext(keySymbol == XK_Down ? 1 : -1); break;
    case XK_Left:
        if (deepest > 0) levels_.pop_back();
        break;
    case XK_Right:
    case XK_Return:
    case XK_KP_Enter:
        if (hasSubmenu) {
            OpenSubmenuOf(deepest, current);
            levels_.back()->HighlightNext(1);
        } else if (current >= 0 && keySymbol != XK_Right) {
            Choose(deepest, current);
        }
        break;
    default: break;
    }
}

void PopupMenuTracker::OpenSubmenuOf(int level, int item) {
    const IRECT row = levels_[size_t(level)]->ItemScreenRect(item);
    const IRECT& parent = levels_[size_t(level)]->ScreenRect();
    const IPopupMenu& submenu = *levels_[size_t(level)]->Menu().ItemAt(item).submenu;
    levels_.push_back(std::make_unique<PopupMenuWindow>(display_, submenu, parent.R, row.T, row.B, scale_));
}

void PopupMenuTracker::CloseLevelsAfter(int level) {
    while (int(levels_.size()) > level + 1) levels_.pop_back();
}

void PopupMenuTracker::OnTick() {
    if (hover_.level < 0 || hover_.level >= int(levels_.size())) return;
    if (hover_.item == PopupMenuWindow::kScrollUp) levels_[size_t(hover_.level)]->Scroll(-1);
    if (hover_.item == PopupMenuWindow::kScrollDown) levels_[size_t(hover_.level)]->Scroll(1);
}

}  // namespace sorel
