#include "editor/ILoopSelectionControl.h"

#include "editor/ControlContext.h"
#include "frame/EngineEdits.h"
#include "graphics/IGraphics.h"

#include <algorithm>

namespace sorel {

namespace {
constexpr IColor kMarkerFill{20, 107, 152, 97};

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
}  // namespace

ILoopSelectionControl::ILoopSelectionControl(ControlContext& context, EngineEdits& engine, const IRECT& rect,
                                             const IBitmap& startMarker, const IBitmap& endMarker)
    : IControl(context, rect), startBitmap_(startMarker), endBitmap_(endMarker), engine_(engine) {}

IRECT ILoopSelectionControl::StartMarkerRect() const {
    const int left = rect_.L + kCellWidth * start_;
    return {left, rect_.T, left + kCellWidth - 1, rect_.T + kMarkerHeight};
}

IRECT ILoopSelectionControl::EndMarkerRect() const {
    const int left = rect_.L + kCellWidth * end_;
    return {left, rect_.T, left + kCellWidth, rect_.T + kMarkerHeight};
}

IRECT ILoopSelectionControl::GetDrawRECT() const {
    return {rect_.L, rect_.T, std::max(rect_.R, rect_.L + kCellWidth * kStepCount), rect_.T + kMarkerHeight};
}

void ILoopSelectionControl::SetTarget(int area, int pattern, int lane) {
    area_ = area;
    pattern_ = pattern;
    lane_ = lane;
}

void ILoopSelectionControl::ShowLoop(int loopStart, int loopEnd) {
    const int start = std::clamp(loopStart, 0, kStepCount - 1);
    const int end = std::clamp(loopEnd - 1, start, kStepCount - 1);
    if (start == start_ && end == end_) return;
    start_ = start;
    end_ = end;
    SetDirty(false);
}

ILoopSelectionControl::Marker ILoopSelectionControl::MarkerFor(int x, int y, const IMouseMod& mod) const {
    if (StartMarkerRect().Contains(x, y)) return Marker::kStart;
    if (EndMarkerRect().Contains(x, y)) return Marker::kEnd;
    if (x < StartMarkerRect().L) return Marker::kStart;
    if (x >= EndMarkerRect().R) return Marker::kEnd;
    return mod.L ? Marker::kStart : Marker::kEnd;
}

void ILoopSelectionControl::OnMouseDown(int x, int y, const IMouseMod& mod) {
    dragging_ = MarkerFor(x, y, mod);
    OnMouseDrag(x, y, 0, 0, mod);
}

void ILoopSelectionControl::OnMouseUp(int x, int y, const IMouseMod& mod) { dragging_ = Marker::kNone; }

void ILoopSelectionControl::OnMouseDrag(int x, int y, int dx, int dy, const IMouseMod& mod) {
    if (dragging_ == Marker::kNone) return;
    const int step = FloorDiv(x - rect_.L, kCellWidth);
    const int delta = step - (dragging_ == Marker::kStart ? start_ : end_);
    MoveMarkers(delta, mod.A);
    WriteLoop(mod.C);
    SetDirty(false);
}

void ILoopSelectionControl::MoveMarkers(int delta, bool both) {
    if (both && (start_ + delta < 0 || end_ + delta > kStepCount - 1)) delta = 0;
    const bool moveStart = both || dragging_ == Marker::kStart;
    const bool moveEnd = both || dragging_ == Marker::kEnd;
    if (moveStart) {
        start_ += delta;
        if (start_ > end_) {
            start_ -= delta;
            dragging_ = Marker::kEnd;
        }
        start_ = std::max(start_, 0);
    }
    if (moveEnd) {
        end_ += delta;
        if (end_ < start_) {
            end_ -= delta;
            dragging_ = Marker::kStart;
        }
        end_ = std::min(end_, kStepCount - 1);
    }
}

void ILoopSelectionControl::WriteLoop(bool everyLane) {
    engine_.SetLaneLoop(area_, pattern_, everyLane ? EngineEdits::kEveryLane : lane_, start_, end_ + 1);
}

void ILoopSelectionControl::Draw(IGraphics& graphics) {
    graphics.FillIRect(kMarkerFill, StartMarkerRect());
    graphics.FillIRect(kMarkerFill, EndMarkerRect());
    graphics.DrawBitmap(startBitmap_, StartMarkerRect(), 0, 0);
    graphics.DrawBitmap(endBitmap_, EndMarkerRect(), 0, 0);
}

}  // namespace sorel
