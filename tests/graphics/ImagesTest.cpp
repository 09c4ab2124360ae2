// The images compiled into the module: each one the editor names decodes to
// the frames it is drawn from, decoded once for all the instances of the
// process and freed with their last user.
#include "editor/EditorImages.h"
#include "graphics/BitmapCache.h"
#include "graphics/IGraphics.h"
#include "resources/Resources.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace sorel {
namespace {

using namespace image;

// The size of one frame of each image.
constexpr struct { const ImageResource* image; int width, height; } kFrames[] = {
    {&kBackground, 1000, 565}, {&kStepOnOff, 23, 13},     {&kNoteListStrip, 21, 8},  {&kLaneSelector, 63, 15},
    {&kAbout, 1000, 565},      {&kFreeButton, 38, 19},    {&kOnOff, 27, 23},         {&kBipolarKnob, 56, 56},
    {&kUnipolarKnob, 56, 56},  {&kButton, 27, 23},        {&kIncomingNote, 27, 9},   {&kBoxLeft, 27, 14},
    {&kResize, 15, 11},        {&kBoxOk, 27, 14},         {&kBoxRight, 27, 14},      {&kBoxInfo, 30, 14},
    {&kTeach, 27, 23},         {&kEditClear, 33, 27},     {&kEditCopy, 33, 27},      {&kEditDraw, 33, 27},
    {&kEditPaste, 33, 27},     {&kEditRandom, 33, 27},    {&kEditSelect, 33, 27},    {&kLock, 21, 21},
    {&kPanic, 29, 19},         {&kInvertLeft, 23, 21},    {&kInvertRight, 23, 21},   {&kSlotButton, 23, 21},
    {&kLoopStart, 24, 15},     {&kLoopEnd, 24, 15},       {&kCcSelector, 19, 15},    {&kBaseNoteLed, 16, 8},
    {&kOctavesKnob, 56, 56},   {&kTransposeKnob, 56, 56}, {&kRateKnob, 56, 56},      {&kSettings, 48, 14},
};

TEST(Images, EveryImageDecodesToItsFrames) {
    IGraphics g(1, 1);
    for (const auto& [image, width, height] : kFrames) {
        const IBitmap bitmap = g.LoadIBitmap(image->number, image->name, image->frames);
        EXPECT_EQ(std::pair(bitmap.W(), bitmap.H()), std::pair(width, height * image->frames)) << image->name;
    }
}

TEST(Images, InstancesLoadingAtOnceShareOneDecodeFreedWithItsLastUser) {
    std::vector<const resources::Resource*> images;
    for (const auto& resource : resources::All())
        if (resource.type == "PNG") images.push_back(&resource);
    ASSERT_GE(images.size(), std::size(kFrames));
    constexpr int kInstances = 4;
    std::vector<std::vector<IBitmap>> loaded(kInstances);
    std::vector<std::thread> threads;
    for (int i = 0; i < kInstances; ++i)
        threads.emplace_back([&, i] {
            IGraphics g(1, 1);
            // The frame count belongs to the bitmap, not to the shared pixels.
            for (const auto* image : images) loaded[i].push_back(g.LoadIBitmap(image->number, image->name, 1 + i % 2));
        });
    for (auto& t : threads) t.join();
    for (std::size_t k = 0; k < images.size(); ++k) {
        ASSERT_TRUE(loaded[0][k].IsValid()) << images[k]->name;
        for (int i = 1; i < kInstances; ++i) {
            EXPECT_EQ(loaded[i][k].Pixels(), loaded[0][k].Pixels());
            EXPECT_EQ(loaded[i][k].Frames(), 1 + i % 2);
        }
    }
    const std::weak_ptr<const PixelImage> watch = loaded[0][0].SharedPixels();
    loaded.clear();
    EXPECT_TRUE(watch.expired());
    EXPECT_TRUE(BitmapCache::Shared().Load(images[0]->number, images[0]->name, 1).IsValid()) << "decoded again";
}

}  // namespace
}  // namespace sorel
