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
    // Another bitmap; the rectangle takes one frame's size from its top-left corner.
    void SetBitmap(const IBitmap& bitmap);

    // Frame 1..frames shown for a normalised value.
    static int FrameForValue(double value, int frames);

protected:
    IBitmap bitmap_;
};

}  // namespace sorel
