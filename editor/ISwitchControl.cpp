#include "editor/ISwitchControl.h"

namespace sorel {

void ISwitchControl::Advance() {
    const int frames = bitmap_.Frames();
    double next = Value() + (frames >= 2 ? 1.0 / (frames - 1) : 1.0);
    if (next > kWrapAbove) next = 0.0;
    SetValue(next);
}

void ISwitchControl::OnMouseDown(int x, int y, const IMouseMod& mod) {
    if (mod.R) {
        PromptForValue(x, y);
        return;
    }
    Advance();
    SetDirty(true);
}

}  // namespace sorel
