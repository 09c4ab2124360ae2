#include "tools/art/ArtSet.h"

#include <filesystem>

#include "tools/art/AboutBoxPainter.h"
#include "tools/art/BackgroundPainter.h"
#include "tools/art/ButtonArt.h"
#include "tools/art/ButtonIcons.h"
#include "tools/art/CarlitoFace.h"
#include "tools/art/FontSheetBuilder.h"
#include "tools/art/IndicatorArt.h"
#include "tools/art/KnobStrip.h"
#include "tools/art/SkinLayout.h"
#include "resources/ScaledResource.h"

namespace sorel::art {

namespace {

void writeFonts(const CarlitoFace& face, const std::string& dir) {
  const Colour white = rgb(255, 255, 255);
  const Colour black = rgb(0, 0, 0);
  const FontRecipe fonts[] = {
      {"Calibri_12px", 12, 17, white},       {"Calibri_10px", 10, 14, white},
      {"Calibri_12px_white", 12, 14, white}, {"Calibri_14px", 14, 19, white},
      {"Calibri_12px_black", 12, 14, black},
  };
  for (const FontRecipe& entry : fonts) FontSheetBuilder(face, entry).write(dir);
}

// The path of an image at a scale: "knob.png" at 2 is "knob@2x.png".
std::string at(const std::string& dir, const std::string& file, int scale) {
  return resources::ScaledName(dir + "/" + file, scale);
}

void writeKnobs(const std::string& dir, int scale) {
  const auto knob = [&](int frames, KnobPolarity polarity, const std::string& file, int size = KnobStrip::kSize) {
    KnobStrip(frames, polarity, size).write(at(dir, file, scale), scale);
  };
  knob(127, KnobPolarity::Bipolar, "bipolar_knob_with_ring_127frames.png");
  knob(127, KnobPolarity::Unipolar, "unipolar_knob_with_ring_127frames.png");
  knob(5, KnobPolarity::Unipolar, "unipolar_knob_with_ring_5frames.png");
  knob(25, KnobPolarity::Bipolar, "bipolar_knob_with_ring_25frames.png");
  knob(23, KnobPolarity::Unipolar, "unipolar_knob_with_ring_23frames.png");
  knob(51, KnobPolarity::Unipolar, "small_knob_22x22_51frames.png", 22);
}

void writeButtons(const ButtonIcons& icons, const std::string& dir, int scale) {
  const auto button = [&](int w, int h, ButtonStyle style, const std::string& file, const IconPainter& icon = {}) {
    ButtonArt(w, h, style).write(at(dir, file, scale), scale, icon);
  };
  const auto flat = ButtonStyle::Flat;
  const auto raised = ButtonStyle::Raised;
  button(23, 13, flat, "ptnviewStepOnoff_23x13.png", icons.led());
  button(59, 15, flat, "ptnview_59x15.png");
  button(19, 15, flat, "ptnviewCC_19x15.png");
  button(27, 23, flat, "button_27x23.png");
  button(23, 21, flat, "Sbutton_23x21.png");
  button(38, 19, raised, "freebutton_38x19.png", icons.text("FREE", 9));
  button(27, 23, raised, "buttonOnOff_27x23.png", icons.led());
  button(27, 23, raised, "buttonTeach_27x23.png", icons.target());
  button(27, 14, raised, "boxbuttonLeft_27x14.png", icons.arrow(false));
  button(27, 14, raised, "boxbuttonRight_27x14.png", icons.arrow(true));
  button(27, 14, raised, "boxbuttonOK_27x14.png", icons.text("OK", 9));
  button(30, 14, raised, "boxbuttonInfo_30x14.png", icons.text("INFO", 8.5));
  button(48, 14, raised, "boxbuttonSettings_48x14.png", icons.text("SETTINGS", 8.5));
  button(15, 11, raised, "resizebutton_15x11.png", icons.resize());
  button(33, 27, raised, "editClear_33x27.png", icons.cross());
  button(33, 27, raised, "editCopy_33x27.png", icons.copy());
  button(33, 27, raised, "editDraw_33x27.png", icons.pencil());
  button(33, 27, raised, "editPaste_33x27.png", icons.paste());
  button(33, 27, raised, "editRand_33x27.png", icons.dice());
  button(33, 27, raised, "editSelect_33x27.png", icons.selection());
  button(21, 21, raised, "lockbutton_21x21.png", icons.padlock());
  button(29, 19, raised, "panicbutton_29x19.png", icons.warning());
  button(23, 21, raised, "SbuttonLeft_23x21.png", icons.chevrons(false));
  button(23, 21, raised, "SbuttonRight_23x21.png", icons.chevrons(true));
}

void writeIndicators(const std::string& dir, int scale) {
  IndicatorArt::writeNoteListStrip(at(dir, "noteliststrip_21x8_30frames.png", scale), scale);
  IndicatorArt::writeIncomingNoteStrip(at(dir, "incomingnote_27x9_30frames.png", scale), scale);
  IndicatorArt::writeBaseNoteLed(at(dir, "basenoteled_16x8.png", scale), scale);
  IndicatorArt::writeLoopStart(at(dir, "ptnviewloopstart_24x15.png", scale), scale);
  IndicatorArt::writeLoopEnd(at(dir, "ptnviewloopend_24x15.png", scale), scale);
}

}  // namespace

ArtSet::ArtSet(std::string resourcesDir) : dir_(std::move(resourcesDir)) {}

void ArtSet::writeAll() const {
  const std::string fonts = dir_ + "/fonts";
  const std::string images = dir_ + "/images";
  std::filesystem::create_directories(fonts);
  std::filesystem::create_directories(images);
  const SkinLayout skin = SkinLayout::load(dir_ + "/skin/Sorel.skin");
  const CarlitoFace regular(Weight::Regular);
  const CarlitoFace bold(Weight::Bold);
  const ButtonIcons icons(bold);
  writeFonts(regular, fonts);
  for (const int scale : resources::kScales) {
    writeKnobs(images, scale);
    writeButtons(icons, images, scale);
    writeIndicators(images, scale);
    BackgroundPainter(skin, regular, bold).write(at(images, "background.png", scale), scale);
    AboutBoxPainter(skin, regular, bold).write(at(images, "About.png", scale), scale);
  }
}

}  // namespace sorel::art
