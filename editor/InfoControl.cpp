#include "editor/InfoControl.h"

#include "editor/PanelStyle.h"

#include <climits>
#include <string_view>

namespace sorel {

namespace {

constexpr char kLineFeed = '\n';

int TextWidth(const BitmapFont& font, std::string_view text) {
    return font.LayOutLine(text, IRECT(0, 0, INT_MAX / 2, font.LineHeight())).width;
}

}  // namespace

InfoControl::InfoControl(ControlContext& context, const IRECT& rect, BitmapFont& font)
    : ITextControl(context, rect), font_(font) {}

void InfoControl::SetLines(const std::vector<InfoLine>& lines) {
    lines_.clear();
    const IRECT inner = PanelInner(rect_);
    for (const InfoLine& line : lines) AddWrapped(line, inner.W() - (line.indent ? 2 * BitmapFont::kIndent : 0));
    height_ = font_.DrawTextLines(nullptr, lines_, inner, true) + 2 * kPanelMargin;
    rect_.B = rect_.T + height_;
    SetTargetRECT(rect_);
    SetDirty(false);
}

void InfoControl::AddWrapped(const InfoLine& line, int width) {
    const auto add = [&](std::string text) {
        lines_.push_back({std::move(text), line.alignLeft ? 1 : 0, line.alignTop ? 1 : 0, line.indent ? 1 : 0});
    };
    std::string_view rest = line.text;
    do {
        // Each line feed starts a line; within a paragraph words move down as the width fills.
        const std::size_t feed = rest.find(kLineFeed);
        std::string_view paragraph = rest.substr(0, feed);
        rest = feed == std::string_view::npos ? std::string_view{} : rest.substr(feed + 1);
        std::string current;
        while (!paragraph.empty()) {
            const std::size_t space = paragraph.find(' ');
            const std::string_view word = paragraph.substr(0, space);
            paragraph = space == std::string_view::npos ? std::string_view{} : paragraph.substr(space + 1);
            if (word.empty()) continue;
            std::string longer = current.empty() ? std::string(word) : current + ' ' + std::string(word);
            if (!current.empty() && TextWidth(font_, longer) > width) {
                add(std::move(current));
                current = std::string(word);
            } else {
                current = std::move(longer);
            }
        }
        add(std::move(current));
    } while (!rest.empty());
}

void InfoControl::Draw(IGraphics& graphics) {
    if (height_ == kNotMeasured) return;
    DrawPanelGround(graphics, rect_);
    font_.DrawTextLines(&graphics, lines_, PanelInner(rect_), false);
}

}  // namespace sorel
