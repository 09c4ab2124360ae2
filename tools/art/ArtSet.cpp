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

void writeKnobs(const std::string& dir) {
  KnobStrip(127, KnobPolarity::Bipolar).write(dir + "/bipolar_knob_with_ring_127frames.png");
  KnobStrip(127, KnobPolarity::Unipolar).write(dir + "/unipolar_knob_with_ring_127frames.png");
  KnobStrip(5, KnobPolarity::Unipolar).write(dir + "/unipolar_knob_with_ring_5frames.png");
  KnobStrip(25, KnobPolarity::Bipolar).write(dir + "/bipolar_knob_with_ring_25frames.png");
  KnobStrip(23, KnobPolarity::Unipolar).write(dir + "/unipolar_knob_with_ring_23frames.png");
}

void writeButtons(const ButtonIcons& icons, const std::string& dir) {
  const auto flat = ButtonStyle::Flat;
  ButtonArt(23, 13, flat).write(dir + "/ptnviewStepOnoff_23x13.png", icons.led());
  ButtonArt(63, 15, flat).write(dir + "/ptnview_63x15.png");
  ButtonArt(19, 15, flat).write(dir + "/ptnviewCC_19x15.png");
  ButtonArt(27, 23, flat).write(dir + "/button_27x23.png");
  ButtonArt(23, 21, flat).write(dir + "/Sbutton_23x21.png");
  ButtonArt(38, 19).write(dir + "/freebutton_38x19.png", icons.text("FREE", 9));
  ButtonArt(27, 23).write(dir + "/buttonOnOff_27x23.png", icons.led());
  ButtonArt(27, 23).write(dir + "/buttonTeach_27x23.png", icons.target());
  ButtonArt(27, 14).write(dir + "/boxbuttonLeft_27x14.png", icons.arrow(false));
  ButtonArt(27, 14).write(dir + "/boxbuttonRight_27x14.png", icons.arrow(true));
  ButtonArt(27, 14).write(dir + "/boxbuttonOK_27x14.png", icons.text("OK", 9));
  ButtonArt(30, 14).write(dir + "/boxbuttonInfo_30x14.png", icons.text("INFO", 8.5));
  ButtonArt(48, 14).write(dir + "/boxbuttonSettings_48x14.png", icons.text("SETTINGS", 8.5));
  ButtonArt(15, 11).write(dir + "/resizebutton_15x11.png", icons.resize());
  ButtonArt(33, 27).write(dir + "/editClear_33x27.png", icons.cross());
  ButtonArt(33, 27).write(dir + "/editCopy_33x27.png", icons.copy());
  ButtonArt(33, 27).write(dir + "/editDraw_33x27.png", icons.pencil());
  ButtonArt(33, 27).write(dir + "/editPaste_33x27.png", icons.paste());
  ButtonArt(33, 27).write(dir + "/editRand_33x27.png", icons.dice());
  ButtonArt(33, 27).write(dir + "/editSelect_33x27.png", icons.selection());
  ButtonArt(21, 21).write(dir + "/lockbutton_21x21.png", icons.padlock());
  ButtonArt(29, 19).write(dir + "/panicbutton_29x19.png", icons.warning());
  ButtonArt(23, 21).write(dir + "/SbuttonLeft_23x21.png", icons.chevrons(false));
  ButtonArt(23, 21).write(dir + "/SbuttonRight_23x21.png", icons.chevrons(true));
}

void writeIndicators(const std::string& dir) {
  IndicatorArt::writeNoteListStrip(dir + "/noteliststrip_21x8_30frames.png");
  IndicatorArt::writeIncomingNoteStrip(dir + "/incomingnote_27x9_30frames.png");
  IndicatorArt::writeBaseNoteLed(dir + "/basenoteled_16x8.png");
  IndicatorArt::writeLoopStart(dir + "/ptnviewloopstart_24x15.png");
  IndicatorArt::writeLoopEnd(dir + "/ptnviewloopend_24x15.png");
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
  writeKnobs(images);
  writeButtons(icons, images);
  writeIndicators(images);
  BackgroundPainter(skin, regular, bold).write(images + "/background.png");
  AboutBoxPainter(skin, regular, bold).write(images + "/About.png");
}

}  // namespace sorel::art
