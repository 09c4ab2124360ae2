#pragma once
// The box info panel: the current preset's name, author, description and
// usage under their headings (or "NO INFO"), on a ground whose height
// follows the lines. It starts hidden; the "Box info" button shows it with
// the lines of that moment.

#include "editor/BitmapFont.h"
#include "editor/ITextControl.h"
#include "persistence/BoxInfo.h"

#include <vector>

namespace sorel {

class InfoControl : public ITextControl {
public:
    static constexpr int kNotMeasured = -1;

    InfoControl(ControlContext& context, const IRECT& rect, BitmapFont& font);

    // Shows these lines from now on: long texts are broken between words to
    // the panel's width, and the bottom edge moves to fit them all.
    void SetLines(const std::vector<InfoLine>& lines);
    const std::vector<TextLine>& Lines() const { return lines_; }
    int Height() const { return height_; }

    void Draw(IGraphics& graphics) override;

private:
    void AddWrapped(const InfoLine& line, int width);

    BitmapFont& font_;
    std::vector<TextLine> lines_;
    int height_ = kNotMeasured;
};

}  // namespace sorel
