#pragma once
// Text drawn by copying glyph images out of a pre-rendered font sheet, laid
// out from an AngelCode BMFont XML description. The colour of the text is
// the colour the sheet was rendered in.

#include "editor/FontResources.h"
#include "graphics/IBitmap.h"
#include "graphics/IChannelBlend.h"
#include "graphics/IRECT.h"

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sorel {

class IGraphics;

struct Glyph {
    int32_t yoffset = 0;  // the XML yoffset minus the font's lineHeight
    int32_t xoffset = 0;
    IRECT source;         // in the sheet
    int32_t xadvance = 0;
};

// One line of a several-line text with the alignment it is drawn with.
struct TextLine {
    std::string text;
    int32_t alignLeft = 0;
    int32_t alignTop = 0;
    int32_t indent = 0;  // non-zero: 10 pixels in from the left and the right
};

struct GlyphPlacement {
    IRECT dest;
    IRECT source;
};

// Where one line's glyphs land, worked out without touching any pixels.
struct LineLayout {
    std::string text;  // after line feeds became spaces and any truncation to ".."
    int32_t width = 0; // the width used to place the line
    bool truncated = false;
    std::vector<GlyphPlacement> glyphs;
};

class BitmapFont {
public:
    // Overflow is forgiven up to this many pixels before a line is cut.
    static constexpr int kOverflowTolerance = 5;
    static constexpr int kIndent = 10;

    BitmapFont(IBitmap sheet, std::string_view xml);
    // From the font's sheet and description resources; a missing resource
    // gives a font without sheet or glyphs, which draws nothing.
    static std::unique_ptr<BitmapFont> Load(IGraphics& graphics, const FontResource& resource);

    int32_t LineHeight() const { return lineHeight_; }
    std::size_t GlyphCount() const { return glyphs_.size(); }
    // nullptr when the font has no glyph for this code.
    const Glyph* FindGlyph(int32_t code) const;
    const IBitmap& Sheet() const { return sheet_; }

    LineLayout LayOutLine(std::string_view text, const IRECT& rect) const;
    // Draws (or, with measureOnly, only lays out) one line; false for an empty text.
    bool DrawTextLine(IGraphics* graphics, std::string_view text, const IRECT& rect, bool measureOnly);
    // Draws the lines one below the other; returns lineHeight x number of lines.
    int32_t DrawTextLines(IGraphics* graphics, std::span<const TextLine> lines, const IRECT& rect, bool measureOnly);

    IChannelBlend blend{IChannelBlend::kBlendNone, 1.0f};
    int32_t alignLeft = 0;  // 0: centre each line horizontally
    int32_t alignTop = 0;   // 0: centre each line vertically

private:
    void ParseXml(std::string_view xml);
    // The glyph of a byte, the space's for a byte the font lacks, and an empty
    // glyph when even the space is missing.
    const Glyph& GlyphFor(unsigned char byte) const;

    IBitmap sheet_;
    int32_t lineHeight_ = 0;
    std::map<int32_t, Glyph> glyphs_;
};

}  // namespace sorel
