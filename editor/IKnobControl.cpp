#include "editor/IKnobControl.h"

namespace sorel {

IKnobControl::IKnobControl(ControlContext& context, const IRECT& rect, int paramIdx, Direction direction,
                           double gearing)
    : IControl(context, rect, paramIdx), direction_(direction), gearing_(gearing) {}

void IKnobControl::OnMouseDrag(int x, int y, int dx, int dy, const IMouseMod& mod) {
    // An upward drag (negative dy) raises the value.
    const double span = direction_ == Direction::kVertical ? rect_.T - rect_.B : rect_.R - rect_.L;
    if (span == 0.0) return;
    SetValue(Value() + DragShare(direction_ == Direction::kVertical ? dy : dx, span, gearing_, mod));
    SetDirty(true);
}

}  // namespace sorel
