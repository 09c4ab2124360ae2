// Font parsing and line layout, checked by measuring only (no pixels).
#include "editor/BitmapFont.h"

#include "TestFont.h"

#include <gtest/gtest.h>

namespace sorel {
namespace {

using namespace sorel::testing;

BitmapFont TestFont() { return BitmapFont(IBitmap{}, kTestFontXml); }

const IRECT kBox{100, 50, 120, 70};  // 20 x 20

TEST(BitmapFontLayout, CentresTheLineInItsRectangle) {
    const LineLayout layout = TestFont().LayOutLine("AB", kBox);
    EXPECT_EQ(layout.text, "AB");
    EXPECT_EQ(layout.width, 2 * kAdvanceA);
    ASSERT_EQ(layout.glyphs.size(), 2u);
    // 10 pixels of text in 20: the pen starts 5 in, 'A' draws one further.
    EXPECT_EQ(layout.glyphs[0].dest, IRECT(106, 57, 110, 65));
    EXPECT_EQ(layout.glyphs[1].dest, IRECT(110, 57, 114, 65));
    EXPECT_EQ(layout.glyphs[1].source, IRECT(4, 0, 8, 8));
    // Vertically: a 10-pixel line centred in 20 starts at 55; 'A' sits its
    // XML yoffset (2) below the line's top.
}

TEST(BitmapFontLayout, AlignFlagsPlaceAtTheTopLeft) {
    BitmapFont font = TestFont();
    font.alignLeft = 1;
    font.alignTop = 1;
    const LineLayout layout = font.LayOutLine("AB", kBox);
    ASSERT_EQ(layout.glyphs.size(), 2u);
    EXPECT_EQ(layout.glyphs[0].dest, IRECT(101, 52, 105, 60));
    EXPECT_EQ(layout.glyphs[1].dest, IRECT(105, 52, 109, 60));
}

// Lines that fit, lines cut to two dots, and bytes that take no room or the
// room of a space.
TEST(BitmapFontLayout, LinesFitOrEndInTwoDots) {
    const BitmapFont font = TestFont();
    const BitmapFont bare(IBitmap{}, R"(<font><common lineHeight="10"/><chars>
        <char id="65" x="0" y="0" width="4" height="8" xoffset="0" yoffset="2" xadvance="5"/></chars></font>)");
    const IRECT narrow{0, 0, 0, 10}, six{0, 0, 6, 10};
    const struct {
        const BitmapFont& font;
        const char* text;
        IRECT box;
        const char* shown;
        int width;
    } cases[] = {
        // Five 'A' (25) in 20 are within the 5-pixel tolerance; a sixth is not,
        // and whatever follows the overflowing byte goes.
        {font, "AAAAA", kBox, "AAAAA", 25},
        {font, "AAAAAA", kBox, "AAA..", 30 + 2 * kAdvanceDot - 2 * kAdvanceA},
        {font, "AAAAABBBBBB", kBox, "AAA..", -1},
        {font, "AAAAA B", kBox, "AAA..", -1},
        {font, "A", narrow, "A", kAdvanceA},
        {font, "W", narrow, "..", -1},
        {font, "AAW", narrow, "..", -1},
        {font, "A\nB", kBox, "A B", 2 * kAdvanceA + kAdvanceSpace},
        {font, "A\r\xe9\x80" "B\xff", kBox, "A\r\xe9\x80" "B\xff", 2 * kAdvanceA},
        {font, "\r\r\rAAA", six, "\r\r\r..", -1},  // skipped bytes still count when cutting
        {font, "A~", kBox, "A~", kAdvanceA + kAdvanceSpace},
        {bare, "A~~A", kBox, "A~~A", 10},  // no space glyph: unknown bytes take no room
        {bare, "AAAAAAAA", kBox, "AAA..", 20},  // no '.' glyph: nor do the dots
    };
    for (const auto& c : cases) {
        const LineLayout layout = c.font.LayOutLine(c.text, c.box);
        EXPECT_EQ(layout.text, c.shown) << c.text;
        EXPECT_EQ(layout.truncated, std::string(c.shown).ends_with("..")) << c.text;
        if (c.width >= 0) {
            EXPECT_EQ(layout.width, c.width) << c.text;
        }
    }
    const LineLayout cut = font.LayOutLine("AAAAAA", kBox);
    ASSERT_EQ(cut.glyphs.size(), 5u);
    EXPECT_EQ(cut.glyphs[4].source, font.FindGlyph('.')->source);
}

TEST(BitmapFontLayout, SeveralLinesReturnTheirHeightAndLeaveTheFontCentred) {
    BitmapFont font = TestFont();
    font.alignLeft = 1;
    font.alignTop = 1;
    const std::vector<TextLine> lines{{"AB", 1, 1, 0}, {"", 0, 1, 1}, {"W", 1, 0, 1}};
    EXPECT_EQ(font.DrawTextLines(nullptr, lines, kBox, true), 3 * kTestLineHeight);
    EXPECT_EQ(font.alignLeft, 0);
    EXPECT_EQ(font.alignTop, 0);
    EXPECT_EQ(font.DrawTextLines(nullptr, {}, kBox, false), 0);
}

}  // namespace
}  // namespace sorel
