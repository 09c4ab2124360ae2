#include "editor/SettingsControl.h"

#include "editor/PanelStyle.h"

namespace sorel {

SettingsControl::SettingsControl(ControlContext& context, const IRECT& rect, BitmapFont& font,
                                 std::function<void()> toggle)
    : ITextControl(context, rect, kTitle), font_(font), toggle_(std::move(toggle)) {
    title_.push_back({kTitle, 0, 1, 0});
    Measure();
}

int SettingsControl::NextItemX() const { return rect_.L + kPanelMargin; }

int SettingsControl::NextItemY() const { return rect_.T + kRowHeight * (ItemCount() + 1); }

void SettingsControl::AddItem(IControl& control, std::string label) {
    control.MoveTo(NextItemX(), NextItemY());
    control.Hide(IsHidden());
    items_.push_back({&control, std::move(label)});
    Measure();
}

void SettingsControl::Measure() {
    const int titleHeight = font_.DrawTextLines(nullptr, title_, PanelInner(rect_), true);
    height_ = titleHeight + kRowHeight * ItemCount() + 2 * kPanelMargin;
    rect_.B = rect_.T + height_;
    SetTargetRECT(rect_);
}

void SettingsControl::Hide(bool hide) {
    ITextControl::Hide(hide);
    for (const Item& item : items_) item.control->Hide(hide);
}

void SettingsControl::OnMouseDown(int x, int y, const IMouseMod& mod) {
    for (const Item& item : items_) {
        if (item.control->IsHit(x, y)) {
            item.control->OnMouseDown(x, y, mod);
            return;
        }
    }
    if (toggle_) toggle_();
}

void SettingsControl::Draw(IGraphics& graphics) {
    DrawPanelGround(graphics, rect_);
    const IRECT inner = PanelInner(rect_);
    font_.DrawTextLines(&graphics, title_, inner, false);
    for (const Item& item : items_) {
        const IRECT r = item.control->GetRECT();
        font_.alignLeft = 1;
        font_.DrawTextLine(&graphics, item.label, IRECT(inner.L + kLabelOffset, r.T, inner.R, r.B), false);
        font_.alignLeft = 0;
    }
}

}  // namespace sorel
