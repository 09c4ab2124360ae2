#pragma once
// The editor's switch: a bitmap switch, or (font form) its parameter's
// display text drawn with a bitmap font and changed by a vertical drag.

#include "editor/ISwitchControl.h"

namespace sorel {

class BitmapFont;

class ICustomSwitchControl : public ISwitchControl {
public:
    static constexpr double kDragGearing = 5.0;

    // Bitmap form.
    ICustomSwitchControl(ControlContext& context, int x, int y, const IBitmap& bitmap, int paramIdx);
    // Font form over rect.
    ICustomSwitchControl(ControlContext& context, const IRECT& rect, BitmapFont& font, int paramIdx);

    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    void OnMouseUp(int x, int y, const IMouseMod& mod) override;
    void OnMouseDblClick(int x, int y, const IMouseMod& mod) override;
    void OnMouseDrag(int x, int y, int dx, int dy, const IMouseMod& mod) override;
    void Draw(IGraphics& graphics) override;

    bool UsesBitmap() const { return font_ == nullptr; }
    void SetVisible(bool visible) { visible_ = visible; }
    void SetDisplayOnly(bool on) { displayOnly_ = on; }
    void SetStayOn(bool on) { stayOn_ = on; }
    void SetPromptOnClick(bool on) { promptOnClick_ = on; }
    void SetPromptOnDoubleClick(bool on) { promptOnDoubleClick_ = on; }
    // Prompts and menus belong to `rect` instead of the control's own rectangle.
    void SetPromptRECT(const IRECT& rect) { promptRect_ = rect; }
    IRECT PromptRECT(int x, int y) const override;

private:
    BitmapFont* font_ = nullptr;
    bool visible_ = true;
    bool displayOnly_ = false;
    bool stayOn_ = false;
    bool promptOnClick_ = false;
    bool promptOnDoubleClick_ = false;
    IRECT promptRect_;  // none: the control's own
};

}  // namespace sorel
