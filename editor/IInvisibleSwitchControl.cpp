#include "editor/IInvisibleSwitchControl.h"

namespace sorel {

IInvisibleSwitchControl::IInvisibleSwitchControl(ControlContext& context, const IRECT& rect, int paramIdx)
    : IControl(context, rect, paramIdx) {
    DisablePrompt(true);
}

void IInvisibleSwitchControl::OnMouseDown(int x, int y, const IMouseMod& mod) {
    SetValue(Value() < 0.5 ? 1.0 : 0.0);
    SetDirty(true);
}

}  // namespace sorel
