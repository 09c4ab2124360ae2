#include "editor/ITextControl.h"

#include "graphics/IGraphics.h"

namespace sorel {

ITextControl::ITextControl(ControlContext& context, const IRECT& rect, std::string text)
    : IControl(context, rect), text_(std::move(text)) {}

void ITextControl::Draw(IGraphics& graphics) {
    if (!text_.empty()) graphics.DrawIText(TextStyle(), text_, rect_);
}

void ITextControl::SetTextFromPlug(std::string_view text) {
    if (text_ == text) return;
    text_.assign(text);
    SetDirty(false);
}

}  // namespace sorel
