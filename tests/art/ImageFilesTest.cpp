// The committed editor images: sheet sizes and frame counts as the editor
// expects them, and frames that actually show what they stand for.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "art/RgbaImage.h"
#include "resources/ScaledResource.h"

namespace sorel::art::test {
namespace {

struct ImageEntry {
  const char* name;
  int width;
  int height;
  int frames;
};

// The editor's image table: sheet size of the whole image and its frame count.
const ImageEntry kImages[] = {
    {"background.png", 1000, 565, 1},
    {"ptnviewStepOnoff_23x13.png", 23, 26, 2},
    {"noteliststrip_21x8_30frames.png", 21, 240, 30},
    {"ptnview_63x15.png", 63, 30, 2},
    {"About.png", 1000, 565, 1},
    {"freebutton_38x19.png", 38, 38, 2},
    {"buttonOnOff_27x23.png", 27, 46, 2},
    {"bipolar_knob_with_ring_127frames.png", 56, 7112, 127},
    {"unipolar_knob_with_ring_127frames.png", 56, 7112, 127},
    {"button_27x23.png", 27, 46, 2},
    {"incomingnote_27x9_30frames.png", 27, 270, 30},
    {"boxbuttonLeft_27x14.png", 27, 28, 2},
    {"resizebutton_15x11.png", 15, 22, 2},
    {"boxbuttonOK_27x14.png", 27, 28, 2},
    {"boxbuttonRight_27x14.png", 27, 28, 2},
    {"boxbuttonInfo_30x14.png", 30, 28, 2},
    {"buttonTeach_27x23.png", 27, 46, 2},
    {"editClear_33x27.png", 33, 54, 2},
    {"editCopy_33x27.png", 33, 54, 2},
    {"editDraw_33x27.png", 33, 54, 2},
    {"editPaste_33x27.png", 33, 54, 2},
    {"editRand_33x27.png", 33, 54, 2},
    {"editSelect_33x27.png", 33, 54, 2},
    {"lockbutton_21x21.png", 21, 42, 2},
    {"panicbutton_29x19.png", 29, 38, 2},
    {"SbuttonLeft_23x21.png", 23, 42, 2},
    {"SbuttonRight_23x21.png", 23, 42, 2},
    {"Sbutton_23x21.png", 23, 42, 2},
    {"ptnviewloopstart_24x15.png", 24, 15, 1},
    {"ptnviewloopend_24x15.png", 24, 15, 1},
    {"ptnviewCC_19x15.png", 19, 30, 2},
    {"basenoteled_16x8.png", 16, 16, 2},
    {"unipolar_knob_with_ring_5frames.png", 56, 280, 5},
    {"bipolar_knob_with_ring_25frames.png", 56, 1400, 25},
    {"unipolar_knob_with_ring_23frames.png", 56, 1288, 23},
    {"boxbuttonSettings_48x14.png", 48, 28, 2},
};

RgbaImage loadImage(const std::string& name) { return RgbaImage::load(resourcePath("images/" + name)); }

// Mean absolute difference of the colour channels (alpha-weighted onto black)
// between two frames of a vertical strip.
double frameDifference(const RgbaImage& image, int frames, int a, int b) {
  const int frameHeight = image.height / frames;
  double total = 0;
  for (int y = 0; y < frameHeight; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const std::uint8_t* p = image.at(x, a * frameHeight + y);
      const std::uint8_t* q = image.at(x, b * frameHeight + y);
      for (int c = 0; c < 3; ++c) total += std::abs(p[c] * p[3] / 255.0 - q[c] * q[3] / 255.0);
    }
  }
  return total / (3.0 * image.width * frameHeight);
}

// Pixels of a frame that carry colour (the accent), as opposed to the greys of
// bodies, tracks and outlines.
int colouredPixels(const RgbaImage& image, int frames, int frame) {
  const int frameHeight = image.height / frames;
  int count = 0;
  for (int y = 0; y < frameHeight; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const std::uint8_t* p = image.at(x, frame * frameHeight + y);
      if (p[3] > 128 && p[2] - p[0] > 50) ++count;
    }
  }
  return count;
}

double alphaSum(const RgbaImage& image, int frames, int frame) {
  const int frameHeight = image.height / frames;
  double sum = 0;
  for (int y = 0; y < frameHeight; ++y)
    for (int x = 0; x < image.width; ++x) sum += image.at(x, frame * frameHeight + y)[3];
  return sum;
}

double brightnessSum(const RgbaImage& image, int frames, int frame) {
  const int frameHeight = image.height / frames;
  double sum = 0;
  for (int y = 0; y < frameHeight; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const std::uint8_t* p = image.at(x, frame * frameHeight + y);
      sum += (p[0] + p[1] + p[2]) * p[3] / 255.0;
    }
  }
  return sum;
}

TEST(ImageFiles, EveryImageHasItsSheetSizeFramesAndAlpha) {
  for (const ImageEntry& entry : kImages) {
    SCOPED_TRACE(entry.name);
    const RgbaImage image = loadImage(entry.name);
    ASSERT_GT(image.width, 0) << "missing or undecodable";
    EXPECT_EQ(image.width, entry.width);
    EXPECT_EQ(image.height, entry.height);
    EXPECT_EQ(image.height % entry.frames, 0) << "frames must split the sheet evenly";
    EXPECT_TRUE(image.fileHasAlpha) << "stored as RGBA";
    const RgbaImage twin = loadImage(resources::ScaledName(entry.name, 2));
    EXPECT_EQ(twin.width, 2 * entry.width);
    EXPECT_EQ(twin.height, 2 * entry.height) << "as many frames, each twice the size";
    EXPECT_TRUE(twin.fileHasAlpha);
  }
}

