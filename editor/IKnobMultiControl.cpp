#include "editor/IKnobMultiControl.h"

#include "graphics/IGraphics.h"

namespace sorel {

IKnobMultiControl::IKnobMultiControl(ControlContext& context, int x, int y, int paramIdx, const IBitmap& bitmap,
                                     double gearing)
    : IKnobControl(context, IRECT(x, y, x + bitmap.W(), y + bitmap.FrameHeight()), paramIdx, Direction::kVertical,
                   gearing),
      bitmap_(bitmap) {}

void IKnobMultiControl::Draw(IGraphics& graphics) {
    graphics.DrawBitmapFrame(bitmap_, rect_, IBitmapControl::FrameForValue(Value(), bitmap_.Frames()) - 1, &Blend());
}

}  // namespace sorel
