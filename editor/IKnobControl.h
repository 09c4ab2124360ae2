#pragma once
// A control moved by dragging: a drag across the whole rectangle moves the
// value by 1 / gearing, ten times less with Ctrl or Shift.

#include "editor/IControl.h"

namespace sorel {

class IKnobControl : public IControl {
public:
    enum class Direction { kVertical, kHorizontal };
    static constexpr double kDefaultGearing = 10.0;

    IKnobControl(ControlContext& context, const IRECT& rect, int paramIdx = kNoParameter,
                 Direction direction = Direction::kVertical, double gearing = kDefaultGearing);

    void OnMouseDrag(int x, int y, int dx, int dy, const IMouseMod& mod) override;
    double Gearing() const { return gearing_; }
    void SetGearing(double gearing) { gearing_ = gearing; }

private:
    Direction direction_;
    double gearing_;
};

}  // namespace sorel
