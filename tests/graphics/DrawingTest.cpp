// Decoding and drawing, checked pixel by pixel on an off-screen image.
#include "editor/BitmapFont.h"
#include "graphics/IGraphics.h"
#include "graphics/PngDecoder.h"

#include "PngFixture.h"
#include "TestFont.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

namespace sorel {
namespace {

using testing::EncodePng;

constexpr IColor kRed{255, 255, 0, 0};
constexpr IColor kGreen{255, 0, 255, 0};
constexpr IColor kBlue{255, 0, 0, 255};

IBitmap BitmapFromPng(const std::vector<uint8_t>& png, int frames) {
    std::shared_ptr<const PixelImage> pixels = DecodePng(png);
    return IBitmap(std::move(pixels), frames);
}

// Three 4 x 2 frames stacked: red, green, blue.
IBitmap ThreeFrameStrip() {
    const IColor frames[] = {kRed, kGreen, kBlue};
    return BitmapFromPng(EncodePng(4, 6, [&](int, int y) { return frames[y / 2]; }), 3);
}

bool Transparent(const IColor& c) { return c.A == 0; }

TEST(PngDecoder, DecodesColoursAndAlpha) {
    const auto png = EncodePng(3, 2, [](int x, int y) {
        if (y == 1) return IColor{128, 255, 255, 255};
        return x == 0 ? kRed : x == 1 ? kGreen : kBlue;
    });
    const auto image = DecodePng(png);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), 3);
    EXPECT_EQ(image->Height(), 2);
    EXPECT_EQ(image->At(0, 0), kRed);
    EXPECT_EQ(image->At(1, 0), kGreen);
    EXPECT_EQ(image->At(2, 0), kBlue);
    EXPECT_EQ(image->At(1, 1), IColor(128, 255, 255, 255));
    EXPECT_TRUE(Transparent(image->At(3, 0)));
    EXPECT_TRUE(Transparent(image->At(-1, 0)));
}

