// The editor without a window: drawn into its canvas, clicked and dragged as
// the window host would, read back through the VST 2 interface; its status
// line, panels and key-area solo.
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "EditorFixture.h"
#include "editor/HintText.h"
#include "editor/SettingsControl.h"
#include "engine/ParameterIndex.h"
#include "engine/PatternEngine.h"
#include "engine/PatternStepper.h"
#include "persistence/SettingsFile.h"

namespace sorel::test {
namespace {

using namespace sorel::param;

constexpr int kInfoButtonSkin = 140, kSettingsButtonSkin = 141, kAreaSwitchSkin = 9;

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
        EXPECT_EQ(std::pair(control->GetRECT().L, control->GetRECT().T), std::pair(Skin(row.skin).L, Skin(row.skin).T));
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
    const auto dblClick = [&](int skin) { editor->OnMouseDblClick(Skin(skin).L + 5, Skin(skin).T + 5, kLeft); };
    const auto wheel = [&](const IMouseMod& mod, int notches) { editor->OnMouseWheel(Skin(4).L + 5, Skin(4).T + 5, mod, notches); };
    const auto button = [&](int skin, int of, int which) { Click(Skin(skin).L + Skin(skin).W() * which / of + 2, Skin(skin).T + 2); };
    const struct { const char* what; int param; std::function<void()> act; double expected; } kRows[] = {
        {"two-frame switch toggles", kKeyAreaOnOff, [&] { ClickSkin(9); }, 0.0},
        {"and back", kKeyAreaOnOff, [&] { ClickSkin(9); ClickSkin(9); }, 1.0},
        {"double click returns a switch to its default", kKeyAreaOnOff, [&] { ClickSkin(9); dblClick(9); }, 1.0},
        {"knob: 28 px up is a tenth", kGate, [&] { Drag(0, 0, -28); }, 0.55},
        {"knob: 280 px with Ctrl too", kGate, [&] { Drag(0, 0, -280, kLeftCtrl); }, 0.55},
        {"knob: 280 px is the range", kSwing, [&] { Drag(4, 0, -280); }, 1.0},
        {"double click restores the default", kGate, [&] { Drag(0, 0, -100); dblClick(0); }, 0.45},
        {"wheel notch", kSwing, [&] { wheel(kNone, 2); }, 0.02},
        {"fine wheel notch", kSwing, [&] { wheel(kShift, 1); }, 0.001},
        {"radio button", kKeyAreaPatterns, [&] { button(123, 12, 3); }, 3.0 / 11},
        {"font switch dragged over five heights", kVelocityMode, [&] { Drag(32, 0, -5 * Skin(32).H()); }, 1.0},
        {"contact is down while held", kCmApply, [&] { editor->OnMouseDown(Skin(151).L + 1, Skin(151).T + 1, kLeft); }, 1.0},
        {"and up when released", kCmApply, [&] { ClickSkin(151); }, 0.0},
        {"lock switch", kLockGate, [&] { ClickSkin(158); }, 1.0},
        {"the MIDI output switch is stored", kMidiOutput, [&] { ClickSkin(119); }, 1.0},
        {"a second key area's button rebinds the knob", kGate + PatternIndex(1, 0), [&] { button(17, 4, 1); Redraw(); Drag(0, 0, -28); }, 0.55},
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.what);
        SetUp();
        row.act();
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

TEST_F(EditorTest, LoopMarkersEditTheEngine) {
    const IRECT loop = Skin(124);
    const PatternStepper& stepper = vardo->App().Area(0)->Stepper();
    constexpr int kCell = 24;
    // The end marker dragged to step 10, then past the start: the drag passes to the start.
    DragAlong({{loop.L + 31 * kCell + 2, loop.T + 2}, {loop.L + 10 * kCell + 2, loop.T + 2}});
    EXPECT_EQ(stepper.LaneLoopEnd(0, 0), 11);
    // An Alt-drag that would push the end past step 31 moves nothing.
    DragAlong({{loop.L + 2, loop.T + 2}, {loop.L + 25 * kCell + 2, loop.T + 2}}, kLeftAlt);
    EXPECT_EQ(std::pair(stepper.LaneLoopStart(0, 0), stepper.LaneLoopEnd(0, 0)), std::pair(0, 11));
}

// The resize switch toggles the height the host is given; at twice the size
// the host is given twice the pixels, drawn to the last.
TEST_F(EditorTest, TheHostIsGivenTheSizeTheEditorIsSwitchedTo) {
    const auto size = [&] {
        ERect* rect = nullptr;
        EXPECT_EQ(host->Dispatch(effEditGetRect, 0, 0, &rect), 1);
        return std::pair(rect->right - rect->left, rect->bottom - rect->top);
    };
    ClickSkin(156);
    EXPECT_EQ(size(), std::pair(1000, 432));
    ClickSkin(156);
    EXPECT_EQ(size(), std::pair(1000, 565));
    vardo->SetGuiScale(2);
    EXPECT_EQ(size(), std::pair(2000, 1130));
    VardoEditor twice(MakeEditorPort(*vardo));
    twice.BuildControls();
    twice.DrawArea(twice.Canvas().Bounds());
    EXPECT_EQ(twice.Canvas().Bounds(), editor->Canvas().Bounds());
    EXPECT_NE(twice.Canvas().PixelAt(1999, 1129).A, 0) << "drawn to the last device pixel";
    EXPECT_EQ(twice.Canvas().PixelAt(2000, 1130).A, 0);
    vardo->SetGuiScale(7);
    EXPECT_EQ(vardo->GuiScale(), 1) << "any other scale is the normal size";
}

// Every slot's hint at its ends, its default and a third of its range (every
// value of a short whole-number range), with the GATE lane read as a gate and
// in steps. FNV-1a over those of the first 56,738 slots, and of the slots
// appended after them.
constexpr uint64_t kHintDigest = 11395608156455186526ull;
constexpr uint64_t kAppendedHintDigest = 2626239097140047605ull;
constexpr double kListedValues = 16;

TEST_F(EditorTest, EverySlotKeepsItsHints) {
    std::ostringstream older, appended;
    for (int index = 0; index < kCount; ++index) {
        std::ostringstream& text = index < kFirstAppended ? older : appended;
        const Parameter& p = *vardo->Params().Get(index);
        std::vector<double> values{p.Minimum(), p.Default(), p.Maximum(), (p.Minimum() + p.Maximum()) / 3};
        if (p.Kind() != ParamKind::Double && p.Maximum() - p.Minimum() <= kListedValues)
            for (double v = p.Minimum() + 1; v < p.Maximum(); ++v) values.push_back(v);
        text << index << '|';
        for (double v : values) text << HintText(index, p, v, false) << ';' << HintText(index, p, v, true) << ';';
        text << '\n';
    }
    // SOREL_HINT_DUMP=FILE writes the hints, to see what changed.
    if (const char* dump = std::getenv("SOREL_HINT_DUMP")) std::ofstream(dump) << older.str() << appended.str();
    const auto digest = [](const std::string& text) {
        uint64_t hash = 0xcbf29ce484222325ull;
        for (unsigned char c : text) hash = (hash ^ c) * 0x100000001b3ull;
        return hash;
    };
    EXPECT_EQ(digest(older.str()), kHintDigest) << "a hint changed";
    EXPECT_EQ(digest(appended.str()), kAppendedHintDigest) << "an appended slot's hint changed";
}

TEST_F(EditorTest, AMovedControlWritesItsHintAndARightClickOnlyShowsIt) {
    EXPECT_EQ(Status(), "-- WELCOME --");
    const uint64_t welcome = Pixels(Skin(kStatusSkin));
    Drag(4, 0, -35);  // the swing knob: 280 px is the range
    EXPECT_EQ(Status(), "Swing: 12.5");
    Redraw();
    EXPECT_NE(Pixels(Skin(kStatusSkin)), welcome);
    ChangeFromEditor(kLockGate, 1);
    EXPECT_EQ(Status(), "Swing: 12.5") << "no hint: the last one stays";
    SetFromHost(kGate, 20);
    Redraw();
    ClickSkin(0, kRight);
    EXPECT_EQ(Status(), "Gate: 20.0");
    EXPECT_FLOAT_EQ(host->GetParameter(kGate), static_cast<float>(vardo->Params().Get(kGate)->ToNormalized(20)));
    SetFromHost(kResetOnNewNote, 1);
    Redraw();
    ClickSkin(14, kRight);  // a switch shows its hint without switching
    EXPECT_EQ(Status(), "Reset on new note: On");
    EXPECT_EQ(host->GetParameter(kResetOnNewNote), 1.0f);
}

TEST_F(EditorTest, TheChordMemoryAndControlZoneSelectorsWriteTheirHints) {
    const struct {
        const char* what;
        std::function<void()> act;
        std::string hint;
    } rows[] = {
        {"third slot", [&] { Click(Skin(126).L + 24 * 2 + 8, Skin(126).T + 8); }, "Chord memory slot : 3"},
        {"last chord to apply", [&] { Drag(144, 0, -400); },
         "Apply chord: " + vardo->Params().Get(kChordMemoryApplyChordSelection)->DisplayText(
                               vardo->Params().Get(kChordMemoryApplyChordSelection)->Maximum())},
        {"zone sync at its top", [&] { Drag(155, 0, -400); }, "Control zone sync : 16 Steps"},
        {"zone sync back", [&] { Drag(155, 0, 400); }, "Control zone sync :  Next"},
    };
    for (const auto& row : rows) {
        row.act();
        EXPECT_EQ(Status(), row.hint) << row.what;
    }
}

SettingsControl* Settings(EditorTest& t) { return dynamic_cast<SettingsControl*>(t.editor->ControlAt(t.Skin(163).L + 2, t.Skin(163).T + 2)); }

TEST_F(EditorTest, TheSettingsPanelsSwitchesARowApartWriteTheSettingsFileAndAClickBesideThemCloses) {
    ClickSkin(kSettingsButtonSkin);
    Redraw();
    SettingsControl* panel = Settings(*this);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->Text(), "GLOBAL SETTINGS");
    ASSERT_EQ(panel->ItemCount(), 8) << "the seven settings and the editor's size";
    const IRECT r = panel->GetRECT();
    EXPECT_EQ(editor->Canvas().PixelAt(r.R - 1, r.B - 1), COLOR_WHITE) << "outlined in white";

