#pragma once
// One line of text drawn with a bitmap font, centred in the rectangle; a
// wrapping control breaks a text too wide for one line between words onto
// a second line.

#include "editor/ITextControl.h"

#include <string>
#include <vector>

namespace sorel {

class BitmapFont;

class ICustomTextControl : public ITextControl {
public:
    enum class Wrap { kNone, kTwoLines };

    ICustomTextControl(ControlContext& context, const IRECT& rect, BitmapFont& font, std::string text = {},
                       Wrap wrap = Wrap::kNone);

    void Draw(IGraphics& graphics) override;
    // The text as drawn, a line each (a line cut short ends in "..").
    std::vector<std::string> ShownLines() const;

private:
    IRECT LineRECT(int line, int lines) const;
    bool Fits(const std::string& text, const IRECT& rect) const;

    BitmapFont& font_;
    Wrap wrap_;
};

}  // namespace sorel
