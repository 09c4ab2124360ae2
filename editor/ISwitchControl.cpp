#include "editor/ISwitchControl.h"

#include "engine/ParameterIndex.h"
#include "graphics/IGraphics.h"

namespace sorel {

void ISwitchControl::Draw(IGraphics& graphics) {
    // A controller lane's step switch stores "controller off": it lights
    // while the step's controller is on, at value 0.
    if (bitmap_.Frames() == 2 && param::SwitchMeansOff(ParamIdx())) {
        graphics.DrawBitmapFrame(bitmap_, rect_, param::SwitchIsOn(ParamIdx(), Value()) ? 1 : 0, &Blend());
        return;
    }
    IBitmapControl::Draw(graphics);
}

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
