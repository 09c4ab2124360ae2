#pragma once
// The loop markers above the pattern view: a start marker on the loop's
// first step and an end marker on its last, dragged step by step. The loop
// belongs to the current lane of the current pattern in the engine.

#include "editor/IControl.h"
#include "graphics/IBitmap.h"

namespace sorel {

class EngineEdits;

class ILoopSelectionControl : public IControl {
public:
    static constexpr int kCellWidth = 24;
    static constexpr int kMarkerWidth = 22;
    static constexpr int kStepCount = 32;
    static constexpr int kMarkerHeight = 15;

    ILoopSelectionControl(ControlContext& context, EngineEdits& engine, const IRECT& rect, const IBitmap& startMarker,
                          const IBitmap& endMarker);

    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    void OnMouseUp(int x, int y, const IMouseMod& mod) override;
    void OnMouseDrag(int x, int y, int dx, int dy, const IMouseMod& mod) override;
    void Draw(IGraphics& graphics) override;
    IRECT GetDrawRECT() const override;

    // The lanes the markers edit.
    void SetTarget(int area, int pattern, int lane);
    // Shows the current lane's loop as the engine holds it (end one past the last step).
    void ShowLoop(int loopStart, int loopEnd);
    int LoopStart() const { return start_; }
    int LoopEndStep() const { return end_; }
    IRECT StartMarkerRect() const;
    IRECT EndMarkerRect() const;

private:
    enum class Marker { kNone, kStart, kEnd };

    Marker MarkerFor(int x, int y, const IMouseMod& mod) const;
    void MoveMarkers(int delta, bool both);
    void WriteLoop(bool everyLane);

    IBitmap startBitmap_;
    IBitmap endBitmap_;
    int start_ = 0;
    int end_ = kStepCount - 1;
    Marker dragging_ = Marker::kNone;
    EngineEdits& engine_;
    int area_ = 0;
    int pattern_ = 0;
    int lane_ = 0;
};

}  // namespace sorel
