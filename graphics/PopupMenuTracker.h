#pragma once
// Follows the pointer through an open popup menu and its cascading
// submenus until an item is chosen or the menu is dismissed. The window host
// feeds it the events of its modal loop and its timer ticks.

#include "graphics/IPopupMenu.h"
#include "graphics/PopupMenuWindow.h"
#include "graphics/WindowEvent.h"

#include <X11/Xlib.h>

#include <memory>
#include <vector>

namespace sorel {

class PopupMenuTracker {
public:
    // Opens the top menu at the lower-left corner of `under` (screen pixels),
    // or above it when the screen ends below, and grabs the pointer and keyboard.
    PopupMenuTracker(Display* display, const IPopupMenu& menu, const IRECT& under, int scale);
    ~PopupMenuTracker();  // closes every level and ends the grabs
    PopupMenuTracker(const PopupMenuTracker&) = delete;
    PopupMenuTracker& operator=(const PopupMenuTracker&) = delete;

    bool Done() const { return done_; }
    IPopupChoice Choice() const { return choice_; }
    // True when the event belonged to the menu (every pointer and key event
    // does while the menu is open).
    bool HandleEvent(const WindowEvent& event);
    // Keeps a long menu scrolling while the pointer rests on an arrow.
    void OnTick();

private:
    struct Hit {
        int level = -1;
        int item = PopupMenuLayout::kNoItem;
    };
    Hit HitTest(int rootX, int rootY) const;
    void OnMotion(int rootX, int rootY);
    void OnRelease(int rootX, int rootY);
    // Up and Down move through the deepest open menu, Right and Left open and
    // close submenus, Return chooses, Escape dismisses.
    void OnKey(WindowEvent::Key key);
    void OnPress(const WindowEvent& press);
    void Choose(int level, int item);
    void OpenSubmenuOf(int level, int item);
    void CloseLevelsAfter(int level);
    bool OwnsWindow(uint64_t window) const;

    Display* display_;
    int scale_;
    std::vector<std::unique_ptr<PopupMenuWindow>> levels_;
    Hit atOpen_;
    Hit hover_;
    // A release chooses only after the pointer moved to another item or a
    // button was pressed in the menu: the release of the click that opened
    // the menu chooses nothing.
    bool armed_ = false;
    bool done_ = false;
    IPopupChoice choice_;
};

}  // namespace sorel