TEST(PngDecoder, RefusesBrokenAndOversizedInput) {
    const auto png = EncodePng(8, 8, [](int x, int y) { return IColor{255, x * 30, y * 30, 0}; });
    EXPECT_EQ(DecodePng({}), nullptr);
    for (std::size_t cut : {std::size_t{4}, std::size_t{20}, png.size() / 2, png.size() - 13})
        EXPECT_EQ(DecodePng(std::span(png).first(cut)), nullptr) << "cut at " << cut;
    std::vector<uint8_t> garbage(300);
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<uint8_t>(i * 31);
    EXPECT_EQ(DecodePng(garbage), nullptr);

    // A well-formed header that announces a huge image is refused before any
    // allocation: width at offset 16, the header chunk's CRC at 29.
    std::vector<uint8_t> huge = png;
    const uint32_t width = 100000;
    for (int i = 0; i < 4; ++i) huge[16 + i] = static_cast<uint8_t>(width >> (24 - 8 * i));
    const uint32_t crc = static_cast<uint32_t>(crc32(0, &huge[12], 17));
    for (int i = 0; i < 4; ++i) huge[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    EXPECT_EQ(DecodePng(huge), nullptr);
}

TEST(IBitmapFrames, FramesAreStackedVertically) {
    const IBitmap strip = ThreeFrameStrip();
    ASSERT_TRUE(strip.IsValid());
    EXPECT_EQ(strip.Frames(), 3);
    EXPECT_EQ(strip.FrameHeight(), 2);
    EXPECT_EQ(strip.FrameRect(1), IRECT(0, 2, 4, 4));
    EXPECT_EQ(strip.FrameRect(7), IRECT(0, 4, 4, 6));
    EXPECT_EQ(strip.FrameRect(-2), IRECT(0, 0, 4, 2));
    EXPECT_EQ(IBitmap(strip.SharedPixels(), 0).Frames(), 1);
    EXPECT_EQ(IBitmap(strip.SharedPixels(), 50).Frames(), 6);
    EXPECT_FALSE(IBitmap().IsValid());
}

// Where one draw of the strip lands: a frame (`frame` >= 0) or a region read
// from (srcX, srcY), probed at pixels that must hold a colour or stay empty.
struct Placement {
    IRECT rect;
    int frame, srcX, srcY;
    std::vector<std::pair<std::pair<int, int>, IColor>> probes;
};

TEST(IGraphicsDrawing, BitmapsLandAtTheirRectanglesAndAreCutOffAtEveryEdge) {
    constexpr IColor kEmpty = COLOR_TRANSPARENT;
    const IBitmap strip = ThreeFrameStrip();
    const Placement placements[] = {
        {{10, 10, 30, 30}, 1, 0, 0, {{{10, 10}, kGreen}, {{13, 11}, kGreen}, {{14, 10}, kEmpty}, {{10, 12}, kEmpty},
                                     {{9, 10}, kEmpty}}},
        // A smaller rectangle cuts the frame.
        {{0, 0, 2, 1}, 2, 0, 0, {{{0, 0}, kBlue}, {{1, 0}, kBlue}, {{2, 0}, kEmpty}, {{0, 1}, kEmpty}}},
        // From (2, 3): two columns of the green frame's lower row, then blue;
        // nothing past the bitmap's right edge, its bottom or the rectangle.
        {{5, 5, 9, 9}, -1, 2, 3, {{{5, 5}, kGreen}, {{6, 5}, kGreen}, {{5, 6}, kBlue}, {{6, 7}, kBlue},
                                   {{7, 5}, kEmpty}, {{5, 8}, kEmpty}, {{5, 9}, kEmpty}}},
        // Starting above and left of the image: (0, 0) shows source (2, 1).
        {{-2, -1, 2, 5}, -1, 0, 0, {{{0, 0}, kRed}, {{1, 0}, kRed}, {{0, 1}, kGreen}, {{1, 3}, kBlue},
                                     {{2, 0}, kEmpty}, {{0, 5}, kEmpty}}},
    };
    for (const Placement& p : placements) {
        IGraphics g(40, 40);
        EXPECT_TRUE(p.frame >= 0 ? g.DrawBitmapFrame(strip, p.rect, p.frame) : g.DrawBitmap(strip, p.rect, p.srcX, p.srcY));
        for (const auto& [at, colour] : p.probes) {
            const IColor pixel = g.PixelAt(at.first, at.second);
            EXPECT_TRUE(colour.A == 0 ? Transparent(pixel) : pixel == colour)
                << "rect " << p.rect.L << "," << p.rect.T << " at " << at.first << "," << at.second;
        }
    }
    IGraphics g(10, 10);
    EXPECT_FALSE(g.DrawBitmapFrame(IBitmap(), {0, 0, 5, 5}, 0));
}

TEST(IGraphicsDrawing, PlacesFarOutsideTheImageDrawNothing) {
    const IBitmap strip = ThreeFrameStrip();
    IGraphics clean(10, 10);
    EXPECT_TRUE(clean.DrawBitmap(strip, {INT32_MAX - 4, INT32_MAX - 4, INT32_MAX, INT32_MAX}, 0, 0));
    EXPECT_TRUE(clean.DrawBitmap(strip, {INT32_MIN, INT32_MIN, 5, 5}, INT32_MAX, INT32_MIN));
    EXPECT_TRUE(clean.FillIRect(kRed, {INT32_MIN, 20, INT32_MAX, INT32_MAX}));
    EXPECT_TRUE(clean.DrawIText(IText{}, "far", {-5000000, -5000000, -4000000, -4000000}));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) EXPECT_TRUE(Transparent(clean.PixelAt(x, y))) << x << "," << y;
    EXPECT_TRUE(clean.DrawRect(kRed, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}));
    EXPECT_TRUE(clean.DrawBitmapFrame(strip, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, 1));
    EXPECT_TRUE(Transparent(clean.PixelAt(5, 5)));
    EXPECT_TRUE(clean.FillIRect(kGreen, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}));
    EXPECT_EQ(clean.PixelAt(9, 9), kGreen);
}

TEST(IGraphicsDrawing, BlendWeightsAndMethods) {
    IGraphics g(10, 10);
    const IBitmap strip = ThreeFrameStrip();
    const IChannelBlend half(IChannelBlend::kBlendNone, 0.5f);
    g.DrawBitmapFrame(strip, {0, 0, 4, 2}, 0, &half);
    const IColor faded = g.PixelAt(0, 0);
    EXPECT_NEAR(faded.A, 128, 1);
    EXPECT_EQ(faded.R, 255);

    g.FillIRect(kBlue, {0, 0, 10, 10});
    const IChannelBlend clobber(IChannelBlend::kBlendClobber);
    g.FillIRect(COLOR_TRANSPARENT, {0, 0, 5, 10}, &clobber);
    EXPECT_TRUE(Transparent(g.PixelAt(4, 4)));
    EXPECT_EQ(g.PixelAt(5, 4), kBlue);

    const IChannelBlend add(IChannelBlend::kBlendAdd);
    g.FillIRect(kRed, {5, 0, 10, 10}, &add);
    EXPECT_EQ(g.PixelAt(6, 6), IColor(255, 255, 0, 255));
}

