#include "editor/SceneView.h"

#include "editor/ControlContext.h"
#include "engine/ParameterIndex.h"
#include "frame/Parameter.h"
#include "graphics/IGraphics.h"

#include <algorithm>

namespace sorel {

namespace {
constexpr IColor kPlayingFill{100, 132, 174, 225};
constexpr IColor kLengthBar{255, 112, 154, 225};
constexpr int kInset = 2;
constexpr int kCellInner = 17;        // the lit part of a column
constexpr int kColumnBelow = 15;      // the lit column stops above the bar
constexpr int kBarTopBelow = 10;
constexpr int kBarBottomBelow = 8;
}  // namespace

SceneView::SceneView(ControlContext& context, const IRECT& rect) : IControl(context, rect) {}

void SceneView::SetKeyArea(int area) {
    if (area == area_) return;
    area_ = area;
    SetDirty(false);
}

void SceneView::ShowScene(const SceneLook& look) {
    if (look == look_) return;
    look_ = look;
    SetDirty(false);
}

int SceneView::ColumnAt(int x) const {
    const int offset = x - rect_.L - kInset;
    if (offset < 0) return -1;
    const int column = offset / kCellWidth;
    return column < kSteps ? column : -1;
}

void SceneView::OnMouseDown(int x, int y, const IMouseMod& mod) {
    SetDirty(false);
    if (mod.R) {
        Context().OpenControlMenu(*this, x, y);
        return;
    }
    const int column = ColumnAt(x);
    if (column < 0) return;
    // Through its parameter, so that the scene end is saved with the state.
    const int index = param::kSceneEnd + area_;
    if (const Parameter* p = Context().GetParam(index)) Context().SetParameterFromGUI(index, p->ToNormalized(column));
    look_.end = column;
}

IRECT SceneView::PromptRECT(int x, int y) const {
    const int column = ColumnAt(x);
    if (column < 0) return IControl::PromptRECT(x, y);
    const int left = rect_.L + kInset + kCellWidth * column;
    return {left, rect_.T, left + kCellWidth, rect_.B};
}

void SceneView::Draw(IGraphics& graphics) {
    if (look_.on && blink_ < kBlinkPeriod / 2) {
        const int x = rect_.L + kCellWidth * std::clamp(look_.playing, 0, kSteps - 1) + kInset;
        graphics.FillIRect(kPlayingFill, {x, rect_.T + kInset, x + kCellInner, rect_.B - kColumnBelow});
    }
    const int end = std::clamp(look_.end, 0, kSteps - 1);
    graphics.FillIRect(kLengthBar, {rect_.L + kInset, rect_.B - kBarTopBelow, rect_.L + kInset + kCellInner + kCellWidth * end,
                                    rect_.B - kBarBottomBelow});
    blink_ = (blink_ + 1) % kBlinkPeriod;
}

}  // namespace sorel
