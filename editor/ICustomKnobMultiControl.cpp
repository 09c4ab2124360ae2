#include "editor/ICustomKnobMultiControl.h"

namespace sorel {

ICustomKnobMultiControl::ICustomKnobMultiControl(ControlContext& context, int x, int y, int paramIdx,
                                                 const IBitmap& bitmap)
    : IKnobMultiControl(context, x, y, paramIdx, bitmap, kGearing) {}

void ICustomKnobMultiControl::OnMouseDown(int x, int y, const IMouseMod& mod) {
    Notify(x, y, IObserverInterface::kMouseDown, mod);
    if (mod.R) OpenMenu(x, y);
    SetDirty(true);
}

void ICustomKnobMultiControl::OnMouseDrag(int x, int y, int dx, int dy, const IMouseMod& mod) {
    if (dragEnabled_) IKnobMultiControl::OnMouseDrag(x, y, dx, dy, mod);
}

}  // namespace sorel
