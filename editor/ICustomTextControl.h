#pragma once
// One line of text drawn with a bitmap font, centred in the rectangle.

#include "editor/ITextControl.h"

namespace sorel {

class BitmapFont;

class ICustomTextControl : public ITextControl {
public:
    ICustomTextControl(ControlContext& context, const IRECT& rect, BitmapFont& font, std::string text = {});

    void Draw(IGraphics& graphics) override;

private:
    BitmapFont& font_;
};

}  // namespace sorel
