#pragma once
// A panel's ground: its rectangle filled with one colour, or left to the
// window background when the colour is transparent. The pattern view, the
// scene view and the info and settings panels stand on one while their
// content is not there.

#include "editor/IControl.h"
#include "graphics/IColor.h"

namespace sorel {

class IPanelControl : public IControl {
public:
    IPanelControl(ControlContext& context, const IRECT& rect, const IColor& fill = COLOR_TRANSPARENT);

    void Draw(IGraphics& graphics) override;

private:
    IColor fill_;
};

}  // namespace sorel
