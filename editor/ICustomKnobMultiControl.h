#pragma once
// The editor's knob: geared for a 56-pixel knob to cover its range in a
// 280-pixel drag, with a right-click menu instead of the value prompt.

#include "editor/IKnobMultiControl.h"

namespace sorel {

class ICustomKnobMultiControl : public IKnobMultiControl {
public:
    static constexpr double kGearing = 5.0;

    ICustomKnobMultiControl(ControlContext& context, int x, int y, int paramIdx, const IBitmap& bitmap);

    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    void OnMouseDrag(int x, int y, int dx, int dy, const IMouseMod& mod) override;
    void SetDragEnabled(bool enabled) { dragEnabled_ = enabled; }

private:
    bool dragEnabled_ = true;
};

}  // namespace sorel
