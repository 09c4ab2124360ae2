#include "editor/ICustomTextControl.h"

#include "editor/BitmapFont.h"

namespace sorel {

ICustomTextControl::ICustomTextControl(ControlContext& context, const IRECT& rect, BitmapFont& font,
                                       std::string text)
    : ITextControl(context, rect, std::move(text)), font_(font) {}

void ICustomTextControl::Draw(IGraphics& graphics) {
    if (!text_.empty()) font_.DrawTextLine(&graphics, text_, rect_, false);
}

}  // namespace sorel
