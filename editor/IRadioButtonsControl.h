#pragma once
// N buttons in a row (or a column, when the rectangle is taller than wide)
// sharing one value: button i stands for i / (N - 1).

#include "editor/IControl.h"
#include "graphics/IBitmap.h"

#include <vector>

namespace sorel {

class IRadioButtonsControl : public IControl {
public:
    // Equal cells laid out over rect; the bitmap has an off and an on frame.
    IRadioButtonsControl(ControlContext& context, const IRECT& rect, int paramIdx, int count,
                         const IBitmap& bitmap);

    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    void Draw(IGraphics& graphics) override;

    int Count() const { return static_cast<int>(buttons_.size()); }
    IRECT ButtonRect(int i) const { return buttons_[static_cast<std::size_t>(i)]; }
    // The button that the value selects.
    int SelectedButton() const;
    // The button under (x, y), -1 for none.
    int ButtonAt(int x, int y) const override;

protected:
    void Select(int button);

    IBitmap bitmap_;
    std::vector<IRECT> buttons_;
};

}  // namespace sorel
