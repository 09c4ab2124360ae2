#pragma once
// A knob drawn as one frame of a strip of knob pictures.

#include "editor/IBitmapControl.h"
#include "editor/IKnobControl.h"
#include "graphics/IBitmap.h"

namespace sorel {

class IKnobMultiControl : public IKnobControl {
public:
    // The rectangle is (x, y) plus one frame's size.
    IKnobMultiControl(ControlContext& context, int x, int y, int paramIdx, const IBitmap& bitmap,
                      double gearing = kDefaultGearing);

    void Draw(IGraphics& graphics) override;
    const IBitmap& Bitmap() const { return bitmap_; }

private:
    IBitmap bitmap_;
};

}  // namespace sorel
