// The editor without a window: drawn into its canvas, clicked and dragged as
// the window host would, read back through the VST 2 interface.
#include <functional>

#include "EditorFixture.h"
#include "editor/ISwitchControl.h"
#include "engine/ChordMemoryBank.h"
#include "engine/ParameterIndex.h"
#include "engine/PatternEngine.h"
#include "engine/PatternStepper.h"

namespace sorel::test {
namespace {

using namespace sorel::param;

// Key area 2, its pattern 5: every family shows the member of that selection.
TEST_F(EditorTest, EachControlShowsTheCurrentKeyAreasValueInItsRectangle) {
    constexpr int kArea = 2, kPattern = 5, kP = kArea * kPatternsPerArea + kPattern;
    SetFromHost(kKeyAreaSelection, kArea);
    SetFromHost(kKeyAreaPatterns + kArea, kPattern);
    Redraw();
    const struct { int skin; int param; double low, high; } kRows[] = {
        {0, kGate + kP, -100, 100},
        {5, kOctaves + kP, 1, 5},
        {7, kAreaVolume + kArea, -1, 1},
        {8, kGlobalVolume, 0, 127},
        {9, kKeyAreaOnOff + kArea, 0, 1},
        {14, kResetOnNewNote + kP, 0, 1},
        {15, PerPatternLane(kDirection, kArea, kPattern, 0), 0, 3},
        {32, kVelocityMode + kArea, 0, 4},
        {41, PerStep(kStepOnOff, kArea, kPattern, 4), 0, 1},
        {73, kSceneStepPattern + kArea * kSceneSteps + 3, 0, 11},
        {120, kKeyAreaStartNote + kArea, 0, 100},
        {123, kKeyAreaPatterns + kArea, 0, 11},
        {158, kLockGate, 0, 1},
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.skin);
        IControl* control = At(row.skin);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->ParamIdx(), row.param);
        EXPECT_EQ(control->GetRECT().L, Skin(row.skin).L);
        EXPECT_EQ(control->GetRECT().T, Skin(row.skin).T);
        SetFromHost(row.param, row.low);
        Redraw();
        EXPECT_FLOAT_EQ(static_cast<float>(control->Value()), host->GetParameter(row.param));
        const uint64_t low = Pixels(control->GetRECT());
        SetFromHost(row.param, row.high);
        Redraw();
        EXPECT_FLOAT_EQ(static_cast<float>(control->Value()), host->GetParameter(row.param));
        EXPECT_NE(Pixels(control->GetRECT()), low);
    }
    SetFromHost(kKeyAreaPatterns + kArea, 0);  // rebinding moves the controls, not the values
    Redraw();
    EXPECT_EQ(At(0)->ParamIdx(), kGate + kArea * kPatternsPerArea);
    EXPECT_TRUE(editor->DirtyArea().Empty()) << "an idle tick redraws nothing";
}

