#include "editor/IContactControl.h"

namespace sorel {

// Only the left button presses it: it has no menu, so a right click does
// nothing (a tool or a panic must not run by a slip of the finger).
void IContactControl::OnMouseDown(int x, int y, const IMouseMod& mod) {
    if (!mod.L) return;
    SetValue(1.0);
    SetDirty(true);
    Notify(x, y, IObserverInterface::kMouseDown, mod);
}

void IContactControl::OnMouseUp(int x, int y, const IMouseMod& mod) {
    if (Value() < 0.5) return;  // not pressed
    SetValue(0.0);
    SetDirty(true);
    Notify(x, y, IObserverInterface::kMouseUp, mod);
}

}  // namespace sorel
