#include "editor/PatternViewOverlay.h"

#include "editor/PatternView.h"

namespace sorel {

PatternViewOverlay::PatternViewOverlay(ControlContext& context, PatternView& view)
    : IControl(context, view.OverlayRECT()), view_(view) {
    SetTargetRECT({});  // never takes the mouse
}

void PatternViewOverlay::Draw(IGraphics& graphics) {
    view_.DrawOverlay(graphics);
    shownInside_ = view_.MouseInside();
}

IRECT PatternViewOverlay::GetDrawRECT() const { return view_.OverlayRECT(); }

bool PatternViewOverlay::IsDirty() const {
    return IControl::IsDirty() || view_.MouseInside() != shownInside_ || view_.OverlayStale();
}

}  // namespace sorel