TEST(ImageFiles, TwoFrameButtonsShowAnUnmistakableOnFrame) {
  for (const ImageEntry& entry : kImages) {
    if (entry.frames != 2) continue;
    SCOPED_TRACE(entry.name);
    const RgbaImage image = loadImage(entry.name);
    ASSERT_GT(image.width, 0);
    // About a tenth of the colour range on average over the whole face.
    EXPECT_GT(frameDifference(image, 2, 0, 1), 12.0);
    // The on frame carries the accent, the off frame hardly any.
    EXPECT_GT(colouredPixels(image, 2, 1), 2 * colouredPixels(image, 2, 0) + 4);
  }
}

TEST(ImageFiles, UnipolarKnobRingsGrowFromEmptyToFull) {
  for (const char* name : {"unipolar_knob_with_ring_127frames.png", "unipolar_knob_with_ring_5frames.png",
                           "unipolar_knob_with_ring_23frames.png"}) {
    SCOPED_TRACE(name);
    const RgbaImage image = loadImage(name);
    ASSERT_GT(image.width, 0);
    const int frames = image.height / image.width;
    for (int k = 1; k < frames; ++k) {
      EXPECT_GT(frameDifference(image, frames, k - 1, k), 0.05) << "frame " << k << " repeats its predecessor";
      EXPECT_GE(colouredPixels(image, frames, k), colouredPixels(image, frames, k - 1)) << "frame " << k;
    }
    EXPECT_GT(colouredPixels(image, frames, frames - 1), 8 * (colouredPixels(image, frames, 0) + 10));
  }
}

TEST(ImageFiles, BipolarKnobRingsGrowFromTheCentreBothWays) {
  for (const char* name : {"bipolar_knob_with_ring_127frames.png", "bipolar_knob_with_ring_25frames.png"}) {
    SCOPED_TRACE(name);
    const RgbaImage image = loadImage(name);
    ASSERT_GT(image.width, 0);
    const int frames = image.height / image.width;
    const int centre = (frames - 1) / 2;
    const int atCentre = colouredPixels(image, frames, centre);
    for (int k = 1; k < frames; ++k) {
      EXPECT_GT(frameDifference(image, frames, k - 1, k), 0.05) << "frame " << k << " repeats its predecessor";
    }
    for (int k = 0; k < centre; ++k) {
      EXPECT_GE(colouredPixels(image, frames, k), colouredPixels(image, frames, k + 1)) << "frame " << k;
    }
    for (int k = centre + 1; k < frames; ++k) {
      EXPECT_GE(colouredPixels(image, frames, k), colouredPixels(image, frames, k - 1)) << "frame " << k;
    }
    EXPECT_GT(colouredPixels(image, frames, 0), 4 * (atCentre + 10));
    EXPECT_GT(colouredPixels(image, frames, frames - 1), 4 * (atCentre + 10));
    // Both ends fill the same length of ring, mirrored.
    const double ratio = double(colouredPixels(image, frames, 0)) / colouredPixels(image, frames, frames - 1);
    EXPECT_NEAR(ratio, 1.0, 0.15);
  }
}

TEST(ImageFiles, NoteMarksFadeFromTheFirstFrameToNearlyNothing) {
  const RgbaImage image = loadImage("noteliststrip_21x8_30frames.png");
  ASSERT_GT(image.width, 0);
  for (int k = 1; k < 30; ++k) EXPECT_LT(alphaSum(image, 30, k), alphaSum(image, 30, k - 1)) << "frame " << k;
  EXPECT_LT(alphaSum(image, 30, 29), 0.1 * alphaSum(image, 30, 0));
}

TEST(ImageFiles, IncomingNoteLightsBrightenTowardsTheLastFrame) {
  // The indicator shows a high value right after a note arrives, so the last
  // frame is the brightest and the first the dark resting state.
  const RgbaImage image = loadImage("incomingnote_27x9_30frames.png");
  ASSERT_GT(image.width, 0);
  for (int k = 1; k < 30; ++k) {
    EXPECT_GT(brightnessSum(image, 30, k), brightnessSum(image, 30, k - 1)) << "frame " << k;
  }
  EXPECT_GT(brightnessSum(image, 30, 29), 3 * brightnessSum(image, 30, 0));
}

TEST(ImageFiles, WindowSizedImagesAreOpaque) {
  for (const char* name : {"background.png", "About.png"}) {
    SCOPED_TRACE(name);
    const RgbaImage image = loadImage(name);
    ASSERT_GT(image.width, 0);
    int translucent = 0;
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x) translucent += image.at(x, y)[3] != 255;
    EXPECT_EQ(translucent, 0);
  }
}

TEST(ImageFiles, LoopMarkersPointIntoTheLoop) {
  // The start marker's ink leans to its left edge, the end marker's to its right.
  const auto inkCentre = [](const RgbaImage& image) {
    double weighted = 0, total = 0;
    for (int y = 0; y < image.height; ++y) {
      for (int x = 0; x < image.width; ++x) {
        weighted += x * image.at(x, y)[3];
        total += image.at(x, y)[3];
      }
    }
    return total > 0 ? weighted / total : -1.0;
  };
  const RgbaImage start = loadImage("ptnviewloopstart_24x15.png");
  const RgbaImage end = loadImage("ptnviewloopend_24x15.png");
  ASSERT_GT(start.width, 0);
  ASSERT_GT(end.width, 0);
  EXPECT_GT(inkCentre(start), 0.0);
  EXPECT_LT(inkCentre(start), start.width / 2.0);
  EXPECT_GT(inkCentre(end), end.width / 2.0);
}

}  // namespace
}  // namespace sorel::art::test