// What the mouse does to each family, read back as the host reads it.
TEST_F(EditorTest, MouseEventsMoveTheBoundParameter) {
    using Act = std::function<void(EditorTest&)>;
    const struct { const char* what; int skin; int param; Act act; double expected; } kRows[] = {
        {"two-frame switch toggles", 9, kKeyAreaOnOff, [](EditorTest& t) { t.ClickSkin(9); }, 0.0},
        {"and back", 9, kKeyAreaOnOff, [](EditorTest& t) { t.ClickSkin(9); t.ClickSkin(9); }, 1.0},
        {"double click returns a switch to its default", 9, kKeyAreaOnOff,
         [](EditorTest& t) { t.ClickSkin(9); t.ClickSkin(9); t.editor->OnMouseDblClick(t.Skin(9).L + 1, t.Skin(9).T + 1, kLeft); },
         1.0},
        {"knob: 28 px up is a tenth", 0, kGate, [](EditorTest& t) { t.Drag(0, 0, -28); }, 0.55},
        {"knob: 280 px with Ctrl too", 0, kGate, [](EditorTest& t) { t.Drag(0, 0, -280, kLeftCtrl); }, 0.55},
        {"knob: 280 px is the range", 4, kSwing, [](EditorTest& t) { t.Drag(4, 0, -280); }, 1.0},
        {"double click restores the default", 0, kGate,
         [](EditorTest& t) { t.Drag(0, 0, -100); t.editor->OnMouseDblClick(t.Skin(0).L + 5, t.Skin(0).T + 5, kLeft); },
         0.45},
        {"wheel notch", 4, kSwing, [](EditorTest& t) { t.editor->OnMouseWheel(t.Skin(4).L + 5, t.Skin(4).T + 5, kNone, 2); },
         0.02},
        {"fine wheel notch", 4, kSwing,
         [](EditorTest& t) { t.editor->OnMouseWheel(t.Skin(4).L + 5, t.Skin(4).T + 5, kShift, 1); }, 0.001},
        {"radio button", 123, kKeyAreaPatterns,
         [](EditorTest& t) {
             const IRECT r = t.Skin(123);
             t.Click(r.L + r.W() * 3 / 12 + 2, r.T + 2);
         },
         3.0 / 11},
        {"font switch dragged over five heights", 32, kVelocityMode,
         [](EditorTest& t) { t.Drag(32, 0, -5 * t.Skin(32).H()); }, 1.0},
        {"contact is down while held", 151, kCmApply,
         [](EditorTest& t) { t.editor->OnMouseDown(t.Skin(151).L + 1, t.Skin(151).T + 1, kLeft); }, 1.0},
        {"and up when released", 151, kCmApply, [](EditorTest& t) { t.ClickSkin(151); }, 0.0},
        {"lock switch", 158, kLockGate, [](EditorTest& t) { t.ClickSkin(158); }, 1.0},
        {"the MIDI output switch is stored", 119, kMidiOutput, [](EditorTest& t) { t.ClickSkin(119); }, 1.0},
        {"a second key area's button rebinds the knob", 0, kGate + PatternIndex(1, 0),
         [](EditorTest& t) {
             t.Click(t.Skin(17).L + t.Skin(17).W() / 4 + 2, t.Skin(17).T + 2);
             t.Redraw();
             t.Drag(0, 0, -28);
         },
         0.55},
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.what);
        SetUp();
        row.act(*this);
        EXPECT_NEAR(host->GetParameter(row.param), row.expected, 1e-6);
    }
}

// A controller lane's step switch lights as a note lane's does while the
// step's controller is on.
TEST_F(EditorTest, ControllerLaneStepSwitchesLightWhileTheControllerIsOn) {
    SetFromHost(PerStep(kStepOnOff, 0, 0, 4), 1);
    Redraw();
    const uint64_t lit = Pixels(At(41)->GetRECT());
    SetFromHost(kPatternCcSelection, 0);
    const int ccSwitch = LaneSwitch(0, 0, kFirstControllerLane, 4);
    Redraw();
    ASSERT_EQ(At(41)->ParamIdx(), ccSwitch);
    for (const bool on : {true, false}) {
        SetFromHost(ccSwitch, SwitchValue(ccSwitch, on));
        Redraw();
        EXPECT_EQ(Pixels(At(41)->GetRECT()) == lit, on);
    }
}

TEST_F(EditorTest, TheAboutBoxCoversAllAndAClickHidesIt) {
    const IRECT info = Skin(157);
    const int x = info.L + info.W() / 2, y = info.T + info.H() / 2;
    ClickSkin(20);  // the about-box trigger
    IControl* about = editor->ControlAt(0, 0);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->GetRECT(), IRECT(0, 0, 1000, 565));
    Click(x, y);
    EXPECT_TRUE(about->IsHidden());
    EXPECT_NE(editor->ControlAt(0, 0), about);
}

