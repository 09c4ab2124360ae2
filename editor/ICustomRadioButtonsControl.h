#pragma once
// The editor's radio buttons: labelled with a bitmap font, with an optional
// limit on how many buttons can be chosen and an optional right-click menu
// for the button under the mouse.

#include "editor/IRadioButtonsControl.h"

#include <string>
#include <vector>

namespace sorel {

class BitmapFont;

class ICustomRadioButtonsControl : public IRadioButtonsControl {
public:
    static constexpr int kAllEnabled = -1;
    static constexpr float kDisabledWeight = 0.15f;

    ICustomRadioButtonsControl(ControlContext& context, const IRECT& rect, int paramIdx, int count,
                               const IBitmap& bitmap, BitmapFont* font, std::vector<std::string> labels);

    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    void OnMouseOver(int x, int y, const IMouseMod& mod) override;
    void OnMouseOut() override;
    void Draw(IGraphics& graphics) override;

    // A right click opens the menu for the button under the mouse without
    // selecting it: what plays must not change under a performer's hands.
    void EnableMenu(bool on);
    void SetEnabledCount(int count) { enabledCount_ = count; }
    void SetHighlightSelected(bool on) { highlightSelected_ = on; }
    void SetLinkedControl(IControl* control) { linked_ = control; }

private:
    bool IsEnabled(int button) const { return enabledCount_ == kAllEnabled || button <= enabledCount_; }

    BitmapFont* font_;
    std::vector<std::string> labels_;
    bool hasMenu_ = false;
    bool highlightSelected_ = true;
    IControl* linked_ = nullptr;
    int enabledCount_ = kAllEnabled;
};

}  // namespace sorel
