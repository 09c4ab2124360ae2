#include "editor/IPanelControl.h"

#include "graphics/IGraphics.h"

namespace sorel {

IPanelControl::IPanelControl(ControlContext& context, const IRECT& rect, const IColor& fill)
    : IControl(context, rect), fill_(fill) {}

void IPanelControl::Draw(IGraphics& graphics) {
    if (fill_.A == 0) return;
    graphics.FillIRect(fill_, rect_);
    graphics.DrawRect(COLOR_BLACK, rect_);
}

}  // namespace sorel
