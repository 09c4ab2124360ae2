#include "editor/IRadioButtonsControl.h"

#include "graphics/IGraphics.h"

#include <algorithm>
#include <cmath>

namespace sorel {

IRadioButtonsControl::IRadioButtonsControl(ControlContext& context, const IRECT& rect, int paramIdx, int count,
                                           const IBitmap& bitmap)
    : IControl(context, rect, paramIdx), bitmap_(bitmap) {
    count = std::max(count, 1);
    const bool column = rect.H() > rect.W();
    const int span = (column ? rect.H() : rect.W()) / count;
    for (int i = 0; i < count; ++i) {
        buttons_.push_back(column ? IRECT(rect.L, rect.T + i * span, rect.R, rect.T + (i + 1) * span)
                                  : IRECT(rect.L + i * span, rect.T, rect.L + (i + 1) * span, rect.B));
    }
}

int IRadioButtonsControl::SelectedButton() const {
    const int last = Count() - 1;
    if (last <= 0 || !std::isfinite(Value())) return 0;
    return static_cast<int>(std::clamp(std::trunc(last * Value() + 0.5), 0.0, static_cast<double>(last)));
}

int IRadioButtonsControl::ButtonAt(int x, int y) const {
    for (int i = 0; i < Count(); ++i)
        if (buttons_[static_cast<std::size_t>(i)].Contains(x, y)) return i;
    return -1;
}

void IRadioButtonsControl::Select(int button) {
    SetValue(Count() > 1 ? static_cast<double>(button) / (Count() - 1) : 0.0);
}

void IRadioButtonsControl::OnMouseDown(int x, int y, const IMouseMod& mod) {
    if (mod.R) {
        PromptForValue(x, y);
        return;
    }
    const int button = ButtonAt(x, y);
    if (button < 0) return;
    Select(button);
    SetDirty(true);
}

void IRadioButtonsControl::Draw(IGraphics& graphics) {
    const int selected = SelectedButton();
    for (int i = 0; i < Count(); ++i)
        graphics.DrawBitmapFrame(bitmap_, ButtonRect(i), i == selected ? 1 : 0, &Blend());
}

}  // namespace sorel
