#include "editor/ICustomInvisibleSwitchControl.h"

namespace sorel {

// Only the left button presses it: it has no menu, so a right click opens
// neither the about box nor a web page.
void ICustomInvisibleSwitchControl::OnMouseDown(int x, int y, const IMouseMod& mod) {
    if (!mod.L) return;
    IInvisibleSwitchControl::OnMouseDown(x, y, mod);
    Notify(x, y, IObserverInterface::kMouseDown, mod);
}

void ICustomInvisibleSwitchControl::OnMouseUp(int x, int y, const IMouseMod& mod) {
    if (mod.L) IInvisibleSwitchControl::OnMouseUp(x, y, mod);
}

}  // namespace sorel
