// A canvas at scale 2 shows the editor the same way as at 1x, in editor
// pixels, but from art drawn at twice the resolution.
#include "editor/BitmapFont.h"
#include "editor/FontResources.h"
#include "graphics/IGraphics.h"
#include "resources/Resources.h"
#include "resources/ScaledResource.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <tuple>
#include <string>

namespace sorel {
namespace {

constexpr int kWidth = 120, kHeight = 64;

TEST(TwiceScale, EveryImageHasATwinOfTwiceItsSizeWithTheSameFrames) {
    int images = 0;
    for (const resources::Resource& resource : resources::All()) {
        if (resource.type != "PNG" || resource.number >= resources::kTwiceScaleNumberOffset) continue;
        SCOPED_TRACE(std::string(resource.name));
        ++images;
        const resources::Resource* twin =
            resources::Find(resources::ScaledNumber(resource.number, 2), resources::ScaledName(resource.name, 2));
        ASSERT_NE(twin, nullptr);
        IGraphics coarseCanvas(1, 1), fineCanvas(1, 1, 2);
        // Held so that the loads below share the decoded pixels.
        const IBitmap held[] = {coarseCanvas.LoadIBitmap(resource.number, resource.name, 1),
                                fineCanvas.LoadIBitmap(resource.number, resource.name, 1)};
        EXPECT_NE(held[0].Pixels(), held[1].Pixels());
        // Any frame count: the strips are cut into frames by the caller.
        for (const int frames : {1, 2, 127}) {
            const IBitmap small = coarseCanvas.LoadIBitmap(resource.number, resource.name, frames);
            const IBitmap fine = fineCanvas.LoadIBitmap(resource.number, resource.name, frames);
            ASSERT_TRUE(small.IsValid() && fine.IsValid());
            EXPECT_EQ(fine.Scale(), 2);
            EXPECT_EQ(fine.Pixels()->Width(), 2 * small.Pixels()->Width());
            EXPECT_EQ(fine.Pixels()->Height(), 2 * small.Pixels()->Height());
            EXPECT_EQ(fine.Frames(), small.Frames());
            EXPECT_EQ(fine.FrameRect(frames - 1), small.FrameRect(frames - 1)) << "in editor pixels";
        }
    }
    EXPECT_EQ(images, 36 + 5);  // the images and the font sheets
}

using Scene = std::function<void(IGraphics&)>;

struct SceneCase {
    const char* name;
    Scene draw;
};

void DrawKnob(IGraphics& g) {
    g.FillIRect(IColor(255, 30, 32, 40), g.Bounds());
    const IBitmap knob = g.LoadIBitmap(108, "resources/images/bipolar_knob_with_ring_127frames.png", 127);
    g.DrawBitmapFrame(knob, {10, 4, 66, 60}, 90);
    const IBitmap button = g.LoadIBitmap(133, "resources/images/editSelect_33x27.png", 2);
    g.DrawBitmapFrame(button, {75, 20, 108, 47}, 1);
}

void DrawFontText(IGraphics& g) {
    g.FillIRect(IColor(255, 20, 22, 28), g.Bounds());
    const std::unique_ptr<BitmapFont> font = BitmapFont::Load(g, kFontCalibri14);
    font->DrawTextLine(&g, "Sorel 1/16 Gate", {0, 0, kWidth, kHeight / 2}, false);
    font->DrawTextLine(&g, "Rate 8", {0, kHeight / 2, kWidth, kHeight}, false);
}

void DrawBackgroundCorner(IGraphics& g) {
    const IBitmap background = g.LoadIBitmap(101, "resources/images/background.png", 1);
    g.DrawBitmap(background, g.Bounds(), 20, 30);
    g.DrawRect(COLOR_WHITE, {5, 5, 40, 30});
}

constexpr const char* kSystemText = "MIDI ARPEGGIATOR by Vardo";

IText SystemTextStyle() {
    IText style;
    style.size = 11;
    style.color = COLOR_WHITE;
    return style;
}

void DrawSystemText(IGraphics& g) {
    g.FillIRect(IColor(255, 20, 22, 28), g.Bounds());
    g.DrawIText(SystemTextStyle(), kSystemText, {0, 0, kWidth, kHeight});
}

const SceneCase kScenes[] = {
    {"knob and button frames", DrawKnob},
    {"bitmap font text", DrawFontText},
    {"background, outline", DrawBackgroundCorner},
    {"system-font text", DrawSystemText},
};

struct Comparison {
    double meanDifference = 0;  // the 2x picture averaged down against the 1x one, per channel
    double fineDetail = 0;      // share of 2 x 2 blocks that are not one flat colour
};

Comparison Compare(const IGraphics& coarse, const IGraphics& fine) {
    Comparison result;
    int blocks = 0, detailed = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const IColor one = coarse.PixelAt(x, y);
            const IColor quad[] = {fine.PixelAt(2 * x, 2 * y), fine.PixelAt(2 * x + 1, 2 * y),
                                   fine.PixelAt(2 * x, 2 * y + 1), fine.PixelAt(2 * x + 1, 2 * y + 1)};
            const auto mean = [&](int IColor::*channel) {
                return (quad[0].*channel + quad[1].*channel + quad[2].*channel + quad[3].*channel) / 4.0;
            };
            result.meanDifference += std::abs(mean(&IColor::R) - one.R) + std::abs(mean(&IColor::G) - one.G) +
                                     std::abs(mean(&IColor::B) - one.B);
            ++blocks;
            if (!(quad[0] == quad[1] && quad[0] == quad[2] && quad[0] == quad[3])) ++detailed;
        }
    }
    result.meanDifference /= 3.0 * blocks;
    result.fineDetail = static_cast<double>(detailed) / blocks;
    return result;
}

TEST(TwiceScale, ACanvasAtTwoDrawsTheSamePictureWithFinerDetail) {
    for (const SceneCase& scene : kScenes) {
        SCOPED_TRACE(scene.name);
        IGraphics coarse(kWidth, kHeight);
        IGraphics fine(kWidth, kHeight, 2);
        EXPECT_EQ(fine.Bounds(), coarse.Bounds()) << "callers keep editor pixels";
        scene.draw(coarse);
        scene.draw(fine);
        const Comparison c = Compare(coarse, fine);
        // The same shapes in the same places: only edges and hinting differ.
        EXPECT_LT(c.meanDifference, 3.0);
        // An enlarged 1x picture would be flat in every 2 x 2 block.
        EXPECT_GT(c.fineDetail, 0.04);
    }
}

TEST(TwiceScale, RectanglesCoverWholeDevicePixels) {
    IGraphics fine(10, 10, 2);
    fine.FillIRect(COLOR_WHITE, {2, 3, 5, 4});
    for (const auto& [x, y, lit] : {std::tuple{4, 6, true}, {9, 7, true}, {3, 6, false}, {10, 6, false},
                                    {4, 5, false}, {4, 8, false}})
        EXPECT_EQ(fine.PixelAt(x, y) == COLOR_WHITE, lit) << x << "," << y;
}

}  // namespace
}  // namespace sorel
