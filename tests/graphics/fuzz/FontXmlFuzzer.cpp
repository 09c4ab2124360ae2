// Any bytes as a font description, then laid out and drawn with a few texts.
#include "editor/BitmapFont.h"
#include "graphics/IGraphics.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static sorel::IGraphics graphics(64, 32);
    static const sorel::IBitmap sheet(std::make_shared<sorel::PixelImage>(16, 16), 1);
    const std::string_view xml(reinterpret_cast<const char*>(data), size);
    sorel::BitmapFont font(sheet, xml);
    const sorel::IRECT rect{10, 10, 60, 30};
    for (std::string_view text : {"Sorel", "A much longer text than fits\n\r\xe9", "..", ""}) {
        const sorel::LineLayout layout = font.LayOutLine(text, rect);
        if (layout.text.size() > text.size() + 2) std::abort();
        font.DrawTextLine(&graphics, text, rect, false);
    }
    const std::vector<sorel::TextLine> lines{{"one", 1, 0, 1}, {"two", 0, 1, 0}};
    if (font.DrawTextLines(&graphics, lines, rect, false) != 2 * font.LineHeight()) std::abort();
    return 0;
}