TEST(IGraphicsDrawing, RectanglesAndLines) {
    IGraphics g(20, 20);
    EXPECT_TRUE(g.FillIRect(kRed, {2, 2, 5, 4}));
    EXPECT_EQ(g.PixelAt(2, 2), kRed);
    EXPECT_EQ(g.PixelAt(4, 3), kRed);
    EXPECT_TRUE(Transparent(g.PixelAt(5, 3)));
    EXPECT_TRUE(Transparent(g.PixelAt(4, 4)));
    EXPECT_FALSE(g.FillIRect(kRed, {5, 5, 5, 9}));

    EXPECT_TRUE(g.DrawRect(kGreen, {10, 10, 15, 14}));
    for (int x = 10; x < 15; ++x) {
        EXPECT_EQ(g.PixelAt(x, 10), kGreen);
        EXPECT_EQ(g.PixelAt(x, 13), kGreen);
    }
    EXPECT_EQ(g.PixelAt(10, 12), kGreen);
    EXPECT_EQ(g.PixelAt(14, 12), kGreen);
    EXPECT_TRUE(Transparent(g.PixelAt(12, 12)));  // hollow
    EXPECT_TRUE(Transparent(g.PixelAt(15, 12)));
    EXPECT_TRUE(Transparent(g.PixelAt(12, 14)));

    EXPECT_TRUE(g.DrawVerticalLine(kBlue, 1, 15, 10));  // ends in either order, both included
    EXPECT_EQ(g.PixelAt(1, 10), kBlue);
    EXPECT_EQ(g.PixelAt(1, 15), kBlue);
    EXPECT_TRUE(Transparent(g.PixelAt(1, 16)));
    EXPECT_TRUE(Transparent(g.PixelAt(1, 9)));
    EXPECT_TRUE(Transparent(g.PixelAt(0, 12)));
    EXPECT_TRUE(Transparent(g.PixelAt(2, 12)));

    EXPECT_TRUE(g.DrawVerticalLine(kRed, 19, INT32_MIN, INT32_MAX));
    EXPECT_EQ(g.PixelAt(19, 0), kRed);
    EXPECT_EQ(g.PixelAt(19, 19), kRed);
    EXPECT_TRUE(g.DrawVerticalLine(kRed, INT32_MAX, 0, 5));
}

// Bounding box of the pixels that are not transparent.
IRECT InkBox(const IGraphics& g) {
    IRECT box{g.Width(), g.Height(), -1, -1};
    for (int y = 0; y < g.Height(); ++y)
        for (int x = 0; x < g.Width(); ++x)
            if (!Transparent(g.PixelAt(x, y))) {
                box.L = std::min(box.L, x);
                box.T = std::min(box.T, y);
                box.R = std::max(box.R, x + 1);
                box.B = std::max(box.B, y + 1);
            }
    return box;
}

TEST(IGraphicsText, SystemFontTextLandsCentredInsideItsRectangle) {
    IGraphics g(200, 60);
    const IRECT rect{20, 10, 180, 50};
    IText style;
    style.size = 14;
    style.color = kRed;
    EXPECT_TRUE(g.DrawIText(style, "Sorel 1.2", rect));
    const IRECT ink = InkBox(g);
    ASSERT_FALSE(ink.Empty());
    EXPECT_GE(ink.L, rect.L);
    EXPECT_LE(ink.R, rect.R);
    EXPECT_GE(ink.T, rect.T);
    EXPECT_LE(ink.B, rect.B);
    EXPECT_NEAR((ink.L + ink.R) / 2.0, (rect.L + rect.R) / 2.0, 3.0);
    EXPECT_NEAR((ink.T + ink.B) / 2.0, (rect.T + rect.B) / 2.0, 4.0);
    EXPECT_GT(ink.W(), 30);

    // Left alignment starts at the left edge; a longer text measures wider.
    IGraphics left(200, 60);
    style.align = IText::kAlignNear;
    left.DrawIText(style, "Sorel 1.2", rect);
    EXPECT_NEAR(InkBox(left).L, rect.L, 2);
    EXPECT_GT(g.MeasureIText(style, "Sorel 1.2.4"), g.MeasureIText(style, "Sorel"));
    EXPECT_FALSE(g.DrawIText(style, "", rect));
}

