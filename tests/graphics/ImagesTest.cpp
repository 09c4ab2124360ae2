// The images compiled into the module, as the editor names them.
#include "editor/EditorImages.h"
#include "graphics/BitmapCache.h"
#include "graphics/IGraphics.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace sorel {
namespace {

using namespace image;

// The size of one frame of each image.
constexpr struct { const ImageResource* image; int width, height; } kFrames[] = {
    {&kBackground, 1000, 565}, {&kStepOnOff, 23, 13},     {&kNoteListStrip, 21, 8},  {&kLaneSelector, 59, 15},
    {&kAbout, 1000, 565},      {&kFreeButton, 38, 19},    {&kOnOff, 27, 23},         {&kBipolarKnob, 56, 56},
    {&kUnipolarKnob, 56, 56},  {&kButton, 27, 23},        {&kIncomingNote, 27, 9},   {&kBoxLeft, 27, 14},
    {&kResize, 15, 11},        {&kBoxOk, 27, 14},         {&kBoxRight, 27, 14},      {&kBoxInfo, 30, 14},
    {&kTeach, 27, 23},         {&kEditClear, 33, 27},     {&kEditCopy, 33, 27},      {&kEditDraw, 33, 27},
    {&kEditPaste, 33, 27},     {&kEditRandom, 33, 27},    {&kEditSelect, 33, 27},    {&kLock, 21, 21},
    {&kPanic, 29, 19},         {&kInvertLeft, 23, 21},    {&kInvertRight, 23, 21},   {&kSlotButton, 23, 21},
    {&kLoopStart, 24, 15},     {&kLoopEnd, 24, 15},       {&kCcSelector, 19, 15},    {&kBaseNoteLed, 16, 8},
    {&kOctavesKnob, 56, 56},   {&kTransposeKnob, 56, 56}, {&kRateKnob, 56, 56},      {&kSettings, 48, 14},
    {&kSmallKnob, 22, 22},
};

// Instances loading every image at once: each gets the frames it asked for,
// all share the pixels of one decode, freed with their last user.
TEST(Images, EveryImageDecodesOnceToItsFrames) {
    constexpr int kInstances = 4;
    std::vector<std::vector<IBitmap>> loaded(kInstances);
    std::vector<std::thread> threads;
    for (int i = 0; i < kInstances; ++i)
        threads.emplace_back([&, i] {
            IGraphics g(1, 1);
            for (const auto& row : kFrames)
                loaded[i].push_back(g.LoadIBitmap(row.image->number, row.image->name, i % 2 ? 1 : row.image->frames));
        });
    for (auto& t : threads) t.join();
    for (std::size_t k = 0; k < std::size(kFrames); ++k) {
        const auto& [image, width, height] = kFrames[k];
        EXPECT_EQ(std::pair(loaded[0][k].W(), loaded[0][k].FrameHeight()), std::pair(width, height)) << image->name;
        for (int i = 1; i < kInstances; ++i) {
            EXPECT_EQ(loaded[i][k].Pixels(), loaded[0][k].Pixels());
            EXPECT_EQ(loaded[i][k].Frames(), i % 2 ? 1 : image->frames);
        }
    }
    const std::weak_ptr<const PixelImage> watch = loaded[0][0].SharedPixels();
    loaded.clear();
    EXPECT_TRUE(watch.expired());
    EXPECT_TRUE(BitmapCache::Shared().Load(kBackground.number, kBackground.name, 1).IsValid()) << "decoded again";
}

}  // namespace
}  // namespace sorel
