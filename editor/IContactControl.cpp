#include "editor/IContactControl.h"

namespace sorel {

void IContactControl::OnMouseDown(int x, int y, const IMouseMod& mod) {
    SetValue(1.0);
    SetDirty(true);
    Notify(x, y, IObserverInterface::kMouseDown, mod);
}

void IContactControl::OnMouseUp(int x, int y, const IMouseMod& mod) {
    SetValue(0.0);
    SetDirty(true);
    Notify(x, y, IObserverInterface::kMouseUp, mod);
}

}  // namespace sorel
