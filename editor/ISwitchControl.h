#pragma once
// A bitmap switch: each click steps to the next frame's value and wraps
// after the last (a two-frame switch toggles).

#include "editor/IBitmapControl.h"

namespace sorel {

class ISwitchControl : public IBitmapControl {
public:
    using IBitmapControl::IBitmapControl;

    void Draw(IGraphics& graphics) override;
    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    void OnMouseDblClick(int x, int y, const IMouseMod& mod) override { OnMouseDown(x, y, mod); }

protected:
    // The step to the next value, without writing it back.
    void Advance();

private:
    // A value this far above 1 has stepped past the last frame.
    static constexpr double kWrapAbove = 1.001;
};

}  // namespace sorel
