#pragma once
// A clickable area that draws nothing: each click toggles its value.

#include "editor/IControl.h"

namespace sorel {

class IInvisibleSwitchControl : public IControl {
public:
    IInvisibleSwitchControl(ControlContext& context, const IRECT& rect, int paramIdx = kNoParameter);

    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    void Draw(IGraphics& graphics) override {}
};

}  // namespace sorel
