#include "editor/IBitmapControl.h"

#include "graphics/IGraphics.h"

#include <algorithm>
#include <cmath>

namespace sorel {

IBitmapControl::IBitmapControl(ControlContext& context, int x, int y, const IBitmap& bitmap, int paramIdx)
    : IControl(context, IRECT(x, y, x + bitmap.W(), y + bitmap.FrameHeight()), paramIdx), bitmap_(bitmap) {}

void IBitmapControl::SetBitmap(const IBitmap& bitmap) {
    bitmap_ = bitmap;
    rect_ = IRECT(rect_.L, rect_.T, rect_.L + bitmap.W(), rect_.T + bitmap.FrameHeight());
    SetTargetRECT(rect_);
    SetDirty(false);
}

int IBitmapControl::FrameForValue(double value, int frames) {
    if (frames <= 1 || !std::isfinite(value)) return 1;
    const double frame = std::trunc((frames - 1) * value + 0.5) + 1;
    return static_cast<int>(std::clamp(frame, 1.0, static_cast<double>(frames)));
}

void IBitmapControl::Draw(IGraphics& graphics) {
    graphics.DrawBitmapFrame(bitmap_, rect_, FrameForValue(Value(), bitmap_.Frames()) - 1, &Blend());
}

}  // namespace sorel
