#include "editor/ICustomSwitchControl.h"

#include "editor/BitmapFont.h"
#include "frame/Parameter.h"


namespace sorel {

ICustomSwitchControl::ICustomSwitchControl(ControlContext& context, int x, int y, const IBitmap& bitmap,
                                           int paramIdx)
    : ISwitchControl(context, x, y, bitmap, paramIdx) {}

ICustomSwitchControl::ICustomSwitchControl(ControlContext& context, const IRECT& rect, BitmapFont& font,
                                           int paramIdx)
    : ISwitchControl(context, rect.L, rect.T, IBitmap(), paramIdx), font_(&font) {
    rect_ = rect;
    SetTargetRECT(rect);
}

void ICustomSwitchControl::OnMouseDown(int x, int y, const IMouseMod& mod) {
    if (mod.R) {
        Notify(x, y, IObserverInterface::kMouseDown, mod);
        OpenMenu(x, y);
        return;
    }
    if (promptOnDoubleClick_) return;
    if (promptOnClick_) {
        PromptForValue(x, y);
        return;
    }
    if (displayOnly_ || (stayOn_ && Value() == 1.0)) return;
    Advance();
    SetDirty(true);
    Notify(x, y, IObserverInterface::kMouseDown, mod);
}

void ICustomSwitchControl::OnMouseUp(int x, int y, const IMouseMod& mod) {
    Notify(x, y, IObserverInterface::kMouseUp, mod);
}

void ICustomSwitchControl::OnMouseDblClick(int x, int y, const IMouseMod& mod) {
    if (mod.L && promptOnDoubleClick_) {
        PromptForValue(x, y);
        return;
    }
    // A switch with a default goes back to it; one without steps again.
    if (DefaultValue() >= 0.0)
        IControl::OnMouseDblClick(x, y, mod);
    else
        OnMouseDown(x, y, mod);
}

void ICustomSwitchControl::OnMouseDrag(int x, int y, int dx, int dy, const IMouseMod& mod) {
    if (promptOnClick_ && !promptOnDoubleClick_) return;
    const double span = rect_.T - rect_.B;
    if (span == 0.0 || dy == 0) return;
    SetValue(Value() + DragShare(dy, span, kDragGearing, mod));
    SetDirty(true);
}

IRECT ICustomSwitchControl::PromptRECT(int x, int y) const {
    return promptRect_.Empty() ? ISwitchControl::PromptRECT(x, y) : promptRect_;
}

void ICustomSwitchControl::Draw(IGraphics& graphics) {
    if (!visible_) return;
    if (UsesBitmap()) {
        ISwitchControl::Draw(graphics);
        return;
    }
    if (const Parameter* p = Param()) font_->DrawTextLine(&graphics, p->DisplayText(p->FromNormalized(Value())), rect_, false);
}

}  // namespace sorel