TEST(IGraphicsText, TextIsClippedToItsRectangleAndEightBitTextIsAccepted) {
    IGraphics g(100, 40);
    IText style;
    style.size = 20;
    EXPECT_TRUE(g.DrawIText(style, "Wide text \xe9\xfc\x80 much wider than the box", {40, 10, 60, 30}));
    const IRECT ink = InkBox(g);
    ASSERT_FALSE(ink.Empty());
    EXPECT_GE(ink.L, 40);
    EXPECT_LE(ink.R, 60);
}

// The test font's sheet: 'A' red at x 0-3, 'B' green at 4-7, 'W' blue at
// 8-11, '.' white at (12-13, 6-7).
IBitmap TestFontSheet() {
    return BitmapFromPng(EncodePng(16, 8,
                                   [](int x, int y) {
                                       if (x < 4) return kRed;
                                       if (x < 8) return kGreen;
                                       if (x < 12) return kBlue;
                                       if (x < 14 && y >= 6) return COLOR_WHITE;
                                       return COLOR_TRANSPARENT;
                                   }),
                         1);
}

TEST(BitmapFontDrawing, BlitsGlyphsFromTheSheet) {
    IGraphics g(40, 24);
    BitmapFont font(TestFontSheet(), testing::kTestFontXml);
    font.alignLeft = 1;
    font.alignTop = 1;
    EXPECT_TRUE(font.DrawTextLine(&g, "AB", {2, 3, 40, 20}, false));
    // 'A': xoffset 1, yoffset 2, 4 x 8; 'B' follows 5 pixels on.
    EXPECT_EQ(g.PixelAt(3, 5), kRed);
    EXPECT_EQ(g.PixelAt(6, 12), kRed);
    EXPECT_EQ(g.PixelAt(7, 5), kGreen);
    EXPECT_EQ(g.PixelAt(10, 12), kGreen);
    EXPECT_TRUE(Transparent(g.PixelAt(2, 5)));
    EXPECT_TRUE(Transparent(g.PixelAt(3, 4)));
    EXPECT_TRUE(Transparent(g.PixelAt(3, 13)));
    EXPECT_TRUE(Transparent(g.PixelAt(11, 5)));

    // Measuring only touches nothing.
    IGraphics untouched(40, 24);
    EXPECT_TRUE(font.DrawTextLine(&untouched, "AB", {2, 3, 40, 20}, true));
    EXPECT_TRUE(InkBox(untouched).Empty());
}

TEST(BitmapFontDrawing, SeveralLinesStackByLineHeightAndIndent) {
    IGraphics g(40, 40);
    BitmapFont font(TestFontSheet(), testing::kTestFontXml);
    const std::vector<TextLine> lines{{"A", 1, 1, 1}, {"B", 1, 1, 0}, {"W", 1, 1, 0}};
    EXPECT_EQ(font.DrawTextLines(&g, lines, {0, 0, 40, 40}, false), 30);
    EXPECT_EQ(g.PixelAt(11, 2), kRed);     // indented 10, xoffset 1, yoffset 2
    EXPECT_TRUE(Transparent(g.PixelAt(10, 2)));
    EXPECT_EQ(g.PixelAt(0, 12), kGreen);   // one lineHeight down
    EXPECT_EQ(g.PixelAt(0, 22), kBlue);
    EXPECT_TRUE(Transparent(g.PixelAt(0, 21)));
}

TEST(IGraphicsOutput, WritesWhatWasDrawnToAPngFile) {
    IGraphics g(6, 4);
    g.FillIRect(kGreen, {1, 1, 3, 3});
    const auto path = std::filesystem::temp_directory_path() / ("sorel-graphics-" + std::to_string(::getpid()) + ".png");
    ASSERT_TRUE(g.WritePng(path.string()));
    std::vector<uint8_t> bytes(std::filesystem::file_size(path));
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(std::fread(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::fclose(f);
    std::filesystem::remove(path);
    const auto image = DecodePng(bytes);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), 6);
    EXPECT_EQ(image->At(2, 2), kGreen);
    EXPECT_TRUE(Transparent(image->At(0, 0)));
}

}  // namespace
}  // namespace sorel
