#include "editor/ICustomRadioButtonsControl.h"

#include "editor/BitmapFont.h"
#include "graphics/IGraphics.h"

#include <algorithm>

namespace sorel {

ICustomRadioButtonsControl::ICustomRadioButtonsControl(ControlContext& context, const IRECT& rect, int paramIdx,
                                                       int count, const IBitmap& bitmap, BitmapFont* font,
                                                       std::vector<std::string> labels)
    : IRadioButtonsControl(context, rect, paramIdx, count, bitmap), font_(font), labels_(std::move(labels)) {}

void ICustomRadioButtonsControl::EnableMenu(bool on) {
    hasMenu_ = on;
    SetPromptAtMouse(on, false);
    DisablePrompt(!on);
}

void ICustomRadioButtonsControl::OnMouseDown(int x, int y, const IMouseMod& mod) {
    if (mod.R && hasMenu_) {
        OpenMenu(x, y);
    } else {
        const int button = ButtonAt(x, y);
        if (mod.L && button >= 0 && IsEnabled(button)) Select(button);
        SetDirty(true);
    }
    Notify(x, y, IObserverInterface::kMouseUp, mod);
}

void ICustomRadioButtonsControl::OnMouseWheel(int x, int y, const IMouseMod& mod, int notches) {
    const int last = enabledCount_ == kAllEnabled ? Count() - 1 : std::min(enabledCount_, Count() - 1);
    const int button = std::clamp(SelectedButton() + notches, 0, std::max(last, 0));
    if (button == SelectedButton()) return;
    Select(button);
    SetDirty(true);
}

void ICustomRadioButtonsControl::OnMouseOver(int x, int y, const IMouseMod& mod) {
    if (linked_) linked_->OnMouseOver(x, y, mod);
}

void ICustomRadioButtonsControl::OnMouseOut() {
    if (linked_) linked_->OnMouseOut();
}

void ICustomRadioButtonsControl::Draw(IGraphics& graphics) {
    const int selected = SelectedButton();
    const IChannelBlend dim{Blend().method, kDisabledWeight};
    for (int i = 0; i < Count(); ++i) {
        const IRECT button = ButtonRect(i);
        if (!IsEnabled(i))
            graphics.DrawBitmapFrame(bitmap_, button, 1, &dim);
        else
            graphics.DrawBitmapFrame(bitmap_, button, highlightSelected_ && i == selected ? 1 : 0, &Blend());
        if (font_ && static_cast<std::size_t>(i) < labels_.size())
            font_->DrawTextLine(&graphics, labels_[static_cast<std::size_t>(i)], button, false);
    }
}

}  // namespace sorel
