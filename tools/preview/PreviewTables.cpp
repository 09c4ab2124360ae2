#include "tools/preview/PreviewTables.h"

#include <algorithm>

namespace sorel::preview {
namespace {

constexpr ImageEntry kImages[] = {
    {101, "resources/images/background.png", 1},
    {105, "resources/images/About.png", 1},
    {102, "resources/images/ptnviewStepOnoff_23x13.png", 2},
    {103, "resources/images/noteliststrip_21x8_30frames.png", 30},
    {104, "resources/images/ptnview_59x15.png", 2},
    {106, "resources/images/freebutton_38x19.png", 2},
    {107, "resources/images/buttonOnOff_27x23.png", 2},
    {108, "resources/images/bipolar_knob_with_ring_127frames.png", 127},
    {109, "resources/images/unipolar_knob_with_ring_127frames.png", 127},
    {111, "resources/images/button_27x23.png", 2},
    {112, "resources/images/incomingnote_27x9_30frames.png", 30},
    {122, "resources/images/boxbuttonLeft_27x14.png", 2},
    {123, "resources/images/resizebutton_15x11.png", 2},
    {124, "resources/images/boxbuttonOK_27x14.png", 2},
    {125, "resources/images/boxbuttonRight_27x14.png", 2},
    {126, "resources/images/boxbuttonInfo_30x14.png", 2},
    {127, "resources/images/buttonTeach_27x23.png", 2},
    {128, "resources/images/editClear_33x27.png", 2},
    {129, "resources/images/editCopy_33x27.png", 2},
    {130, "resources/images/editDraw_33x27.png", 2},
    {131, "resources/images/editPaste_33x27.png", 2},
    {132, "resources/images/editRand_33x27.png", 2},
    {133, "resources/images/editSelect_33x27.png", 2},
    {134, "resources/images/lockbutton_21x21.png", 2},
    {135, "resources/images/panicbutton_29x19.png", 2},
    {136, "resources/images/SbuttonLeft_23x21.png", 2},
    {137, "resources/images/SbuttonRight_23x21.png", 2},
    {138, "resources/images/Sbutton_23x21.png", 2},
    {141, "resources/images/ptnviewloopstart_24x15.png", 1},
    {142, "resources/images/ptnviewloopend_24x15.png", 1},
    {143, "resources/images/ptnviewCC_19x15.png", 2},
    {144, "resources/images/basenoteled_16x8.png", 2},
    {146, "resources/images/unipolar_knob_with_ring_5frames.png", 5},
    {147, "resources/images/bipolar_knob_with_ring_25frames.png", 25},
    {148, "resources/images/unipolar_knob_with_ring_23frames.png", 23},
    {151, "resources/images/boxbuttonSettings_48x14.png", 2},
    {152, "resources/images/small_knob_22x22_51frames.png", 51},
};

// Skin index and image, for the controls whose image the skin name makes plain.
constexpr PlacedImage kPlaced[] = {
    {0, 109}, {1, 109}, {2, 148}, {3, 106}, {4, 109}, {5, 146}, {6, 147}, {7, 108},
    {8, 109}, {9, 107}, {10, 107}, {11, 107}, {12, 107}, {13, 107}, {14, 107}, {16, 107},
    {125, 107}, {26, 127}, {27, 112}, {28, 112}, {29, 112}, {30, 112}, {37, 102}, {68, 102},
    {129, 130}, {130, 133}, {131, 132}, {132, 129}, {133, 131}, {134, 128}, {135, 135}, {136, 122},
    {137, 125}, {140, 126}, {141, 151}, {146, 122}, {147, 125}, {148, 129}, {149, 131}, {150, 128},
    {151, 124}, {152, 137}, {153, 136}, {156, 123}, {158, 134}, {159, 134}, {160, 134}, {161, 134},
    {162, 134}, {169, 152},
};

}  // namespace

std::span<const ImageEntry> Images() { return kImages; }
std::span<const PlacedImage> PlacedImages() { return kPlaced; }

const ImageEntry* FindImage(int number) {
    const auto it = std::find_if(std::begin(kImages), std::end(kImages),
                                 [number](const ImageEntry& e) { return e.number == number; });
    return it == std::end(kImages) ? nullptr : &*it;
}

bool IsContainer(int skinIndex) {
    // pattern view, scene view, chord memory, keyboard, about box, window
    for (int container : {36, 118, 126, 127, 167, 168})
        if (skinIndex == container) return true;
    return false;
}

}  // namespace sorel::preview
