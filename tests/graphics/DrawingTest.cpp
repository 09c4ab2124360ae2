// Decoding and drawing, checked pixel by pixel on an off-screen image.
#include "editor/BitmapFont.h"
#include "graphics/IGraphics.h"
#include "graphics/PngDecoder.h"

#include "PngFixture.h"

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

}  // namespace
}  // namespace sorel
