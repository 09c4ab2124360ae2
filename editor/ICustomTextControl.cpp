#include "editor/ICustomTextControl.h"

#include "editor/BitmapFont.h"

namespace sorel {

ICustomTextControl::ICustomTextControl(ControlContext& context, const IRECT& rect, BitmapFont& font,
                                       std::string text, Wrap wrap)
    : ITextControl(context, rect, std::move(text)), font_(font), wrap_(wrap) {}

IRECT ICustomTextControl::LineRECT(int line, int lines) const {
    const int height = rect_.H() / lines;
    return {rect_.L, rect_.T + height * line, rect_.R, rect_.T + height * (line + 1)};
}

bool ICustomTextControl::Fits(const std::string& text, const IRECT& rect) const {
    return !font_.LayOutLine(text, rect).truncated;
}

std::vector<std::string> ICustomTextControl::ShownLines() const {
    if (text_.empty()) return {};
    if (wrap_ == Wrap::kNone || Fits(text_, rect_)) return {font_.LayOutLine(text_, rect_).text};
    // The longest first line that ends between words; the rest goes below,
    // cut only when even the second line cannot hold it.
    const IRECT first = LineRECT(0, 2), second = LineRECT(1, 2);
    for (std::size_t space = text_.rfind(' '); space != std::string::npos && space > 0;
         space = text_.rfind(' ', space - 1)) {
        const std::string head = text_.substr(0, space);
        if (Fits(head, first))
            return {head, font_.LayOutLine(text_.substr(space + 1), second).text};
    }
    return {font_.LayOutLine(text_, rect_).text};
}

void ICustomTextControl::Draw(IGraphics& graphics) {
    const std::vector<std::string> lines = ShownLines();
    if (lines.size() < 2) {
        if (!text_.empty()) font_.DrawTextLine(&graphics, text_, rect_, false);
        return;
    }
    for (int i = 0; i < 2; ++i) font_.DrawTextLine(&graphics, lines[static_cast<std::size_t>(i)], LineRECT(i, 2), false);
}

}  // namespace sorel
