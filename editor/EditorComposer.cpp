#include "editor/EditorComposer.h"

#include "editor/BitmapFont.h"
#include "editor/IBitmapControl.h"
#include "editor/ICustomInvisibleSwitchControl.h"
#include "editor/ICustomKnobMultiControl.h"
#include "editor/ICustomRadioButtonsControl.h"
#include "editor/ICustomSwitchControl.h"
#include "editor/ICustomTextControl.h"
#include "editor/IContactControl.h"
#include "editor/IKeyboardControl.h"
#include "editor/ILoopSelectionControl.h"
#include "editor/IPresetBrowserControl.h"
#include "editor/InfoControl.h"
#include "editor/PatternView.h"
#include "editor/PatternViewOverlay.h"
#include "editor/SceneView.h"
#include "editor/SettingsControl.h"
#include "editor/UIEventHandler.h"
#include "editor/VardoEditor.h"
#include "engine/ParameterIndex.h"
#include "frame/Parameter.h"
#include "frame/GlobalSettings.h"
#include "frame/EditorPort.h"
#include "graphics/IGraphics.h"

#include <algorithm>

namespace sorel {

using namespace param;

namespace {

constexpr int kIncomingNoteSkin = 27;
constexpr int kFirstStepSwitchSkin = 37;
constexpr int kFirstScenePatternSkin = 70;
constexpr int kFirstSceneLengthSkin = 86;
constexpr int kFirstSceneRepeatSkin = 102;
constexpr int kSceneViewSkin = 118;
const char* const kWelcome = "-- WELCOME --";
const char* const kDoubleSizeLabel = "Double size editor";
constexpr int kInfoPanelSkin = 157;
constexpr int kSettingsPanelSkin = 163;
constexpr int kHumanizeKnobSkin = 169;

// Presses of the control reach the editor's event handler under this tag.
void Observe(IControl& control, int tag, IObserverInterface& handler) {
    control.SetTag(tag);
    control.Attach(&handler);
}

// The momentary buttons of the pattern tools, the box browser and the chord
// memory: skin entry, image, parameter.
struct ContactButton {
    int skin;
    const ImageResource* image;
    int parameter;
};
constexpr ContactButton kContactButtons[] = {
    {131, &image::kEditRandom, kRandomize},  {132, &image::kEditCopy, kCopyTool},
    {133, &image::kEditPaste, kPasteTool},   {134, &image::kEditClear, kClearTool},
    {135, &image::kPanic, kPanicTool},       {140, &image::kBoxInfo, kBoxInfo},
    {141, &image::kSettings, kBoxSettings},  {136, &image::kBoxLeft, kBoxLeft},
    {137, &image::kBoxRight, kBoxRight},     {146, &image::kBoxLeft, kCmBoxLeft},
    {147, &image::kBoxRight, kCmBoxRight},   {148, &image::kEditCopy, kCmCopyTool},
    {149, &image::kEditPaste, kCmPasteTool}, {150, &image::kEditClear, kCmClearTool},
    {151, &image::kBoxOk, kCmApply},         {153, &image::kInvertLeft, kCmInvLeft},
    {152, &image::kInvertRight, kCmInvRight},
};

std::string VersionText(int v) {
    return "Version " + std::to_string(v / 10000) + "." + std::to_string(v / 100 % 100) + "." +
           std::to_string(v % 100);
}

}  // namespace

EditorComposer::EditorComposer(VardoEditor& editor) : editor_(editor) {}

IBitmap EditorComposer::Image(const ImageResource& image) {
    return editor_.canvas_->LoadIBitmap(image.number, image.name, image.frames);
}

IRECT EditorComposer::Rect(int skinIndex) const {
    editor_.composedSkins_.insert(skinIndex);
    return editor_.skin_.Rect(skinIndex);
}

IControl& EditorComposer::Knob(int skin, const ImageResource& image, Scope scope, int first) {
    auto knob = std::make_unique<ICustomKnobMultiControl>(editor_, Rect(skin).L, Rect(skin).T, -1, Image(image));
    knob->SetMenuParamIdx(kMidiLearnMenu);
    Observe(*knob, UIEventHandler::kTagHint, *editor_.uiEvents_);
    return editor_.Attach(std::move(knob), {scope, first}, true);
}

void EditorComposer::Switch(int skin, const ImageResource& image, Scope scope, int first, int member) {
    IControl& control = editor_.Attach(
        std::make_unique<ICustomSwitchControl>(editor_, Rect(skin).L, Rect(skin).T, Image(image), -1),
        {scope, first, member}, true);
    Observe(control, UIEventHandler::kTagHint, *editor_.uiEvents_);
}

void EditorComposer::FontSwitch(int skin, const FontResource& font, Scope scope, int first, int member) {
    // Dragged to change; a double click asks for the value (a menu of its
    // texts, or a text field for numbers and note names).
    auto control = std::make_unique<ICustomSwitchControl>(editor_, Rect(skin), editor_.Font(font), -1);
    control->SetPromptOnDoubleClick(true);
    Observe(*control, UIEventHandler::kTagHint, *editor_.uiEvents_);
    editor_.Attach(std::move(control), {scope, first, member});
}

void EditorComposer::Contact(int skin, const ImageResource& image, int parameter) {
    editor_.Attach(std::make_unique<IContactControl>(editor_, Rect(skin).L, Rect(skin).T, Image(image)),
                   {Scope::kGlobal, parameter});
}

std::vector<std::string> EditorComposer::Labels(int parameter, int count) const {
    std::vector<std::string> labels;
    const Parameter* p = editor_.GetParam(parameter);
    for (int i = 0; i < count; ++i)
        labels.push_back(p && p->HasDisplayTexts() ? p->DisplayText(i) : std::to_string(i + 1));
    return labels;
}

IControl& EditorComposer::Radio(int skin, const ImageResource& image, const FontResource& font, Scope scope, int first,
                                int count) {
    auto radio = std::make_unique<ICustomRadioButtonsControl>(editor_, Rect(skin), -1, count, Image(image),
                                                              &editor_.Font(font), Labels(first, count));
    return editor_.Attach(std::move(radio), {scope, first});
}

void EditorComposer::Compose() {
    ComposeTopRows();
    ComposeSceneCells();
    ComposeOverlays();
}

void EditorComposer::ComposeTopRows() {
    ComposeViews();
    ComposeGlobalControls();
    ComposePatternControls();
    ComposeAreaControls();
}

void EditorComposer::ComposeViews() {
    const IBitmap incoming = Image(image::kIncomingNote);
    for (int area = 0; area < kKeyAreas; ++area) {
        const IRECT r = Rect(kIncomingNoteSkin + area);
        editor_.noteIndicators_[area] =
            &static_cast<IBitmapControl&>(editor_.Attach(std::make_unique<IBitmapControl>(editor_, r.L, r.T, incoming)));
    }
    editor_.patternView_ = &static_cast<PatternView&>(editor_.Attach(std::make_unique<PatternView>(
        editor_, Rect(36), Image(image::kNoteListStrip), editor_.port_->Marks())));
    editor_.sceneView_ =
        &static_cast<SceneView&>(editor_.Attach(std::make_unique<SceneView>(editor_, Rect(kSceneViewSkin))));
}

void EditorComposer::ComposeGlobalControls() {
    Switch(26, image::kTeach, Scope::kGlobal, kCcTeach);
    FontSwitch(25, kFontCalibri14, Scope::kGlobal, kCcTeachSelection);
    // Light text on the dark panel; each caption has the whole row, the editor
    // shows one at a time. The row starts under the key-area buttons, which
    // reach into it, and keeps its height.
    const IRECT row = Rect(166);
    const int top = std::max(row.T, Rect(17).T + Image(image::kButton).FrameHeight());
    const IRECT caption{row.L, top, row.R, top + row.H()};
    for (std::size_t i = 0; i < editor_.sendOnlyCaptions_.size(); ++i)
        editor_.sendOnlyCaptions_[i] = &static_cast<ITextControl&>(editor_.Attach(std::make_unique<ICustomTextControl>(
            editor_, caption, editor_.Font(kFontCalibri10), i == 0 ? kSendOnlyCcCaption : kTriggerCmCaption)));
    IControl& areas = Radio(17, image::kButton, kFontCalibri12White, Scope::kGlobal, kKeyAreaSelection, kKeyAreas);
    static_cast<ICustomRadioButtonsControl&>(areas).EnableMenu(true);
    areas.SetMenuParamIdx(kCopyCcMenu);
    FontSwitch(33, kFontCalibri12, Scope::kGlobal, kScale);
    FontSwitch(34, kFontCalibri12, Scope::kGlobal, kScaleKey);
    FontSwitch(35, kFontCalibri12, Scope::kGlobal, kScaleMode);
    editor_.status_ = &static_cast<ITextControl&>(
        editor_.Attach(std::make_unique<ICustomTextControl>(editor_, Rect(22), editor_.Font(kFontCalibri14), kWelcome,
                                                            ICustomTextControl::Wrap::kTwoLines)));
    editor_.laneTabs_[0] = &static_cast<ICustomRadioButtonsControl&>(
        Radio(69, image::kLaneSelector, kFontCalibri10, Scope::kGlobal, kPatternStepMode, kFirstControllerLane + 1));
    editor_.laneTabs_[VardoEditor::kControllerLaneTabs] = &static_cast<ICustomRadioButtonsControl&>(
        Radio(154, image::kCcSelector, kFontCalibri12White, Scope::kGlobal, kPatternCcSelection, kControllerLanes));
    Knob(8, image::kUnipolarKnob, Scope::kGlobal, kGlobalVolume);
    Switch(130, image::kEditSelect, Scope::kGlobal, kSelectionTool);
    Switch(129, image::kEditDraw, Scope::kGlobal, kDrawTool);
    for (const ContactButton& button : kContactButtons) Contact(button.skin, *button.image, button.parameter);
    const IRECT resize = Rect(156);
    editor_.Attach(std::make_unique<ISwitchControl>(editor_, resize.L, resize.T, Image(image::kResize)),
                   {Scope::kGlobal, kResize});
    const IBitmap lock = Image(image::kLock);
    for (int i = 0; i < 5; ++i) {
        const IRECT r = Rect(158 + i);
        editor_.Attach(std::make_unique<ISwitchControl>(editor_, r.L, r.T, lock), {Scope::kGlobal, kLockGate + i});
    }
    FontSwitch(144, kFontCalibri12, Scope::kGlobal, kChordMemoryApplyChordSelection);
    FontSwitch(155, kFontCalibri12, Scope::kGlobal, kControlZoneSync);
}

void EditorComposer::ComposePatternControls() {
    editor_.rateKnob_ = &Knob(1, image::kRateKnob, Scope::kPattern, kRate);
    editor_.freeRateKnob_ = &Knob(2, image::kUnipolarKnob, Scope::kPattern, kRateFreeMode);
    Switch(3, image::kFreeButton, Scope::kPattern, kRateFreeToggle);
    for (int step = 0; step < kSteps; ++step) {
        Switch(kFirstStepSwitchSkin + step, image::kStepOnOff, Scope::kStepSwitch, 0, step);
        editor_.controls_.back()->SetTag(0, step);
    }
    FontSwitch(19, kFontCalibri12, Scope::kPattern, kSortOrder);
    Switch(14, image::kOnOff, Scope::kPattern, kResetOnNewNote);
    Switch(16, image::kOnOff, Scope::kPatternLane, kResetLaneOnPatternReset);
    FontSwitch(15, kFontCalibri12, Scope::kPatternLane, kDirection);
    FontSwitch(128, kFontCalibri12, Scope::kPattern, kPatternSteps);
    Knob(6, image::kTransposeKnob, Scope::kPattern, kTranspose);
    Knob(5, image::kOctavesKnob, Scope::kPattern, kOctaves);
    Knob(0, image::kUnipolarKnob, Scope::kPattern, kGate);
    Knob(4, image::kUnipolarKnob, Scope::kPattern, kSwing);
    Knob(kHumanizeKnobSkin, image::kSmallKnob, Scope::kPattern, kHumanize);
}

void EditorComposer::ComposeAreaControls() {
    Switch(9, image::kOnOff, Scope::kArea, kKeyAreaOnOff);
    editor_.controls_.back()->SetTag(UIEventHandler::kTagAreaSwitch);
    FontSwitch(18, kFontCalibri12, Scope::kArea, kArpOnNoteCount);
    editor_.controls_.back()->SetMenuParamIdx(kMidiLearnMenu);
    FontSwitch(31, kFontCalibri12, Scope::kArea, kHoldSync);
    editor_.controls_.back()->SetMenuParamIdx(kMidiLearnMenu);
    Switch(10, image::kOnOff, Scope::kArea, kHold);
    Switch(11, image::kOnOff, Scope::kArea, kHoldTranspose);
    Switch(12, image::kOnOff, Scope::kArea, kHoldBypass);
    Switch(13, image::kOnOff, Scope::kArea, kSceneOnOff);
    Switch(125, image::kOnOff, Scope::kArea, kNoteRelease);
    FontSwitch(32, kFontCalibri12, Scope::kArea, kVelocityMode);
    FontSwitch(120, kFontCalibri12White, Scope::kArea, kKeyAreaStartNote);
    FontSwitch(121, kFontCalibri12White, Scope::kArea, kKeyAreaEndNote);
    FontSwitch(122, kFontCalibri12White, Scope::kArea, kKeyAreaBaseNote);
    Knob(7, image::kBipolarKnob, Scope::kArea, kAreaVolume);
    FontSwitch(23, kFontCalibri12, Scope::kArea, kMidiInChannel);
    FontSwitch(24, kFontCalibri12, Scope::kArea, kMidiOutChannel);
    IControl& patterns = Radio(123, image::kButton, kFontCalibri12White, Scope::kArea, kKeyAreaPatterns, kPatternsPerArea);
    static_cast<ICustomRadioButtonsControl&>(patterns).EnableMenu(true);
    patterns.SetMenuParamIdx(kCopyMenu);
}

void EditorComposer::ComposeSceneCells() {
    // Display-only text cells, changed by a vertical drag.
    const struct { int firstSkin; int family; } kColumns[] = {
        {kFirstScenePatternSkin, kSceneStepPattern},
        {kFirstSceneLengthSkin, kSceneStepLength},
        {kFirstSceneRepeatSkin, kSceneStepRepeat},
    };
    for (const auto& column : kColumns) {
        for (int step = 0; step < kSceneSteps; ++step) {
            FontSwitch(column.firstSkin + step, kFontCalibri12, Scope::kAreaScene, column.family, step);
            auto& cell = static_cast<ICustomSwitchControl&>(*editor_.controls_.back());
            cell.SetDisplayOnly(true);
            // Its menu opens below the whole scene step, which it would cover otherwise.
            const IRECT r = cell.GetRECT();
            cell.SetPromptRECT({r.L, Rect(kFirstScenePatternSkin + step).T, r.R, Rect(kSceneViewSkin).B});
        }
    }
}

void EditorComposer::ComposeOverlays() {
    Switch(119, image::kStepOnOff, Scope::kGlobal, kMidiOutput);  // low enough to stay inside the window
    editor_.Attach(std::make_unique<ICustomTextControl>(editor_, Rect(21), editor_.Font(kFontCalibri12Black),
                                                        VersionText(editor_.port_->Version())));
    Observe(editor_.Attach(std::make_unique<ICustomInvisibleSwitchControl>(editor_, Rect(20))), UIEventHandler::kTagAbout,
            *editor_.uiEvents_);
    Observe(editor_.Attach(std::make_unique<ICustomInvisibleSwitchControl>(editor_, Rect(165))), UIEventHandler::kTagLink,
            *editor_.uiEvents_);
    editor_.Attach(std::make_unique<PatternViewOverlay>(editor_, *editor_.patternView_));
    editor_.loop_ = &static_cast<ILoopSelectionControl&>(editor_.Attach(std::make_unique<ILoopSelectionControl>(
        editor_, editor_.port_->Engine(), Rect(124), Image(image::kLoopStart), Image(image::kLoopEnd))));
    editor_.keyboard_ = &static_cast<IKeyboardControl&>(editor_.Attach(std::make_unique<IKeyboardControl>(
        editor_, Rect(127), editor_.port_->Engine(), Image(image::kBaseNoteLed))));
    Radio(126, image::kSlotButton, kFontCalibri12White, Scope::kGlobal, kChordMemorySelection, 16);
    editor_.boxAuthor_ = &static_cast<ITextControl&>(
        editor_.Attach(std::make_unique<ICustomTextControl>(editor_, Rect(139), editor_.Font(kFontCalibri12))));
    using Browser = IPresetBrowserControl;
    editor_.browsers_ = {&static_cast<Browser&>(editor_.Attach(std::make_unique<Browser>(
                             editor_, Rect(138), editor_.Font(kFontCalibri12), editor_.persistence_, Browser::Kind::kPreset))),
                         &static_cast<Browser&>(editor_.Attach(std::make_unique<Browser>(
                             editor_, Rect(145), editor_.Font(kFontCalibri12), editor_.persistence_, Browser::Kind::kChordBank)))};
    editor_.infoPanel_ = &static_cast<InfoControl&>(
        editor_.Attach(std::make_unique<InfoControl>(editor_, Rect(kInfoPanelSkin), editor_.Font(kFontCalibri12))));
    editor_.infoPanel_->Hide(true);
    ComposeSettingsPanel();
    // The about box lies over everything else, and covers the whole window;
    // its picture is decoded when it is first shown.
    auto about = std::make_unique<IBitmapControl>(editor_, 0, 0, IBitmap());
    Observe(*about, UIEventHandler::kTagAbout, *editor_.uiEvents_);
    about->Hide(true);
    editor_.aboutBox_ = &static_cast<IBitmapControl&>(editor_.Attach(std::move(about)));
}

void EditorComposer::ComposeSettingsPanel() {
    // A switch per global setting, and below them the editor's size, which no parameter carries.
    VardoEditor& e = editor_;
    auto panel = std::make_unique<SettingsControl>(e, Rect(kSettingsPanelSkin), e.Font(kFontCalibri12),
                                                   [&e] { e.pending_.fetch_or(VardoEditor::kToggleSettings); });
    e.settingsPanel_ = &static_cast<SettingsControl&>(e.Attach(std::move(panel)));
    e.settingsPanel_->Hide(true);
    const IBitmap button = Image(image::kButton);
    const auto item = [&](ControlBinding binding) -> IControl& {
        return e.Attach(std::make_unique<ICustomSwitchControl>(e, e.settingsPanel_->NextItemX(),
                                                               e.settingsPanel_->NextItemY(), button, -1),
                        binding);
    };
    for (const GlobalSettingEntry& setting : kGlobalSettingTable)
        e.settingsPanel_->AddItem(item({Scope::kGlobal, setting.parameter}), setting.label);
    IControl& doubleSize = item({});
    doubleSize.SetValue(e.port_->GuiScale() == kTwiceGuiScale ? 1.0 : 0.0);
    Observe(doubleSize, UIEventHandler::kTagDoubleSize, *e.uiEvents_);
    e.settingsPanel_->AddItem(doubleSize, kDoubleSizeLabel);
}

}  // namespace sorel
