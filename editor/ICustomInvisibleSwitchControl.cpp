#include "editor/ICustomInvisibleSwitchControl.h"

namespace sorel {

void ICustomInvisibleSwitchControl::OnMouseDown(int x, int y, const IMouseMod& mod) {
    IInvisibleSwitchControl::OnMouseDown(x, y, mod);
    Notify(x, y, IObserverInterface::kMouseDown, mod);
}

}  // namespace sorel
