#pragma once
// The editor's images: resource number, name and frame count of each.

#include <string_view>

namespace sorel {

struct ImageResource {
    int number;
    std::string_view name;
    int frames;
};

namespace image {
inline constexpr ImageResource kBackground{101, "resources/images/background.png", 1};
inline constexpr ImageResource kStepOnOff{102, "resources/images/ptnviewStepOnoff_23x13.png", 2};
inline constexpr ImageResource kNoteListStrip{103, "resources/images/noteliststrip_21x8_30frames.png", 30};
inline constexpr ImageResource kLaneSelector{104, "resources/images/ptnview_59x15.png", 2};
inline constexpr ImageResource kAbout{105, "resources/images/About.png", 1};
inline constexpr ImageResource kFreeButton{106, "resources/images/freebutton_38x19.png", 2};
inline constexpr ImageResource kOnOff{107, "resources/images/buttonOnOff_27x23.png", 2};
inline constexpr ImageResource kBipolarKnob{108, "resources/images/bipolar_knob_with_ring_127frames.png", 127};
inline constexpr ImageResource kUnipolarKnob{109, "resources/images/unipolar_knob_with_ring_127frames.png", 127};
inline constexpr ImageResource kButton{111, "resources/images/button_27x23.png", 2};
inline constexpr ImageResource kIncomingNote{112, "resources/images/incomingnote_27x9_30frames.png", 30};
inline constexpr ImageResource kBoxLeft{122, "resources/images/boxbuttonLeft_27x14.png", 2};
inline constexpr ImageResource kResize{123, "resources/images/resizebutton_15x11.png", 2};
inline constexpr ImageResource kBoxOk{124, "resources/images/boxbuttonOK_27x14.png", 2};
inline constexpr ImageResource kBoxRight{125, "resources/images/boxbuttonRight_27x14.png", 2};
inline constexpr ImageResource kBoxInfo{126, "resources/images/boxbuttonInfo_30x14.png", 2};
inline constexpr ImageResource kTeach{127, "resources/images/buttonTeach_27x23.png", 2};
inline constexpr ImageResource kEditClear{128, "resources/images/editClear_33x27.png", 2};
inline constexpr ImageResource kEditCopy{129, "resources/images/editCopy_33x27.png", 2};
inline constexpr ImageResource kEditDraw{130, "resources/images/editDraw_33x27.png", 2};
inline constexpr ImageResource kEditPaste{131, "resources/images/editPaste_33x27.png", 2};
inline constexpr ImageResource kEditRandom{132, "resources/images/editRand_33x27.png", 2};
inline constexpr ImageResource kEditSelect{133, "resources/images/editSelect_33x27.png", 2};
inline constexpr ImageResource kLock{134, "resources/images/lockbutton_21x21.png", 2};
inline constexpr ImageResource kPanic{135, "resources/images/panicbutton_29x19.png", 2};
inline constexpr ImageResource kInvertLeft{136, "resources/images/SbuttonLeft_23x21.png", 2};
inline constexpr ImageResource kInvertRight{137, "resources/images/SbuttonRight_23x21.png", 2};
inline constexpr ImageResource kSlotButton{138, "resources/images/Sbutton_23x21.png", 2};
inline constexpr ImageResource kLoopStart{141, "resources/images/ptnviewloopstart_24x15.png", 1};
inline constexpr ImageResource kLoopEnd{142, "resources/images/ptnviewloopend_24x15.png", 1};
inline constexpr ImageResource kCcSelector{143, "resources/images/ptnviewCC_19x15.png", 2};
inline constexpr ImageResource kBaseNoteLed{144, "resources/images/basenoteled_16x8.png", 2};
inline constexpr ImageResource kOctavesKnob{146, "resources/images/unipolar_knob_with_ring_5frames.png", 5};
inline constexpr ImageResource kTransposeKnob{147, "resources/images/bipolar_knob_with_ring_25frames.png", 25};
inline constexpr ImageResource kRateKnob{148, "resources/images/unipolar_knob_with_ring_23frames.png", 23};
inline constexpr ImageResource kSettings{151, "resources/images/boxbuttonSettings_48x14.png", 2};
inline constexpr ImageResource kSmallKnob{152, "resources/images/small_knob_22x22_51frames.png", 51};

// Large images the editor needs at its first open, decoded on a second
// thread while the first builds the controls: the background, used last,
// and the biggest strip that the first controls do not use.
inline constexpr ImageResource kDecodedAside[] = {kBipolarKnob, kBackground};
}  // namespace image

}  // namespace sorel
