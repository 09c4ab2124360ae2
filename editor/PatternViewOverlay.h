#pragma once
// The pattern view's markers over the selector rows above it (pattern dots,
// lane on/off markers): drawn after the selectors so that they stay on top,
// while the selectors keep their clicks.

#include "editor/IControl.h"

namespace sorel {

class PatternView;

class PatternViewOverlay : public IControl {
public:
    PatternViewOverlay(ControlContext& context, PatternView& view);

    void Draw(IGraphics& graphics) override;
    IRECT GetDrawRECT() const override;
    bool IsDirty() const override;

private:
    PatternView& view_;
    bool shownInside_ = false;
};

}  // namespace sorel
