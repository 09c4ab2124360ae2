#include "editor/BitmapFont.h"

#include "graphics/IGraphics.h"

#include <tinyxml2.h>

#include <algorithm>
#include <limits>

namespace sorel {
namespace {

constexpr unsigned char kLineFeed = 10;
constexpr unsigned char kCarriageReturn = 13;
constexpr unsigned char kSpace = 32;
constexpr unsigned char kDot = '.';
// Attribute values beyond this cannot come from a real font sheet; keeping
// them small keeps every sum below free of overflow.
constexpr int32_t kMaxMetric = 1 << 16;

const Glyph kEmptyGlyph{};

int32_t ToInt(double v) {
    return static_cast<int32_t>(std::clamp(v, double(std::numeric_limits<int32_t>::min()),
                                           double(std::numeric_limits<int32_t>::max())));
}

int32_t ToInt(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// A missing or unreadable attribute leaves value as it was.
void ReadAttribute(const tinyxml2::XMLElement* element, const char* name, int32_t& value) {
    int read = 0;
    if (element->QueryIntAttribute(name, &read) == tinyxml2::XML_SUCCESS)
        value = std::clamp(read, -kMaxMetric, kMaxMetric);
}

bool IsSkipped(unsigned char byte) { return byte >= 128 || byte == kCarriageReturn; }

}  // namespace

BitmapFont::BitmapFont(IBitmap sheet, std::string_view xml) : sheet_(std::move(sheet)) { ParseXml(xml); }

std::unique_ptr<BitmapFont> BitmapFont::Load(IGraphics& graphics, const FontResource& resource) {
    const char* xml = graphics.LoadText(resource.xmlNumber, resource.xmlName);
    return std::make_unique<BitmapFont>(graphics.LoadIBitmap(resource.sheetNumber, resource.sheetName, 1),
                                        xml ? std::string_view(xml) : std::string_view());
}

void BitmapFont::ParseXml(std::string_view xml) {
    tinyxml2::XMLDocument document;
    if (document.Parse(xml.data(), xml.size()) != tinyxml2::XML_SUCCESS) return;
    const tinyxml2::XMLElement* font = document.FirstChildElement("font");
    if (!font) return;
    if (const tinyxml2::XMLElement* common = font->FirstChildElement("common")) {
        ReadAttribute(common, "lineHeight", lineHeight_);
        int32_t base = 0;  // read by the format, not needed for drawing
        ReadAttribute(common, "base", base);
    }
    const tinyxml2::XMLElement* chars = font->FirstChildElement("chars");
    if (!chars) return;
    // Attributes persist from one glyph to the next, so a missing one repeats
    // the previous glyph's value.
    int32_t id = 0, x = 0, y = 0, width = 0, height = 0, yoffset = 0, xoffset = 0, xadvance = 0;
    for (const tinyxml2::XMLElement* c = chars->FirstChildElement("char"); c; c = c->NextSiblingElement("char")) {
        ReadAttribute(c, "id", id);
        ReadAttribute(c, "x", x);
        ReadAttribute(c, "y", y);
        ReadAttribute(c, "width", width);
        ReadAttribute(c, "height", height);
        ReadAttribute(c, "yoffset", yoffset);
        ReadAttribute(c, "xoffset", xoffset);
        ReadAttribute(c, "xadvance", xadvance);
        glyphs_[id] = Glyph{yoffset - lineHeight_, xoffset, IRECT{x, y, x + width, y + height}, xadvance};
    }
}

const Glyph* BitmapFont::FindGlyph(int32_t code) const {
    const auto it = glyphs_.find(code);
    return it == glyphs_.end() ? nullptr : &it->second;
}

const Glyph& BitmapFont::GlyphFor(unsigned char byte) const {
    if (const Glyph* glyph = FindGlyph(byte)) return *glyph;
    if (const Glyph* space = FindGlyph(kSpace)) return *space;
    return kEmptyGlyph;
}

LineLayout BitmapFont::LayOutLine(std::string_view text, const IRECT& rect) const {
    LineLayout layout;
    // Texts are C strings to the editor: a zero byte ends them.
    layout.text.assign(text.substr(0, text.find('\0')));
    std::replace(layout.text.begin(), layout.text.end(), static_cast<char>(kLineFeed), static_cast<char>(kSpace));
    if (layout.text.empty()) return layout;

    const int64_t dotWidth = 2 * int64_t{GlyphFor(kDot).xadvance};
    const int64_t limit = int64_t{rect.W()} + kOverflowTolerance;
    int64_t width = 0;
    for (std::size_t k = 0; k < layout.text.size(); ++k) {
        const auto byte = static_cast<unsigned char>(layout.text[k]);
        if (IsSkipped(byte)) continue;
        width += GlyphFor(byte).xadvance;
        if (width > limit) {
            // The two dots take the place of the last two measured bytes.
            width += dotWidth - 2 * int64_t{GlyphFor(byte).xadvance};
            layout.text.resize(k >= 2 ? k - 2 : 0);
            layout.text += "..";
            layout.truncated = true;
            break;
        }
    }
    layout.width = ToInt(width);

    int64_t x = rect.L;
    if (alignLeft == 0) x = int64_t{rect.L} + ToInt(0.5 * rect.W() - 0.5 * static_cast<double>(width) + 0.5);
    layout.glyphs.reserve(layout.text.size());
    for (const char c : layout.text) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsSkipped(byte)) continue;
        const Glyph& glyph = GlyphFor(byte);
        const int32_t y = alignTop == 0
                              ? ToInt(0.5 * rect.H() + (double(glyph.yoffset) + rect.T) + 0.5 * lineHeight_)
                              : ToInt(int64_t{rect.T} + lineHeight_ + glyph.yoffset);
        const int32_t left = ToInt(x + glyph.xoffset);
        const IRECT dest{left, y, ToInt(int64_t{left} + glyph.source.W()), ToInt(int64_t{y} + glyph.source.H())};
        layout.glyphs.push_back({dest, glyph.source});
        x += glyph.xadvance;
    }
    return layout;
}

bool BitmapFont::DrawTextLine(IGraphics* graphics, std::string_view text, const IRECT& rect, bool measureOnly) {
    const LineLayout layout = LayOutLine(text, rect);
    if (layout.text.empty()) return false;
    if (measureOnly || !graphics) return true;
    for (const GlyphPlacement& glyph : layout.glyphs)
        graphics->DrawBitmap(sheet_, glyph.dest, glyph.source.L, glyph.source.T, &blend);
    return true;
}

int32_t BitmapFont::DrawTextLines(IGraphics* graphics, std::span<const TextLine> lines, const IRECT& rect,
                                  bool measureOnly) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const TextLine& line = lines[i];
        alignLeft = line.alignLeft;
        alignTop = line.alignTop;
        IRECT lineRect{rect.L, ToInt(int64_t{rect.T} + int64_t{lineHeight_} * static_cast<int64_t>(i)), rect.R, rect.B};
        if (line.indent) {
            lineRect.L = ToInt(int64_t{lineRect.L} + kIndent);
            lineRect.R = ToInt(int64_t{lineRect.R} - kIndent);
        }
        DrawTextLine(graphics, line.text, lineRect, measureOnly);
    }
    alignLeft = 0;
    alignTop = 0;
    return ToInt(int64_t{lineHeight_} * static_cast<int64_t>(lines.size()));
}

}  // namespace sorel