TEST_F(EditorTest, LoopMarkersAndChordKeyboardEditTheEngine) {
    const IRECT loop = Skin(124);
    const PatternStepper& stepper = vardo->App().Area(0)->Stepper();
    constexpr int kCell = 24;
    // The end marker dragged to step 10, then past the start: the drag passes to the start.
    DragAlong({{loop.L + 31 * kCell + 2, loop.T + 2}, {loop.L + 10 * kCell + 2, loop.T + 2}});
    EXPECT_EQ(stepper.LaneLoopEnd(0, 0), 11);
    // An Alt-drag that would push the end past step 31 moves nothing.
    DragAlong({{loop.L + 2, loop.T + 2}, {loop.L + 25 * kCell + 2, loop.T + 2}}, kLeftAlt);
    EXPECT_EQ(stepper.LaneLoopStart(0, 0), 0);
    EXPECT_EQ(stepper.LaneLoopEnd(0, 0), 11);

    const IRECT keys = Skin(127);
    Click(keys.L + 4 * 16 + 3, keys.T + 5);   // upper part of key 4
    Click(keys.L + 7 * 16 + 3, keys.T + 34);  // the strip of key 7
    const ChordMemoryBank& bank = *vardo->Context().chordMemory;
    EXPECT_TRUE(bank.Slot(bank.Selected())->Contains(4));
    EXPECT_EQ(bank.Slot(bank.Selected())->Base(), 7);
}

TEST_F(EditorTest, AThreeStateSwitchStepsAndWraps) {
    ISwitchControl threeStates(*editor, 0, 0, IBitmap(std::make_shared<PixelImage>(1, 3), 3));
    for (double expected : {0.5, 1.0, 0.0}) {
        threeStates.OnMouseDown(0, 0, kLeft);
        EXPECT_DOUBLE_EQ(threeStates.Value(), expected);
    }
}

TEST_F(EditorTest, TheResizeSwitchTogglesTheHeightTheHostIsGiven) {
    for (int height : {432, 565}) {
        ClickSkin(156);
        ERect* rect = nullptr;
        ASSERT_EQ(host->Dispatch(effEditGetRect, 0, 0, &rect), 1);
        EXPECT_EQ(rect->bottom - rect->top, height);
    }
}

// At twice the size the host is given twice the pixels, while the controls
// keep their places in editor pixels.
TEST_F(EditorTest, AtTwiceTheScaleTheHostGetsTwiceThePixelsAndClicksLandAsBefore) {
    vardo->SetGuiScale(2);
    ERect* rect = nullptr;
    ASSERT_EQ(host->Dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right - rect->left, 2000);
    EXPECT_EQ(rect->bottom - rect->top, 1130);
    VardoEditor twice(*vardo);
    twice.BuildControls();
    twice.DrawArea(twice.Canvas().Bounds());
    EXPECT_EQ(twice.Canvas().Bounds(), editor->Canvas().Bounds());
    EXPECT_NE(twice.Canvas().PixelAt(1999, 1129).A, 0) << "drawn to the last device pixel";
    EXPECT_EQ(twice.Canvas().PixelAt(2000, 1130).A, 0);
    for (int skin : {9, 123, 158}) {
        const IControl* control = twice.ControlAt(Skin(skin).L + 1, Skin(skin).T + 1);
        ASSERT_NE(control, nullptr) << skin;
        EXPECT_EQ(control->GetRECT(), At(skin)->GetRECT()) << skin;
        EXPECT_EQ(control->ParamIdx(), At(skin)->ParamIdx()) << skin;
    }
    twice.OnMouseDown(Skin(9).L + 1, Skin(9).T + 1, kLeft);
    twice.OnMouseUp(Skin(9).L + 1, Skin(9).T + 1, kLeft);
    EXPECT_EQ(host->GetParameter(kKeyAreaOnOff), 0.0f);
    vardo->SetGuiScale(7);
    EXPECT_EQ(vardo->GuiScale(), 1) << "any other scale is the normal size";
}

TEST_F(EditorTest, StatusTextArrivesThroughTheLink) {
    vardo->Link().PostStatus("Chord memory slot : 3");
    editor->OnTimer();
    const IRECT status = Skin(kStatusSkin);
    EXPECT_FALSE(editor->DirtyArea().Intersect(status).Empty());
}

}  // namespace
}  // namespace sorel::test