    const auto clickRow = [&](int row) { Click(r.L + 6, r.T + 30 * row + 1); };
    clickRow(3);  // "Use only ORDER on/off"
    clickRow(7);  // "Gate length in steps"
    clickRow(8);  // "Double size editor"
    ASSERT_NE(Settings(*this), nullptr) << "still open";
    EXPECT_EQ(host->GetParameter(kUseOnlyOrderOnOff), 1.0f);
    EXPECT_EQ(host->GetParameter(kGateLengthInSteps), 1.0f);
    EXPECT_EQ(vardo->GuiScale(), 2);
    ChangeFromEditor(PerStep(kStepGate, 0, 0, 1), 50);
    EXPECT_EQ(Status(), "Gate: 16") << "a gate in steps";
    Persistence().WaitUntilIdle();
    GlobalSettings expected{.useOnlyOrderOnOff = true, .gateLengthInSteps = true, .guiScale = 2};
    EXPECT_EQ(ReadSettingsFile(), expected);
    clickRow(3);
    EXPECT_EQ(host->GetParameter(kUseOnlyOrderOnOff), 0.0f);
    Click(r.L + 100, r.T + 30 * 2 + 26);  // between rows 2 and 3
    EXPECT_EQ(Settings(*this), nullptr);
    EXPECT_TRUE(std::none_of(editor->Controls().begin(), editor->Controls().end(), [&](const auto& c) {
        return !c->IsHidden() && c->GetRECT().L == r.L + 5 && c->GetRECT().T == r.T + 30;
    })) << "the switches close with the panel";
}

// Without a preset's texts the info panel says so. The about box covers all until a click.
TEST_F(EditorTest, OpeningOnePanelClosesTheOtherAndAClickHidesTheAboutBox) {
    const struct { int button; bool info, settings; } kSteps[] = {
        {kInfoButtonSkin, true, false},   {kSettingsButtonSkin, false, true}, {kInfoButtonSkin, true, false},
        {kInfoButtonSkin, false, false},  {kSettingsButtonSkin, false, true}, {kSettingsButtonSkin, false, false},
    };
    for (const auto& step : kSteps) {
        ClickSkin(step.button);
        EXPECT_EQ(Settings(*this) != nullptr, step.settings) << step.button;
        EXPECT_EQ(InfoLines(), step.info ? "NO INFO" : "");
    }
    ClickSkin(20);  // the about-box trigger
    IControl* about = editor->ControlAt(0, 0);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->GetRECT(), IRECT(0, 0, 1000, 565));
    Click(500, 300);
    EXPECT_NE(editor->ControlAt(0, 0), about) << "hidden";
}

// Clicks on the switch of key area 2.
TEST_F(EditorTest, CtrlClickOnAKeyAreaSwitchSolosIt) {
    using Areas = std::array<float, kKeyAreas>;
    const struct { Areas before; IMouseMod mod; Areas after; } kRows[] = {
        {{1, 0, 1, 1}, kLeftCtrl, {0, 1, 0, 0}},
        {{1, 0, 1, 1}, kLeft, {1, 1, 1, 1}},
        {{0, 1, 0, 0}, kLeftCtrl, {1, 0, 1, 1}},
        {{0, 1, 1, 0}, kLeft, {0, 0, 1, 0}},
    };
    SetFromHost(kKeyAreaSelection, 1);
    for (const auto& row : kRows) {
        for (int area = 0; area < kKeyAreas; ++area) SetFromHost(kKeyAreaOnOff + area, row.before[area]);
        Redraw();
        ClickSkin(kAreaSwitchSkin, row.mod);
        for (int area = 0; area < kKeyAreas; ++area)
            EXPECT_EQ(host->GetParameter(kKeyAreaOnOff + area), row.after[area]) << "key area " << area + 1;
    }
}

}  // namespace
}  // namespace sorel::test
