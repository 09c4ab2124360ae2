// Any bytes as a font description, then laid out against a few texts.
#include "editor/BitmapFont.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view xml(reinterpret_cast<const char*>(data), size);
    sorel::BitmapFont font(sorel::IBitmap{}, xml);
    const sorel::IRECT rect{10, 10, 60, 30};
    for (std::string_view text : {"Sorel", "A much longer text than fits\n\r\xe9", "..", ""}) {
        const sorel::LineLayout layout = font.LayOutLine(text, rect);
        if (layout.text.size() > text.size() + 2) std::abort();
    }
    const std::vector<sorel::TextLine> lines{{"one", 1, 0, 1}, {"two", 0, 1, 0}};
    if (font.DrawTextLines(nullptr, lines, rect, true) != 2 * font.LineHeight() && font.LineHeight() < (1 << 20))
        std::abort();
    return 0;
}
