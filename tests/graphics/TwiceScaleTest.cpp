// A canvas at scale 2 shows the editor the same way as at 1x, in editor
// pixels, but from art drawn at twice the resolution.
#include "graphics/IGraphics.h"
#include "resources/Resources.h"
#include "resources/ScaledResource.h"

#include <gtest/gtest.h>

#include <tuple>
#include <string>

namespace sorel {
namespace {

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

TEST(TwiceScale, RectanglesCoverWholeDevicePixels) {
    IGraphics fine(10, 10, 2);
    fine.FillIRect(COLOR_WHITE, {2, 3, 5, 4});
    for (const auto& [x, y, lit] : {std::tuple{4, 6, true}, {9, 7, true}, {3, 6, false}, {10, 6, false},
                                    {4, 5, false}, {4, 8, false}})
        EXPECT_EQ(fine.PixelAt(x, y) == COLOR_WHITE, lit) << x << "," << y;
}

}  // namespace
}  // namespace sorel
