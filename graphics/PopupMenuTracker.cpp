#include "graphics/PopupMenuTracker.h"

namespace sorel {
namespace {

constexpr unsigned kPointerEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;

bool IsWheel(int button) { return button == WindowEvent::kWheelUp || button == WindowEvent::kWheelDown; }

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

bool PopupMenuTracker::OwnsWindow(uint64_t window) const {
    for (const auto& level : levels_)
        if (level->Id() == window) return true;
    return false;
}

PopupMenuTracker::Hit PopupMenuTracker::HitTest(int rootX, int rootY) const {
    for (int level = int(levels_.size()) - 1; level >= 0; --level) {
        if (levels_[size_t(level)]->Layout().ScreenRect().Contains(rootX, rootY))
            return {level, levels_[size_t(level)]->Layout().HitTest(rootX, rootY)};
    }
    return {};
}

bool PopupMenuTracker::HandleEvent(const WindowEvent& event) {
    using Type = WindowEvent::Type;
    switch (event.type) {
    case Type::kExpose:
        if (!OwnsWindow(event.window)) return false;
        if (event.lastExpose)
            for (const auto& level : levels_)
                if (level->Id() == event.window) level->Draw();
        return true;
    case Type::kMotion: OnMotion(event.rootX, event.rootY); return true;
    case Type::kButtonPress: OnPress(event); return true;
    case Type::kButtonRelease:
        if (!IsWheel(event.button)) OnRelease(event.rootX, event.rootY);
        return true;
    case Type::kKeyPress: OnKey(event.key); return true;
    case Type::kKeyRelease:
    case Type::kEnter:
    case Type::kLeave: return true;
    default: return OwnsWindow(event.window);
    }
}

void PopupMenuTracker::OnPress(const WindowEvent& press) {
    const Hit hit = HitTest(press.rootX, press.rootY);
    if (hit.level < 0) {
        done_ = true;  // a click outside dismisses the menu
    } else if (IsWheel(press.button)) {
        levels_[size_t(hit.level)]->Scroll(press.button == WindowEvent::kWheelUp ? -1 : 1);
    } else {
        armed_ = true;
    }
}

void PopupMenuTracker::OnMotion(int rootX, int rootY) {
    const Hit hit = HitTest(rootX, rootY);
    if (hit.level != atOpen_.level || hit.item != atOpen_.item) armed_ = true;
    hover_ = hit;
    if (hit.level < 0) {
        // Off every menu: keep the open path but no highlight in the deepest level.
        levels_.back()->Highlight(PopupMenuLayout::kNoItem);
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

void PopupMenuTracker::OnKey(WindowEvent::Key key) {
    using Key = WindowEvent::Key;
    const int deepest = int(levels_.size()) - 1;
    PopupMenuWindow& level = *levels_.back();
    const int current = level.Layout().Highlighted();
    const bool hasSubmenu = current >= 0 && level.Menu().ItemAt(current).submenu &&
                            !level.Menu().ItemAt(current).submenu->Empty();
    switch (key) {
    case Key::kEscape: done_ = true; break;
    case Key::kUp:
    case Key::kDown: level.HighlightNext(key == Key::kDown ? 1 : -1); break;
    case Key::kLeft:
        if (deepest > 0) levels_.pop_back();
        break;
    case Key::kRight:
    case Key::kReturn:
        if (hasSubmenu) {
            OpenSubmenuOf(deepest, current);
            levels_.back()->HighlightNext(1);
        } else if (current >= 0 && key != Key::kRight) {
            Choose(deepest, current);
        }
        break;
    default: break;
    }
}

void PopupMenuTracker::OpenSubmenuOf(int level, int item) {
    const IRECT row = levels_[size_t(level)]->Layout().ItemScreenRect(item);
    const IRECT& parent = levels_[size_t(level)]->Layout().ScreenRect();
    const IPopupMenu& submenu = *levels_[size_t(level)]->Menu().ItemAt(item).submenu;
    levels_.push_back(std::make_unique<PopupMenuWindow>(display_, submenu, parent.R, row.T, row.B, scale_));
}

void PopupMenuTracker::CloseLevelsAfter(int level) {
    while (int(levels_.size()) > level + 1) levels_.pop_back();
}

void PopupMenuTracker::OnTick() {
    if (hover_.level < 0 || hover_.level >= int(levels_.size())) return;
    if (hover_.item == PopupMenuLayout::kScrollUp) levels_[size_t(hover_.level)]->Scroll(-1);
    if (hover_.item == PopupMenuLayout::kScrollDown) levels_[size_t(hover_.level)]->Scroll(1);
}

}  // namespace sorel
