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

TEST(SkinParser, FiveFieldLineIsARowOfEqualCellsSideBySide) {
    const auto rects = ParseSkin("39 407 63 420 32\n");
    ASSERT_EQ(rects.size(), 32u);
    EXPECT_EQ(rects.front(), IRECT(39, 407, 63, 420));
    EXPECT_EQ(rects[1], IRECT(63, 407, 87, 420));
    EXPECT_EQ(rects.back(), IRECT(783, 407, 807, 420));
    for (const IRECT& r : rects) EXPECT_EQ(r.W(), 24);
}

TEST(SkinParser, RowWithNoPositiveCountAddsNothing) {
    EXPECT_TRUE(ParseSkin("1 2 3 4 0\n1 2 3 4 -3\n").empty());
}

TEST(SkinParser, FieldCountDecidesWhatALineAdds) {
    const auto rects = ParseSkin(
        "7\n"             // one field: nothing
        "5 6\n"           // two: a point rectangle
        "5 6 7\n"         // three: the third is ignored
        "1 2 3 4\n"
        "1 2 3 4 5 6\n"   // six: first four
        "9 8 7 6 5 4 3\n");
    ASSERT_EQ(rects.size(), 5u);
    EXPECT_EQ(rects[0], IRECT(5, 6, 0, 0));
    EXPECT_EQ(rects[1], IRECT(5, 6, 0, 0));
    EXPECT_EQ(rects[2], IRECT(1, 2, 3, 4));
    EXPECT_EQ(rects[3], IRECT(1, 2, 3, 4));
    EXPECT_EQ(rects[4], IRECT(9, 8, 7, 6));
}

TEST(SkinParser, NegativeEdgesAreKept) {
    const auto rects = ParseSkin("1 -6 1001 559\n-10 -20 -5 -1\n");
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0], IRECT(1, -6, 1001, 559));
    EXPECT_EQ(rects[1], IRECT(-10, -20, -5, -1));
}

TEST(SkinParser, CarriageReturnLineEndsParseAsLineFeedsAlone) {
    const std::string lf = "// a\n10 20 30 40\n\n39 407 63 420 3\n5 6\n";
    const std::string crlf = "// a\r\n10 20 30 40\r\n\r\n39 407 63 420 3\r\n5 6\r\n";
    const auto plain = ParseSkin(lf);
    EXPECT_EQ(plain.size(), 5u);
    EXPECT_EQ(ParseSkin(crlf), plain);
}

TEST(SkinParser, AnySlashMakesTheLineAComment) {
    EXPECT_TRUE(ParseSkin("// knob_gate\n10 20 30 40 // note\n1/2 3 4 5\n  /\n").empty());
    // A renamed or duplicated comment changes nothing: only the numbers count.
    const auto a = ParseSkin("// x\n1 2 3 4\n// x\n5 6 7 8\n");
    const auto b = ParseSkin("// y\n1 2 3 4\n// z\n5 6 7 8\n");
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.size(), 2u);
}

TEST(SkinParser, FieldsReadLikeAtoi) {
    const auto rects = ParseSkin("12abc 7x 3.9 +5\n-0 q 2 \t8\nfoo bar\n");
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(rects[0], IRECT(12, 7, 3, 5));
    EXPECT_EQ(rects[1], IRECT(0, 0, 2, 8));  // leading tab skipped as white space
    EXPECT_EQ(rects[2], IRECT(0, 0, 0, 0));
}

TEST(SkinParser, EverySpaceSeparatesFields) {
    // Two spaces make an empty field, read as 0: "1  2 3 4" is five fields,
    // a row of 4 cells one pixel wide.
    const auto rects = ParseSkin("1  2 3 4\n");
    ASSERT_EQ(rects.size(), 4u);
    EXPECT_EQ(rects[0], IRECT(1, 0, 2, 3));
    EXPECT_EQ(rects[3], IRECT(4, 0, 5, 3));
    // A trailing space before the line end likewise adds a field.
    EXPECT_TRUE(ParseSkin("1 2 3 4 \r\n").empty());
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
    EXPECT_EQ(skin.Rect(1), skin.Rect(2));
    EXPECT_EQ(skin.Rect(3), IRECT(682, 174, 720, 193));
    EXPECT_EQ(skin.Rect(26), IRECT(829, 225, 856, 248));
    EXPECT_EQ(skin.Rect(27), IRECT(26, 58, 58, 67));
    EXPECT_EQ(skin.Rect(30), IRECT(122, 58, 154, 67));
    EXPECT_EQ(skin.Rect(31), IRECT(29, 174, 75, 190));
    EXPECT_EQ(skin.Rect(36), IRECT(39, 291, 806, 404));
    EXPECT_EQ(skin.Rect(37), IRECT(39, 407, 63, 420));
    EXPECT_EQ(skin.Rect(68), IRECT(783, 407, 807, 420));
    EXPECT_EQ(skin.Rect(69), IRECT(39, 256, 619, 271));
    EXPECT_EQ(skin.Rect(70), IRECT(689, 469, 707, 489));
    EXPECT_EQ(skin.Rect(85), IRECT(959, 469, 977, 489));
    EXPECT_EQ(skin.Rect(86), IRECT(689, 490, 707, 510));
    EXPECT_EQ(skin.Rect(117), IRECT(959, 511, 977, 531));
    EXPECT_EQ(skin.Rect(118), IRECT(688, 468, 980, 545));
    EXPECT_EQ(skin.Rect(135), IRECT(956, 2, 985, 21));
    EXPECT_EQ(skin.Rect(164), IRECT(278, 23, 723, 34));
    EXPECT_EQ(skin.Rect(166), IRECT(26, 86, 116, 97));
    EXPECT_EQ(skin.Rect(167), IRECT(1, -6, 1001, 559));
    EXPECT_EQ(skin.Rect(kSkinBackgroundIndex), IRECT(0, 0, 1000, 565));
}

}  // namespace
}  // namespace sorel
