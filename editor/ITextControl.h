#pragma once
// A line of text in the system font, bound to no parameter.

#include "editor/IControl.h"

#include <string>

namespace sorel {

class ITextControl : public IControl {
public:
    ITextControl(ControlContext& context, const IRECT& rect, std::string text = {});

    void Draw(IGraphics& graphics) override;
    const std::string& Text() const { return text_; }
    // Marks the control for redrawing when the text changed.
    void SetTextFromPlug(std::string_view text);

protected:
    std::string text_;
};

}  // namespace sorel
