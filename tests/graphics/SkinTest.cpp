#include "editor/Skin.h"

#include <gtest/gtest.h>

#include <string>

namespace sorel {
namespace {

std::vector<IRECT> ParseSkin(std::string_view text) {
    Skin skin;
    skin.Parse(text);
    return skin.Rects();
}

// What each kind of line adds: the field count decides, a fifth field is a
// row of equal cells side by side, fields read like atoi, every space
// separates fields, any slash makes a comment, CR LF ends lines like LF.
TEST(SkinParser, EachKindOfLineAddsItsRectangles) {
    using Rects = std::vector<IRECT>;
    const struct {
        const char* text;
        Rects expected;
    } cases[] = {
        {"39 407 63 420 3\n", {{39, 407, 63, 420}, {63, 407, 87, 420}, {87, 407, 111, 420}}},
        {"1 2 3 4 0\n1 2 3 4 -3\n", {}},
        {"7\n5 6\n5 6 7\n", {{5, 6, 0, 0}, {5, 6, 0, 0}}},
        {"1 2 3 4\n1 2 3 4 5 6\n9 8 7 6 5 4 3\n", {{1, 2, 3, 4}, {1, 2, 3, 4}, {9, 8, 7, 6}}},
        {"1 -6 1001 559\n-10 -20 -5 -1\n", {{1, -6, 1001, 559}, {-10, -20, -5, -1}}},
        {"// a\r\n10 20 30 40\r\n\r\n5 6\r\n", {{10, 20, 30, 40}, {5, 6, 0, 0}}},
        {"// knob_gate\n10 20 30 40 // note\n1/2 3 4 5\n  /\n", {}},
        {"12abc 7x 3.9 +5\n-0 q 2 \t8\nfoo bar\n", {{12, 7, 3, 5}, {0, 0, 2, 8}, {0, 0, 0, 0}}},
        {"1  2 3 4\n", {{1, 0, 2, 3}, {2, 0, 3, 3}, {3, 0, 4, 3}, {4, 0, 5, 3}}},  // two spaces: an empty field
        {"1 2 3 4 \r\n", {}},  // a trailing space adds a fifth field of 0 cells
    };
    for (const auto& c : cases) EXPECT_EQ(ParseSkin(c.text), c.expected) << c.text;
    const auto row = ParseSkin("39 407 63 420 32\n");
    ASSERT_EQ(row.size(), 32u);
    EXPECT_EQ(row.back(), IRECT(783, 407, 807, 420));
}

TEST(SkinParser, LastLineWithoutLineFeedAndRepeatedParsesAppend) {
    Skin skin;
    skin.Parse("1 2 3 4\n5 6 7 8");
    skin.Parse("9 9 9 9");
    ASSERT_EQ(skin.Size(), 3u);
    EXPECT_EQ(skin.Rect(1), IRECT(5, 6, 7, 8));
    EXPECT_EQ(skin.Rect(2), IRECT(9, 9, 9, 9));
}

TEST(SkinParser, AZeroByteEndsTheText) {
    const auto rects = ParseSkin(std::string_view("1 2 3 4\n5 6 7 8\0\n9 9 9 9\n", 25));
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[1], IRECT(5, 6, 7, 8));
}

TEST(SkinParser, IndexOutsideTheListGivesAnEmptyRectangle) {
    Skin skin;
    skin.Parse("1 2 3 4\n");
    EXPECT_EQ(skin.Rect(-1), IRECT());
    EXPECT_EQ(skin.Rect(1), IRECT());
    EXPECT_EQ(skin.Rect(168), IRECT());
    EXPECT_FALSE(skin.IsComplete());
}

TEST(SkinParser, HostileLinesStayBounded) {
    // Huge numbers saturate instead of wrapping; a huge cell count is capped.
    const auto big = ParseSkin("99999999999 -99999999999 0 0\n0 0 2147483647 1 2000000000\n");
    ASSERT_EQ(big.size(), 1u + kSkinMaxRowCells);
    EXPECT_EQ(big[0], IRECT(INT32_MAX, INT32_MIN, 0, 0));
    EXPECT_EQ(big.back().R, INT32_MAX);  // cell edges saturate too

    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage.push_back(static_cast<char>((i * 7919) & 0xff));
    Skin skin;
    skin.Parse(garbage);
    skin.Parse(std::string(200000, ' '));
    EXPECT_LE(skin.Size(), kSkinMaxRects);

    std::string flood;
    for (int i = 0; i < 100; ++i) flood += "0 0 1 1 1024\n";
    Skin flooded;
    flooded.Parse(flood);
    EXPECT_EQ(flooded.Size(), kSkinMaxRects);
}

// The carried skin file, against the layout the editor is designed around.
TEST(SkinResource, CarriedSkinHoldsTheEditorLayout) {
    Skin skin;
    ASSERT_TRUE(skin.Load());
    ASSERT_EQ(skin.Size(), kSkinRectCount);
    EXPECT_TRUE(skin.IsComplete());
    EXPECT_EQ(skin.Rect(0), IRECT(296, 119, 352, 175));
    EXPECT_EQ(skin.Rect(37), IRECT(39, 407, 63, 420));
    EXPECT_EQ(skin.Rect(68), IRECT(783, 407, 807, 420));
    EXPECT_EQ(skin.Rect(kSkinBackgroundIndex), IRECT(0, 0, 1000, 565));
}

}  // namespace
}  // namespace sorel
