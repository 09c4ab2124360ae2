// The editor without a window: drawn into its canvas, clicked and dragged as
// the window host would, read back through the VST 2 interface.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "editor/IControl.h"
#include "editor/VardoEditor.h"
#include "engine/ChordMemoryBank.h"
#include "engine/ParameterIndex.h"
#include "engine/PatternEngine.h"
#include "engine/PatternStepper.h"
#include "frame/Vardo.h"
#include "graphics/IGraphics.h"
#include "support/TestHost.h"

namespace sorel::test {
namespace {

using namespace sorel::param;

constexpr IMouseMod kLeft{true, false};
constexpr IMouseMod kRight{false, true};
constexpr IMouseMod kLeftCtrl{true, false, false, true};
constexpr IMouseMod kShift{false, false, true};
constexpr IMouseMod kLeftAlt{true, false, false, false, true};
constexpr IMouseMod kNone{};

VardoEditor* builtEditor = nullptr;

AEffect* EntryWithEditor(audioMasterCallback callback) {
    return CreateEffect(callback, [](audioMasterCallback h) -> std::unique_ptr<IPlugVST> {
        auto plugin = std::make_unique<Vardo>(h);
        auto editor = std::make_unique<VardoEditor>(*plugin);
        builtEditor = editor.get();
        plugin->SetEditor(std::move(editor));
        return plugin;
    });
}

class EditorTest : public ::testing::Test {
public:  // the rows of a table act through the fixture
    void SetUp() override {
        host = std::make_unique<TestHost>(&EntryWithEditor);
        ASSERT_TRUE(host->CreateAndOpen(512));
        vardo = static_cast<Vardo*>(IPlugVST::FromEffect(host->Effect()));
        editor = builtEditor;
        editor->BuildControls();
        Redraw();
    }

    void Redraw() {
        editor->OnTimer();
        editor->DrawArea(editor->DirtyArea());
    }
    IRECT Skin(int index) const { return editor->Layout().Rect(index); }
    // The control drawn at a skin rectangle: its top-left corner is the rectangle's.
    IControl* At(int skin) const { return editor->ControlAt(Skin(skin).L + 1, Skin(skin).T + 1); }
    void Click(int x, int y, const IMouseMod& mod = kLeft) {
        editor->OnMouseDown(x, y, mod);
        editor->OnMouseUp(x, y, mod);
    }
    void ClickSkin(int skin, const IMouseMod& mod = kLeft) { Click(Skin(skin).L + 1, Skin(skin).T + 1, mod); }
    void Drag(int skin, int dx, int dy, const IMouseMod& mod = kLeft) {
        const int x = Skin(skin).L + 1, y = Skin(skin).T + 1;
        editor->OnMouseDown(x, y, mod);
        editor->OnMouseDrag(x + dx, y + dy, dx, dy, mod);
        editor->OnMouseUp(x + dx, y + dy, mod);
    }
    void SetFromHost(int index, double plain) {
        host->SetParameter(index, static_cast<float>(vardo->Params().Get(index)->ToNormalized(plain)));
    }
    // A fingerprint of the pixels of a rectangle.
    uint64_t Pixels(const IRECT& r) const {
        uint64_t hash = 1469598103934665603ull;
        for (int y = r.T; y < r.B; ++y)
            for (int x = r.L; x < r.R; ++x) {
                const IColor c = editor->Canvas().PixelAt(x, y);
                hash = (hash ^ static_cast<uint64_t>((c.A << 24) | (c.R << 16) | (c.G << 8) | c.B)) * 1099511628211ull;
            }
        return hash;
    }

    std::unique_ptr<TestHost> host;
    Vardo* vardo = nullptr;
    VardoEditor* editor = nullptr;
};

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
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.what);
        SetUp();
        row.act(*this);
        EXPECT_NEAR(host->GetParameter(row.param), row.expected, 1e-6);
    }
}

TEST_F(EditorTest, HiddenPanelsTakeNoClicksAndTheAboutBoxCoversAll) {
    const IRECT info = Skin(157);
    const int x = info.L + info.W() / 2, y = info.T + info.H() / 2;
    IControl* beneath = editor->ControlAt(x, y);
    ClickSkin(140);  // "Box info"
    IControl* panel = editor->ControlAt(x, y);
    ASSERT_NE(panel, beneath);
    ClickSkin(140);
    EXPECT_EQ(editor->ControlAt(x, y), beneath);
    ClickSkin(20);  // the about-box trigger
    IControl* about = editor->ControlAt(0, 0);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->GetRECT(), IRECT(0, 0, 1000, 565));
    Click(x, y);
    EXPECT_TRUE(about->IsHidden());
    EXPECT_NE(editor->ControlAt(0, 0), about);
}

TEST_F(EditorTest, ChoosingAnotherKeyAreaRebindsTheControls) {
    const IRECT areas = Skin(17);
    Click(areas.L + areas.W() / 4 + 2, areas.T + 2);  // second of four buttons
    Redraw();
    EXPECT_EQ(editor->Selection().area, 1);
    const int gate = kGate + PatternIndex(1, 0);
    EXPECT_EQ(At(0)->ParamIdx(), gate);
    Drag(0, 0, -28);
    EXPECT_NEAR(host->GetParameter(gate), 0.55, 1e-6);
    EXPECT_NEAR(host->GetParameter(kGate), 0.45, 1e-6);
    EXPECT_EQ(At(9)->ParamIdx(), kKeyAreaOnOff + 1);
}

TEST_F(EditorTest, LoopMarkersAndChordKeyboardEditTheEngine) {
    const IRECT loop = Skin(124);
    const PatternStepper& stepper = vardo->App().Area(0)->Stepper();
    constexpr int kCell = 24;
    // The end marker dragged to step 10, then past the start: the drag passes to the start.
    editor->OnMouseDown(loop.L + 31 * kCell + 2, loop.T + 2, kLeft);
    editor->OnMouseDrag(loop.L + 10 * kCell + 2, loop.T + 2, 0, 0, kLeft);
    editor->OnMouseUp(loop.L + 10 * kCell + 2, loop.T + 2, kLeft);
    EXPECT_EQ(stepper.LaneLoopEnd(0, 0), 11);
    // An Alt-drag that would push the end past step 31 moves nothing.
    editor->OnMouseDown(loop.L + 2, loop.T + 2, kLeftAlt);
    editor->OnMouseDrag(loop.L + 25 * kCell + 2, loop.T + 2, 0, 0, kLeftAlt);
    editor->OnMouseUp(loop.L + 25 * kCell + 2, loop.T + 2, kLeftAlt);
    EXPECT_EQ(stepper.LaneLoopStart(0, 0), 0);
    EXPECT_EQ(stepper.LaneLoopEnd(0, 0), 11);

    const IRECT keys = Skin(127);
    Click(keys.L + 4 * 16 + 3, keys.T + 5);   // upper part of key 4
    Click(keys.L + 7 * 16 + 3, keys.T + 34);  // the strip of key 7
    const ChordMemoryBank& bank = *vardo->Context().chordMemory;
    EXPECT_TRUE(bank.Slot(bank.Selected())->Contains(4));
    EXPECT_EQ(bank.Slot(bank.Selected())->Base(), 7);
}

TEST_F(EditorTest, StatusTextArrivesThroughTheLink) {
    vardo->Link().PostStatus("Chord memory slot : 3");
    editor->OnTimer();
    const IRECT status = Skin(22);
    EXPECT_FALSE(editor->DirtyArea().Intersect(status).Empty());
}

}  // namespace
}  // namespace sorel::test
