#pragma once
// A control drawn as one frame of a bitmap strip, chosen by its value.

#include "editor/IControl.h"
#include "graphics/IBitmap.h"

namespace sorel {

class IBitmapControl : public IControl {
public:
    // The rectangle is (x, y) plus one frame's size.
    IBitmapControl(ControlContext& context, int x, int y, const IBitmap& bitmap, int paramIdx = kNoParameter);

    void Draw(IGraphics& graphics) override;
    const IBitmap& Bitmap() const { return bitmap_; }

    // Frame 1..frames shown for a normalised value.
    static int FrameForValue(double value, int frames);

protected:
    IBitmap bitmap_;
};

}  // namespace sorel
