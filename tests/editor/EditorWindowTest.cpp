// Sorel's editor in a real window under a private Xvfb, opened by the
// editor opcodes as a host opens it: xdotool's clicks, menus and typing
// change parameters and files, its keys go on to the host, and it opens and
// closes again and again, even after its parent is gone.
#include "EditorFixture.h"
#include "editor/IRadioButtonsControl.h"
#include "editor/PatternView.h"
#include "editor/Skin.h"
#include "engine/ParameterIndex.h"
#include "engine/Step.h"
#include "graphics/XErrorTrap.h"
#include "resources/Resources.h"
#include "support/XvfbServer.h"

// After gtest, whose names Xlib's macros would replace.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <thread>

namespace sorel::test {
namespace {

using namespace sorel::param;
using namespace std::chrono_literals;
using sorel::testing::XvfbServer;

class EditorWindowTest : public EditorTest {
protected:
    void SetUp() override {
        if (!XvfbServer::Instance().Running()) GTEST_SKIP() << "no X server could be started";
        EditorTest::SetUp();
        display_ = XOpenDisplay(XvfbServer::Instance().Display().c_str());
        ASSERT_NE(display_, nullptr);
        trap_ = std::make_unique<XErrorTrap>(display_);  // windows the editor closes meanwhile
        parent_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1000, 565, 0, 0, 0);
        XMapWindow(display_, parent_);
        XSync(display_, False);
    }
    void TearDown() override {
        if (host) host->Dispatch(effEditClose);
        trap_.reset();
        if (display_) XCloseDisplay(display_);
    }
    bool OpenEditor() { return host->Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent_)) == 1; }
    ::Window EditorWindow() { return sorel::testing::FirstChildWindow(display_, parent_); }
    // A fingerprint of what the editor's window shows in a rectangle (0 when unreadable); black is not drawn.
    uint64_t Shown(const IRECT& r) { return Shown(EditorWindow(), r); }
    uint64_t Shown(::Window window, const IRECT& r) {
        XImage* image = XGetImage(display_, window, r.L, r.T, r.W(), r.H(), AllPlanes, ZPixmap);
        if (!image) return 0;
        // An opaque window: its pixels read as the canvas's with full alpha.
        const uint64_t hash = Fingerprint(r, [&](int x, int y) { return 0xFF000000 | XGetPixel(image, x - r.L, y - r.T); });
        XDestroyImage(image);
        return hash;
    }
    // Closes the editor once its window shows the same twice, and tells
    // whether that is what the editor drew, device pixel for device pixel.
    bool ClosedShowingWhatWasDrawn(const IRECT& r) {
        uint64_t shown = Shown(r);
        Eventually([&] {
            const uint64_t before = std::exchange(shown, Shown(r));
            return before == shown;
        });
        host->Dispatch(effEditClose);
        return shown == Pixels(r);
    }
    uint64_t Shown(int x, int y) { return Shown({x, y, x + 1, y + 1}); }
    // How many pixels of a rectangle show light text (every channel above 160).
    int LightPixels(const IRECT& r) {
        XImage* image = XGetImage(display_, EditorWindow(), r.L, r.T, r.W(), r.H(), AllPlanes, ZPixmap);
        if (!image) return -1;
        int count = 0;
        for (int y = 0; y < r.H(); ++y)
            for (int x = 0; x < r.W(); ++x) {
                const unsigned long p = XGetPixel(image, x, y);
                count += (p >> 16 & 0xFF) > 160 && (p >> 8 & 0xFF) > 160 && (p & 0xFF) > 160;
            }
        XDestroyImage(image);
        return count;
    }
    bool Drawn(int x, int y) { return Shown(x, y) != Fingerprint({0, 0, 1, 1}, [](int, int) { return 0xFF000000ul; }); }
    template <typename Condition>
    static bool Eventually(Condition condition) {
        for (auto end = std::chrono::steady_clock::now() + 10s; std::chrono::steady_clock::now() < end;
             std::this_thread::sleep_for(20ms))
            if (condition()) return true;
        return false;
    }
    bool Xdotool(int x, int y, const std::string& then) {
        return XvfbServer::Instance().Xdotool("mousemove --window " + std::to_string(EditorWindow()) + " " +
                                              std::to_string(x) + " " + std::to_string(y) + " " + then);
    }
    bool OpenAndDrawn() {
        return OpenEditor() && Eventually([&] { return Drawn(Skin(36).L + 5, Skin(36).T + 5); });
    }

    // Where X shows the first mapped child of `window` that passes `wanted`, relative to
    // `window`; empty when none does.
    template <typename Wanted>
    IRECT ShownChild(::Window window, Wanted wanted) {
        ::Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree(display_, window, &root, &parent, &children, &count);
        IRECT shown;
        for (unsigned i = 0; i < count && shown.Empty(); ++i) {
            XWindowAttributes a{};
            const bool mapped = XGetWindowAttributes(display_, children[i], &a) && a.map_state == IsViewable;
            if (children[i] != parent_ && mapped && wanted(a))
                shown = {a.x, a.y, a.x + a.width, a.y + a.height};
        }
        XFree(children);
        trap_->SyncAndCheck();
        return shown;
    }
    // The open popup menu: a window of its own on the root, over everything.
    IRECT MenuShown() {
        return ShownChild(DefaultRootWindow(display_), [](const XWindowAttributes& a) { return a.override_redirect; });
    }
    IRECT TextFieldShown() {
        return ShownChild(EditorWindow(), [](const XWindowAttributes&) { return true; });
    }
    // The editor's point (x, y) on the screen.
    std::pair<int, int> OnScreen(int x, int y) {
        int rootX = 0, rootY = 0;
        ::Window child = 0;
        XTranslateCoordinates(display_, EditorWindow(), DefaultRootWindow(display_), x, y, &rootX, &rootY, &child);
        return {rootX, rootY};
    }

    Display* display_ = nullptr;
    std::unique_ptr<XErrorTrap> trap_;
    ::Window parent_ = 0;
};

// "Double size editor" switched in an open window: twice the pixels at once
// where the host lets the window grow; elsewhere only from the next open.
TEST_F(EditorWindowTest, TheDoubleSizeSwitchGrowsTheWindowWhereTheHostLetsIt) {
    for (const bool accepts : {true, false}) {
        SCOPED_TRACE(accepts);
        host->acceptsEditorSize = accepts;
        vardo->SetGuiScale(1);
        ASSERT_TRUE(OpenEditor());
        const IRECT settings = Skin(141), panel = Skin(163);
        ASSERT_TRUE(Eventually([&] { return Drawn(settings.L + 3, settings.T + 3); }));
        const uint64_t underPanel = Shown(panel.L + 150, panel.T + 3);
        ASSERT_TRUE(Xdotool(settings.L + 3, settings.T + 3, "click 1"));
        // A loaded machine may take a while to draw the panel; click its row only once it shows.
        ASSERT_TRUE(Eventually([&] { return Shown(panel.L + 150, panel.T + 3) != underPanel; }));
        ASSERT_TRUE(Xdotool(panel.L + 8, panel.T + 30 * 8 + 5, "click 1"));  // its last row
        EXPECT_TRUE(Eventually([&] { return vardo->GuiScale() == 2; }));
        const auto width = [&] {
            XWindowAttributes attributes{};
            XGetWindowAttributes(display_, EditorWindow(), &attributes);
            return attributes.width;
        };
        const int scale = accepts ? 2 : 1;
        EXPECT_TRUE(Eventually([&] { return width() == 1000 * scale; })) << width();
        XResizeWindow(display_, parent_, 1000 * scale, 565 * scale);  // as the host sizes its frame
        XSync(display_, False);
        // Closed by a click on its title, or the next open would show it still open.
        const int titleX = scale * (panel.L + 20), titleY = scale * (panel.T + 5);
        const uint64_t title = Shown(titleX, titleY);
        ASSERT_TRUE(Xdotool(titleX, titleY, "click 1"));
        EXPECT_TRUE(Eventually([&] { return Shown(titleX, titleY) != title; }));
        EXPECT_TRUE(ClosedShowingWhatWasDrawn({0, 0, 1000 * scale, 565 * scale}));
    }
}

// The editor uses no key: each goes on to the host's window, however often it opened before.
TEST_F(EditorWindowTest, KeysGoOnToTheHostsWindowAndItSurvivesItsParentGoingFirst) {
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(OpenEditor()) << i;
        EXPECT_EQ(host->Dispatch(effEditClose), 1);
    }
    XSelectInput(display_, parent_, KeyPressMask);
    ASSERT_TRUE(OpenAndDrawn());
    XSetInputFocus(display_, PointerRoot, RevertToPointerRoot, CurrentTime);
    XSync(display_, False);
    ASSERT_TRUE(XvfbServer::Instance().Xdotool("mousemove --sync --window " + std::to_string(EditorWindow()) +
                                               " 20 20 key space z F5"));
    std::set<KeySym> forwarded;
    EXPECT_TRUE(Eventually([&] {
        for (XEvent event; XCheckTypedWindowEvent(display_, parent_, KeyPress, &event);)
            if (event.xkey.send_event) forwarded.insert(XLookupKeysym(&event.xkey, 0));
        return forwarded == std::set<KeySym>{XK_space, XK_z, XK_F5};
    })) << forwarded.size();
    XDestroyWindow(display_, parent_);
    XSync(display_, False);
    EXPECT_EQ(host->Dispatch(effEditClose), 1);
    host->SetParameter(kGate, 0.75f);  // the plug-in goes on as before
    EXPECT_FLOAT_EQ(host->GetParameter(kGate), 0.75f);
}

// A skin that lacks entries leaves controls without a place: the editor
// refuses to open rather than draw them at the window's corner.
TEST_F(EditorWindowTest, ASkinShorterThanTheTableKeepsTheEditorClosed) {
    const std::string skin(resources::Find(kSkinResourceNumber, kSkinResourceName)->Text());
    editor->UseSkin(skin.substr(0, skin.find("// pattern_view")));
    EXPECT_FALSE(OpenEditor());
    EXPECT_EQ(EditorWindow(), 0u);
    editor->UseSkin(skin);
    EXPECT_TRUE(OpenAndDrawn());
}

// What the window shows at twice the size, with the pointer outside the
// editor: step numbers clear of the step switches, a readable caption, the
// length bracket at the pattern's length, each bar's number as the step
// plays, and every control inside the window.
TEST_F(EditorWindowTest, TheWindowShowsStepNumbersCaptionBracketAndLabelsWhole) {
    constexpr int k = 2;
    const auto twice = [](const IRECT& r) { return IRECT{r.L * k, r.T * k, r.R * k, r.B * k}; };
    const IRECT grid = Skin(36), caption = twice(Skin(166));
    const auto column = [&](int step) { return grid.L + 1 + 24 * step; };
    const int numbersTop = Skin(37).B;  // under the step switches
    const auto numberAt = [&](int step) { return twice({column(step) - 2, numbersTop, column(step) + 22, numbersTop + 11}); };
    const auto bar = [&](int step) { return twice({column(step), grid.T, column(step) + 21, grid.T + 111}); };
    const IRECT bracketBeyondStep16 = twice({column(16), grid.T - 5, column(31), grid.T - 3});
    SetFromHost(kPatternStepMode, lane::kGate);
    SetFromHost(StepValue(0, 0, lane::kGate, 0), 10.6);
    SetFromHost(StepValue(0, 0, lane::kGate, 1), 11);
    vardo->SetGuiScale(k);
    XResizeWindow(display_, parent_, 1000 * k, 565 * k);
    ASSERT_TRUE(OpenEditor());
    XWarpPointer(display_, 0, DefaultRootWindow(display_), 0, 0, 0, 0, 0, 1190);
    ASSERT_TRUE(Eventually([&] { return Drawn(bar(1).L + 3, bar(1).T + 3); }));
    const uint64_t bracket = Shown(bracketBeyondStep16);
    SetFromHost(kSendCc, 1);
    SetFromHost(kPatternSteps, 15);  // 16 steps
    EXPECT_TRUE(Eventually([&] { return Shown(bracketBeyondStep16) != bracket; })) << "the bracket follows the length";
    EXPECT_TRUE(Eventually([&] { return LightPixels(caption) > 80; })) << "light text on the dark panel";
    const IRECT leftThird{caption.L, caption.T, caption.L + caption.W() / 3, caption.B};
    const IRECT rightThird{caption.R - caption.W() / 3, caption.T, caption.R, caption.B};
    EXPECT_GT(LightPixels(leftThird) * LightPixels(rightThird), 0) << "the caption is drawn whole";
    EXPECT_GT(LightPixels(numberAt(3)), 20) << "step 4's number";
    EXPECT_EQ(LightPixels(numberAt(2)), 0) << "only every fourth step is numbered";
    EXPECT_GT(LightPixels(bar(1)), 40) << "the bar's number shows";
    EXPECT_EQ(Shown(bar(0)), Shown(bar(1))) << "10.6 plays and reads as 11";
    EXPECT_LE(At(119)->GetRECT().B, VardoEditor::kFullHeight) << "the MIDI output switch";
}

// A menu opens at the lower-left corner of what was clicked (of the step's
// column in the grid), so that it covers neither; a text field opens over its
// control. Opening one changes nothing, not even on a pattern or key area button.
TEST_F(EditorWindowTest, MenusOpenBelowWhatWasClickedAndChangeNothing) {
    ASSERT_TRUE(OpenAndDrawn());
    const IRECT gate = Skin(0), steps = Skin(128), patterns = Skin(123), areas = Skin(17), grid = Skin(36);
    const IRECT length4 = Skin(86 + 3), scene = Skin(118);
    const int patternX = patterns.L + 31 * 5 + 15, areaX = areas.L + 30 * 2 + 15, stepLeft = grid.L + 24 * 5;
    const char* const doubleClick = "click --repeat 2 --delay 50 1";
    const struct { const char* name; int x, y; const char* gesture; int left, top, watched; } rows[] = {
        {"knob", gate.L + 28, gate.T + 28, "click 3", gate.L, gate.B, kGate},
        {"double-clicked text switch", steps.L + 5, steps.T + 5, doubleClick, steps.L, steps.B, kPatternSteps},
        {"pattern button 6", patternX, patterns.T + 5, "click 3", patternX, patterns.B, kKeyAreaPatterns},
        {"key area button 3", areaX, areas.T + 5, "click 3", areaX, areas.B, kKeyAreaSelection},
        {"step 6 of the grid", stepLeft + 10, grid.T + 50, "click 3", stepLeft, grid.B, StepValue(0, 0, 0, 5)},
        {"scene step 4's length", length4.L + 5, length4.T + 5, doubleClick, length4.L, scene.B, kSceneStepLength + 3},
    };
    // Where the menu that a gesture opens shows, once it is dismissed again.
    const auto menuAfter = [&](int x, int y, const std::string& gesture) {
        IRECT menu;
        EXPECT_TRUE(Xdotool(x, y, gesture));
        EXPECT_TRUE(Eventually([&] { return !(menu = MenuShown()).Empty(); }));
        EXPECT_TRUE(XvfbServer::Instance().Xdotool("key Escape"));
        EXPECT_TRUE(Eventually([&] { return MenuShown().Empty(); }));
        return menu;
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const float before = host->GetParameter(row.watched);
        const IRECT menu = menuAfter(row.x, row.y, row.gesture);
        EXPECT_EQ(std::pair(menu.L, menu.T), OnScreen(row.left, row.top));
        EXPECT_EQ(host->GetParameter(row.watched), before);
    }
    // Where the screen ends below the control, above it.
    XMoveWindow(display_, parent_, 0, DisplayHeight(display_, DefaultScreen(display_)) - 565);
    XSync(display_, False);
    const IRECT above = menuAfter(steps.L + 5, steps.T + 5, doubleClick);
    EXPECT_EQ(std::pair(above.L, above.B), OnScreen(steps.L, steps.T));
    const IRECT note = Skin(120);  // "Start note": typed as a note name
    ASSERT_TRUE(Xdotool(note.L + 5, note.T + 5, doubleClick));
    IRECT field;
    EXPECT_TRUE(Eventually([&] { return !(field = TextFieldShown()).Empty(); }));
    EXPECT_EQ(field, IRECT(note.L, note.T, note.R + 1, note.B + 1));
}

// A start note typed into its field is read as the note it names, case and
// spaces aside, or as a number; a text that names nothing changes nothing,
// and a letter that is no note name is not typed at all.
TEST_F(EditorWindowTest, ATypedStartNoteIsTheNoteItNamesOrTheNumber) {
    ASSERT_TRUE(OpenAndDrawn());
    const IRECT note = Skin(120);
    const struct { const char* typed; double note; } rows[] = {
        {"d3", 38}, {"C#3", 37}, {"40", 40}, {"gg", 40}, {"a#1", 22}, {"d#h3", 39},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        ASSERT_TRUE(Xdotool(note.L + 5, note.T + 5, "click --repeat 2 --delay 50 1"));
        ASSERT_TRUE(Eventually([&] { return !TextFieldShown().Empty(); }));
        ASSERT_TRUE(Xdotool(note.L + 5, note.T + 5, std::string("sleep 0.2 type --args 1 -- ") + row.typed + " key Return"));
        ASSERT_TRUE(Eventually([&] { return TextFieldShown().Empty(); }));
        EXPECT_TRUE(Eventually([&] { return vardo->Params().Value(kKeyAreaStartNote) == row.note; }))
            << vardo->Params().Value(kKeyAreaStartNote);
    }
}

// Copied from pattern 6 and pasted onto pattern 8 through their buttons' menus,
// while pattern 1 goes on playing.
TEST_F(EditorWindowTest, APatternButtonsMenuActsOnItsPatternWithoutChoosingIt) {
    constexpr int kGateLane = 3;
    SetFromHost(StepValue(0, 5, kGateLane, 9), 77);
    ASSERT_TRUE(OpenAndDrawn());
    const IRECT patterns = Skin(123);
    const auto button = [&](int i) { return patterns.L + 31 * i + 15; };
    ASSERT_TRUE(Xdotool(button(5), patterns.T + 5, "click 3 sleep 0.3 key Down Return"));  // "Copy"
    ASSERT_TRUE(Eventually([&] { return MenuShown().Empty(); }));
    ASSERT_TRUE(Xdotool(button(7), patterns.T + 5, "click 3 sleep 0.3 key Down Down Return"));  // "Paste"
    EXPECT_TRUE(Eventually([&] { return std::lround(vardo->Params().Value(StepValue(0, 7, kGateLane, 9))) == 77; }));
    EXPECT_EQ(vardo->Params().Value(kKeyAreaPatterns), 0.0);
}

// A notch is one step of a control that moves in whole steps, however small a
// share of its range that is; a continuous knob moves by a hundredth of its
// range, a thousandth with Shift.
TEST_F(EditorWindowTest, AWheelNotchIsOneStepOfAWholeStepControl) {
    SetFromHost(kPatternSteps, 31);
    SetFromHost(kSwing, 0);
    ASSERT_TRUE(OpenAndDrawn());
    const IRECT steps = Skin(128), swing = Skin(4);
    const auto shownSteps = [&] { return vardo->Params().Get(kPatternSteps)->DisplayText(); };
    const struct { const char* name; IRECT at; const char* turn; const char* stepsShown; double swing; } rows[] = {
        {"24 down from 32", steps, "click --repeat 24 --delay 5 5", "8", 0.0},
        {"24 down from 8 stop at 1", steps, "click --repeat 24 --delay 5 5", "1", 0.0},
        {"24 up from 1", steps, "click --repeat 24 --delay 5 4", "25", 0.0},
        {"Swing 24 up", swing, "click --repeat 24 --delay 5 4", "25", 0.24},
        {"Swing 24 up with Shift", swing, "keydown Shift_L click --repeat 24 --delay 5 4 keyup Shift_L", "25", 0.264},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(Xdotool(row.at.L + 5, row.at.T + 5, row.turn));
        const auto arrived = [&] {
            return std::abs(host->GetParameter(kSwing) - row.swing) < 1e-5 && shownSteps() == row.stepsShown;
        };
        EXPECT_TRUE(Eventually(arrived)) << shownSteps() << " " << host->GetParameter(kSwing);
    }
}

// While a knob is dragged or turned, the status line shows its value of the
// moment, exactly as the hint for that value draws it.
TEST_F(EditorWindowTest, TheStatusLineShowsAKnobsValueThroughoutADragAndAWheelTurn) {
    ASSERT_TRUE(OpenAndDrawn());
    const IRECT gate = Skin(0), status = Skin(kStatusSkin);
    const int x = gate.L + 28, y = gate.T + 28;
    std::vector<std::pair<double, uint64_t>> seen;  // a value and what the status line showed with it
    // A gesture that changes the value; then what the status line shows once it settles.
    const auto stage = [&](int atY, const std::string& gesture) {
        const double before = vardo->Params().Value(kGate);
        const uint64_t shownBefore = Shown(status);
        ASSERT_TRUE(Xdotool(x, atY, gesture));
        EXPECT_TRUE(Eventually([&] { return vardo->Params().Value(kGate) != before && Shown(status) != shownBefore; }));
        uint64_t shown = Shown(status);
        int same = 0;
        Eventually([&] { return (std::exchange(shown, Shown(status)) == shown ? ++same : same = 0) >= 5; });
        seen.emplace_back(vardo->Params().Value(kGate), shown);
    };
    ASSERT_TRUE(Xdotool(x, y, "mousedown 1"));
    std::this_thread::sleep_for(300ms);
    for (int i = 1; i <= 3; ++i) stage(y - 15 * i, "");
    ASSERT_TRUE(Xdotool(x, y - 45, "mouseup 1"));
    for (int i = 0; i < 2; ++i) stage(y, "click --repeat 3 --delay 5 5");
    host->Dispatch(effEditClose);
    for (const auto& [value, shown] : seen) {
        ChangeFromEditor(kGate, value);
        Redraw();
        EXPECT_EQ(Pixels(status), shown) << value;
    }
}

// A host in write mode records what the musician does: a knob dragged or
// turned, a switch dragged or a pattern button clicked tells it the begin of
// the edit on the press, each value, and the end on the release, by the
// host's own index.
TEST_F(EditorWindowTest, AKnobDragAndAPatternClickReachTheHostAsBeginValuesAndEnd) {
    ASSERT_TRUE(OpenAndDrawn());
    const IRECT gate = Skin(0), order = Skin(19), patterns = Skin(123);
    const int gateX = gate.L + 28, gateY = gate.T + 28;
    const struct {
        const char* name;
        std::function<bool()> gesture;
        const char* hostName;
        int minValues;
    } rows[] = {
        {"gate knob dragged up",
         [&] {
             return Xdotool(gateX, gateY, "mousedown 1 sleep 0.2 mousemove_relative 0 -15 sleep 0.2 "
                                          "mousemove_relative 0 -15 sleep 0.2 mouseup 1");
         },
         "Area 1 gate", 2},
        {"gate knob turned a notch", [&] { return Xdotool(gateX, gateY, "click 4"); }, "Area 1 gate", 1},
        {"play order switch dragged",
         [&] {
             return Xdotool(order.L + 5, order.T + 5, "mousedown 1 sleep 0.2 mousemove_relative 0 -30 sleep 0.2 mouseup 1");
         },
         "Area 1 play order", 1},
        {"third pattern button clicked", [&] { return Xdotool(patterns.L + 31 * 2 + 15, patterns.T + 5, "click 1"); },
         "Area 1 pattern", 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        host->ClearEditCalls();
        ASSERT_TRUE(row.gesture());
        const auto edits = [&] {
            std::vector<TestHost::EditCall> calls;
            for (const TestHost::EditCall& c : host->EditCalls())
                if (c.opcode != audioMasterUpdateDisplay) calls.push_back(c);
            return calls;
        };
        ASSERT_TRUE(Eventually([&] { return !edits().empty() && edits().back().opcode == audioMasterEndEdit; }));
        const std::vector<TestHost::EditCall> calls = edits();
        const int index = calls.front().index;
        EXPECT_EQ(host->DispatchString(effGetParamName, index), row.hostName);
        EXPECT_EQ(calls.front().opcode, audioMasterBeginEdit);
        ASSERT_GE(static_cast<int>(calls.size()), 2 + row.minValues);
        for (size_t i = 1; i + 1 < calls.size(); ++i) {
            EXPECT_EQ(calls[i].opcode, audioMasterAutomate) << i;
            EXPECT_EQ(calls[i].index, index) << i;
        }
        EXPECT_EQ(calls.back().index, index);
        // The last value told is the one the host reads back.
        EXPECT_FLOAT_EQ(calls[calls.size() - 2].value, host->GetHostParameter(index));
    }
    EXPECT_EQ(vardo->Params().Value(kKeyAreaPatterns), 2.0);
    // The press begins the edit; only the release ends it.
    host->ClearEditCalls();
    ASSERT_TRUE(Xdotool(gateX, gateY, "mousedown 1"));
    EXPECT_TRUE(Eventually([&] { return !host->EditCalls().empty(); }));
    const auto opcodes = [&] {
        std::vector<int> seen;
        for (const TestHost::EditCall& c : host->EditCalls()) seen.push_back(c.opcode);
        return seen;
    };
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(opcodes().front(), audioMasterBeginEdit);
    EXPECT_EQ(std::ranges::count(opcodes(), audioMasterEndEdit), 0) << "the edit lasts while the knob is held";
    ASSERT_TRUE(Xdotool(gateX, gateY, "mouseup 1"));
    EXPECT_TRUE(Eventually([&] { return opcodes().back() == audioMasterEndEdit; }));
}

// The knob's menu shows the controller it learnt, wider, and the status line
// says what learn waits for and what it took; unlearnt, the menu is as before.
TEST_F(EditorWindowTest, AKnobLearnsAControllerFromItsMenuShowsItAndTurnsWithIt) {
    ASSERT_TRUE(OpenAndDrawn());
    const IRECT knob = Skin(0), status = Skin(kStatusSkin);
    const uint64_t before = Shown(knob);
    // The knob's menu as the screen shows it once it holds still: its width and pixels.
    const auto menuShown = [&] {
        IRECT menu;
        EXPECT_TRUE(Xdotool(knob.L + 28, knob.T + 28, "click 3"));
        EXPECT_TRUE(Eventually([&] { return !(menu = MenuShown()).Empty(); }));
        const ::Window root = DefaultRootWindow(display_);
        uint64_t shown = 0;
        Eventually([&] { return std::exchange(shown, Shown(root, menu)) == shown; });
        EXPECT_TRUE(XvfbServer::Instance().Xdotool("key Escape"));
        EXPECT_TRUE(Eventually([&] { return MenuShown().Empty(); }));
        return std::pair(menu.W(), shown);
    };
    std::vector<std::pair<std::string, uint64_t>> statuses;
    // The line is read by its pixels while the window is open (its text is
    // the editor thread's); once closed, each text is drawn again and must
    // give the pixels seen.
    const auto statusShows = [&](const std::string& text, uint64_t before) {
        uint64_t shown = before;
        int same = 0;
        EXPECT_TRUE(Eventually([&] {
            if (std::exchange(shown, Shown(status)) != shown || shown == before) return (same = 0) > 0;
            return ++same >= 5;
        })) << text;
        statuses.emplace_back(text, shown);
    };
    const auto unbound = menuShown();
    const uint64_t beforeLearn = Shown(status);
    ASSERT_TRUE(Xdotool(knob.L + 28, knob.T + 28, "click 3 sleep 0.3 key Down Return"));
    ASSERT_TRUE(Eventually([&] {
        std::lock_guard<std::recursive_mutex> lock(vardo->Mutex());
        return vardo->Learn().LearnTarget() == kGate;
    })) << "\"MIDI learn\" chosen";
    statusShows("MIDI learn: move a controller", beforeLearn);
    host->Controller(0, 1, 20, 127);
    host->ProcessBlock(64);
    EXPECT_EQ(host->GetParameter(kGate), 1.0f);
    EXPECT_TRUE(Eventually([&] { return Shown(knob) != before; })) << "the knob turned on screen";
    statusShows("MIDI learn: CC 20 moves " + vardo->Params().Get(kGate)->Name(), statuses.back().second);
    const auto bound = menuShown();
    EXPECT_GT(bound.first, unbound.first) << "the items name the controller";
    EXPECT_NE(bound.second, unbound.second);
    ASSERT_TRUE(Xdotool(knob.L + 28, knob.T + 28, "click 3 sleep 0.3 key Down Down Return"));
    EXPECT_TRUE(Eventually([&] {
        std::lock_guard<std::recursive_mutex> lock(vardo->Mutex());
        return vardo->Learn().BoundParameter(20) == MidiLearn::kUnbound;
    })) << "\"MIDI unlearn CC 20\" chosen";
    EXPECT_EQ(menuShown(), unbound);
    EXPECT_TRUE(ClosedShowingWhatWasDrawn({0, 0, 1000, 565}));
    for (const auto& [text, shown] : statuses) {
        editor->SetStatusText(text);
        Redraw();
        EXPECT_EQ(Pixels(status), shown) << text;
    }
}

TEST_F(EditorWindowTest, APresetSavedThroughMenuAndTextFieldsLoadsBackThroughTheBrowser) {
    ASSERT_TRUE(OpenAndDrawn());
    const IRECT box = Skin(138);
    const auto openBox = [&](const std::string& keys) { return Xdotool(box.L + 10, box.T + 5, "click 1 sleep 0.3 " + keys); };
    host->SetParameter(kGate, 0.8f);
    // "Save preset" is the last item; then name, author, description, usage and the style "2 lead".
    ASSERT_TRUE(openBox("key Up Return sleep 0.3 type --args 1 -- 'Night Bass' key Return sleep 0.3 type --args 1 -- Rin "
                        "key Return sleep 0.3 key Return sleep 0.3 key Return sleep 0.3 key Down Down Return"));
    const std::string file = home.SorelFolder() + "presets/User/2 lead/Night Bass.v2z";
    ASSERT_TRUE(Eventually([&] { return std::filesystem::exists(file); })) << file;
    host->SetParameter(kGate, 0.1f);
    // Init, Factory, User; its second style; its first file.
    ASSERT_TRUE(openBox("key Down Down Down Right Down Right Return"));
    EXPECT_TRUE(Eventually([&] { return host->GetParameter(kGate) == 0.8f; })) << host->GetParameter(kGate);
}

// --- undo and redo ------------------------------------------------------------------

constexpr int kViewSkin = 36, kSceneSkin = 118, kLoopSkin = 124, kKeyboardSkin = 127;
constexpr int kPatternsSkin = 123, kRandomizeSkin = 131, kCopySkin = 132, kPasteSkin = 133, kClearSkin = 134;
constexpr int kSceneColumn = 18, kKeyWidth = 16, kLoopCell = 24;
const IMouseMod kCtrlShift{false, false, true, true};
constexpr int kKeyZ = WindowClient::kKeyLetterA + ('z' - 'a');

// What a host sees of the plug-in: every parameter and the program chunk
// (which also holds the loops and the chord memory).
struct HostView {
    std::vector<float> parameters;
    std::vector<uint8_t> chunk;
    bool operator==(const HostView&) const = default;
};

class UndoWindowTest : public EditorWindowTest {
protected:
    HostView Look() {
        HostView view{std::vector<float>(kCount), host->GetChunk(1)};
        for (int i = 0; i < kCount; ++i) view.parameters[static_cast<size_t>(i)] = host->GetParameter(i);
        return view;
    }
    // The steps of the lane the view shows, set as a host automates them.
    void SetShownSteps(float normalized) {
        const EditorModel& model = vardo->Model();
        for (int step = 0; step < 8; ++step)
            host->SetParameter(StepValue(model.Area(), model.Pattern(), model.Lane(), step), normalized);
    }
    bool ClickIn(int skin) { return Xdotool(Skin(skin).L + 8, Skin(skin).T + 8, "click 1"); }
    bool DragIn(int x1, int y1, int x2, int y2) {
        const std::string to = "mousemove --window " + std::to_string(EditorWindow()) + " ";
        return Xdotool(x1, y1, "mousedown 1 sleep 0.1 " + to + std::to_string((x1 + x2) / 2) + " " + std::to_string(y2) +
                                   " sleep 0.1 " + to + std::to_string(x2) + " " + std::to_string(y2) + " sleep 0.1 mouseup 1");
    }
    // What `look` sees once it stays the same for a few timer ticks of the editor.
    template <class Look>
    static auto Settled(Look look) {
        auto last = look();
        for (int i = 0; i < 50; ++i) {
            std::this_thread::sleep_for(200ms);
            auto now = look();
            if (now == last) break;
            last = std::move(now);
        }
        return last;
    }
    template <class Read>
    auto Locked(Read read) {
        std::lock_guard<std::recursive_mutex> lock(vardo->Mutex());
        return read();
    }
    // A click on a pattern button, then the keys that choose in the menu it may open.
    bool OnPatternButton(int pattern, const std::string& then) {
        const IRECT r = static_cast<IRadioButtonsControl*>(At(kPatternsSkin))->ButtonRect(pattern);
        return Xdotool((r.L + r.R) / 2, (r.T + r.B) / 2, then);
    }
    int SceneX(int column) const { return Skin(kSceneSkin).L + 2 + kSceneColumn * column + kSceneColumn / 2; }
    int SceneBarY() const { return Skin(kSceneSkin).B - 9; }
};

// Each edit, undone and redone from the step menu and from the keys, leaves
// the parameters and the chunk exactly as before and after it.
TEST_F(UndoWindowTest, EveryEditIsUndoneAndRedoneFromTheStepMenuAndTheKeys) {
    ASSERT_TRUE(OpenAndDrawn());
    XSetInputFocus(display_, PointerRoot, RevertToPointerRoot, CurrentTime);
    XSync(display_, False);
    const std::vector<uint8_t> fresh = host->GetChunk(1);
    const IRECT grid = Skin(kViewSkin), loop = Skin(kLoopSkin), keys = Skin(kKeyboardSkin);
    const auto column = [&](int step) { return grid.L + 1 + 24 * step + 10; };
    struct Row {
        const char* edit;
        std::function<void()> prepare;
        std::function<bool()> make;
        bool changesParameters;  // else only the chunk's loops or chord memory
        std::pair<int, int> menuAt;  // where the step menu opens
    };
    const std::pair<int, int> viewMenu{column(12), grid.T + 60}, sceneMenu{SceneX(8), SceneBarY()};
    const Row rows[] = {
        {"draw", [] {}, [&] { return DragIn(column(2), grid.T + 20, column(6), grid.T + 20); }, true, viewMenu},
        {"Clear tool", [&] { SetShownSteps(0.7f); }, [&] { return ClickIn(kClearSkin); }, true, viewMenu},
        {"Randomize", [] {}, [&] { return ClickIn(kRandomizeSkin); }, true, viewMenu},
        {"Paste tool",
         [&] {
             SetShownSteps(0.7f);
             ASSERT_TRUE(ClickIn(kCopySkin));
             ASSERT_TRUE(Eventually([&] { return Locked([&] { return vardo->Model().laneClip.length > 0; }); }));
             SetShownSteps(0.3f);
         },
         [&] { return ClickIn(kPasteSkin); }, true, viewMenu},
        {"pattern pasted from its menu",
         [&] {
             SetShownSteps(0.7f);
             ASSERT_TRUE(OnPatternButton(0, "click 3 sleep 0.3 key Down Return"));  // "Copy"
             ASSERT_TRUE(Eventually([&] { return Locked([&] { return vardo->Model().patternClip.Holds(); }); }));
             // "Paste" onto the copied pattern changes nothing but the menu's parameter, which no undo takes back.
             ASSERT_TRUE(OnPatternButton(0, "click 3 sleep 0.3 key Down Down Return"));
             ASSERT_TRUE(Eventually([&] { return host->GetParameter(kCopyMenu) > 0.0f; }));
             ASSERT_TRUE(OnPatternButton(7, "click 1"));
             ASSERT_TRUE(Eventually([&] { return Locked([&] { return vardo->Model().Pattern() == 7; }); }));
         },
         [&] { return OnPatternButton(7, "click 3 sleep 0.3 key Down Down Return"); }, true, viewMenu},  // "Paste"
        {"loop end marker dragged",  [] {},
         [&] { return DragIn(loop.L + kLoopCell * 31 + 10, loop.T + 7, loop.L + kLoopCell * 20 + 10, loop.T + 7); }, false,
         viewMenu},
        {"chord memory key", [] {}, [&] { return Xdotool(keys.L + kKeyWidth * 4 + 8, keys.T + 10, "click 1"); }, false,
         sceneMenu},
        {"scene end", [] {}, [&] { return Xdotool(SceneX(5), SceneBarY(), "click 1"); }, true, sceneMenu},
    };
    // With the pointer resting over the view: what the view shows once drawn.
    const auto shownAtRest = [&] {
        EXPECT_TRUE(Xdotool(column(12), grid.T + 60, ""));
        return Settled([&] { return Shown(grid); });
    };
    const auto byMenu = [&](std::pair<int, int> at) { return Xdotool(at.first, at.second, "click 3 sleep 0.3 key Down Return"); };
    for (const Row& row : rows) {
        for (const bool keysUsed : {false, true}) {
            SCOPED_TRACE(std::string(row.edit) + (keysUsed ? " by keys" : " by the step menu"));
            ASSERT_TRUE(host->SetChunk(1, fresh));  // a state load: the history starts empty
            row.prepare();
            const HostView before = Look();
            const uint64_t viewBefore = keysUsed ? shownAtRest() : 0;
            ASSERT_TRUE(row.make());
            ASSERT_TRUE(Eventually([&] { return Look() != before; }));
            const HostView after = Settled([&] { return Look(); });
            EXPECT_EQ(after.parameters != before.parameters, row.changesParameters);
            // With one step made only "Undo" is enabled, and after it only "Redo": the first item each time.
            ASSERT_TRUE(keysUsed ? Xdotool(column(12), grid.T + 60, "key ctrl+z") : byMenu(row.menuAt));
            EXPECT_TRUE(Eventually([&] { return Look() == before; })) << "undone";
            EXPECT_TRUE(!keysUsed || Eventually([&] { return Shown(grid) == viewBefore; })) << "the view shows it undone";
            ASSERT_TRUE(keysUsed ? Xdotool(column(12), grid.T + 60, "key ctrl+shift+z") : byMenu(row.menuAt));
            EXPECT_TRUE(Eventually([&] { return Look() == after; })) << "redone";
        }
    }
}

// With no window: the 64 latest edits come back one by one, the one before them no more.
TEST_F(EditorTest, SixtyFourEditsAreUndoneAndRedoneWithNoWindowOpen) {
    const IRECT scene = Skin(kSceneSkin);
    const auto sceneEnd = [&] {
        return std::lround(vardo->Params().Get(kSceneEnd)->FromNormalized(host->GetParameter(kSceneEnd)));
    };
    const auto columnOf = [](int edit) { return edit % 13; };  // never the same twice running
    ASSERT_NE(sceneEnd(), columnOf(1));
    for (int edit = 1; edit <= 65; ++edit) Click(scene.L + 2 + kSceneColumn * columnOf(edit) + 1, scene.B - 9);
    ASSERT_EQ(sceneEnd(), columnOf(65));
    for (int undone = 1; undone <= 65; ++undone) {
        EXPECT_EQ(editor->OnKeyDown(0, 0, kKeyZ, kCtrl), true);
        EXPECT_EQ(sceneEnd(), columnOf(std::max(1, 65 - undone))) << undone;
    }
    for (int redone = 1; redone <= 65; ++redone) {
        editor->OnKeyDown(0, 0, kKeyZ, kCtrlShift);
        EXPECT_EQ(sceneEnd(), columnOf(std::min(65, 1 + redone))) << redone;
    }
    EXPECT_FALSE(editor->OnKeyDown(0, 0, kKeyZ, kNone)) << "a plain z is the host's";
}

// The history's room is bounded: a key area pasted to all three others fills
// most of it, and the next one leaves no room for the first.
TEST_F(EditorTest, TwoKeyAreasPastedToAllKeepOnlyTheLaterInTheHistory) {
    const auto pasteToAll = [&](int area) {
        const IRECT button = static_cast<IRadioButtonsControl*>(At(17))->ButtonRect(area);
        for (const char* item : {"Copy", "Paste to all"}) ClickWith(button.L + 5, button.T + 5, kRight, {item});
        EXPECT_TRUE(answers.empty());
    };
    const auto setStep = [&](int area) { host->SetParameter(StepValue(area, 0, 3, 9), 0.25f * float(area)); };
    setStep(1);
    pasteToAll(1);
    setStep(2);
    const std::vector<uint8_t> betweenPastes = host->GetChunk(1);
    pasteToAll(2);
    ASSERT_NE(host->GetChunk(1), betweenPastes);
    for (int undo = 0; undo < 2; ++undo) {
        editor->OnKeyDown(0, 0, kKeyZ, kCtrl);
        EXPECT_EQ(host->GetChunk(1), betweenPastes) << "undo " << undo + 1;
    }
}

// After a state from the host, a preset or a chord bank from its browser, nothing older comes back.
TEST_F(EditorTest, AStatePresetOrChordBankLoadClearsTheHistory) {
    const IRECT scene = Skin(kSceneSkin), keys = Skin(kKeyboardSkin);
    const std::vector<uint8_t> state = host->GetChunk(1);
    const std::optional<std::string> preset = Persistence().SaveUserPreset("Before", 0, BoxInfo{});
    const std::optional<std::string> bank = Persistence().SaveUserChordBank("Before");
    ASSERT_TRUE(preset && bank);
    const std::function<void()> loads[] = {
        [&] { ASSERT_TRUE(host->SetChunk(1, state)); },
        [&] {
            Persistence().RequestPresetLoad(*preset, "Before");
            Persistence().WaitUntilIdle();
        },
        [&] { ASSERT_TRUE(Persistence().LoadChordBank(*bank, "Before")); },
    };
    for (const auto& load : loads) {
        for (const int column : {3, 5}) Click(scene.L + 2 + kSceneColumn * column + 1, scene.B - 9);
        // A chord-memory note in and out: undone, the last would bring it back.
        for (int i = 0; i < 2; ++i) Click(keys.L + kKeyWidth * 4 + 8, keys.T + 10);
        load();
        const std::vector<uint8_t> loaded = host->GetChunk(1);
        editor->OnKeyDown(0, 0, kKeyZ, kCtrl);
        EXPECT_EQ(host->GetChunk(1), loaded) << "Ctrl+Z";
        editor->OnKeyDown(0, 0, kKeyZ, kCtrlShift);
        ClickWith(scene.L + 20, scene.B - 9, kRight, {"Undo"});
        EXPECT_EQ(host->GetChunk(1), loaded);
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(shown.back(), (std::vector<std::string>{"Undo", "Redo"})) << "the scene view's step menu";
    }
}

// The lane tabs, pattern buttons and tools as a musician clicks them: the view
// shows the lane and pattern chosen, and a drag in it, the tools and the
// lane's own switches act on exactly those, as the host reads the parameters.
class ShownLaneTest : public EditorWindowTest {
protected:
    static constexpr int kNoteTabs = 69, kCcTabs = 154, kPatternButtons = 123, kView = 36, kResetNl = 16;
    static constexpr int kDrawnSteps = 8;  // the drag after a tool covers the first steps only
    using Point = std::pair<int, int>;
    using AreaValues = std::vector<float>;  // every step value of key area 0, by pattern, lane and step
    using Lanes = std::set<std::pair<int, int>>;  // (pattern, lane)

    void SetUp() override {
        EditorWindowTest::SetUp();
        if (IsSkipped()) return;
        ASSERT_TRUE(OpenAndDrawn());
    }
    static std::string Move(int x, int y) {
        return "mousemove --window %W " + std::to_string(x) + " " + std::to_string(y) + " ";
    }
    // Runs an xdotool script, %W standing for the editor's window; the pointer then leaves the controls.
    void Pointer(std::string script) {
        script += Move(2, 2);
        for (std::size_t at; (at = script.find("%W")) != std::string::npos;)
            script.replace(at, 2, std::to_string(EditorWindow()));
        ASSERT_TRUE(XvfbServer::Instance().Xdotool(script)) << script;
    }
    void ClickAt(const IRECT& r) { Pointer(Move((r.L + r.R) / 2, (r.T + r.B) / 2) + "click 1 "); }
    std::vector<IRECT> Buttons(int skin) const {
        const auto* radio = dynamic_cast<IRadioButtonsControl*>(At(skin));
        std::vector<IRECT> buttons;
        for (int i = 0; i < radio->Count(); ++i) buttons.push_back(radio->ButtonRect(i));
        return buttons;
    }
    // Lanes 0..8 have the note tabs, 9..16 the CC tabs.
    std::vector<IRECT> Tabs() const {
        // By lane number: the note lanes', the controller lanes', then PROB's.
        std::vector<IRECT> tabs = Buttons(kNoteTabs);
        const IRECT prob = tabs.back();
        tabs.pop_back();
        for (const IRECT& tab : Buttons(kCcTabs)) tabs.push_back(tab);
        tabs.push_back(prob);
        return tabs;
    }
    void ClickTab(int lane) { ClickAt(Tabs()[static_cast<std::size_t>(lane)]); }
    void ClickPattern(int pattern) {
        ClickAt(Buttons(kPatternButtons)[static_cast<std::size_t>(pattern)]);
        ASSERT_TRUE(Eventually([&] { return std::lround(PlainOf(kKeyAreaPatterns)) == pattern; })) << pattern;
    }
    // A drag along a row near the grid's top over the first `steps` columns.
    void DrawAcross(int steps) {
        const IRECT grid = Skin(kView);
        std::string script = Move(grid.L + 12, grid.T + 10) + "mousedown 1 ";
        for (int step = 1; step < steps; ++step) script += Move(grid.L + 12 + PatternView::kColumnPitch * step, grid.T + 10);
        Pointer(script + "mouseup 1 ");
    }
    double PlainOf(int index) { return vardo->Params().Get(index)->FromNormalized(host->GetParameter(index)); }
    static int Slot(int pattern, int lane, int step) { return (pattern * kAllLanes + lane) * kSteps + step; }
    AreaValues Values(int area = 0) {
        AreaValues values;
        for (int pattern = 0; pattern < kPatternsPerArea; ++pattern)
            for (int lane = 0; lane < kAllLanes; ++lane)
                for (int step = 0; step < kSteps; ++step)
                    values.push_back(host->GetParameter(StepValue(area, pattern, lane, step)));
        return values;
    }
    // The step values once they stopped changing.
    AreaValues SettledValues(int area = 0) {
        AreaValues values = Values(area);
        for (bool same = false; !same; std::this_thread::sleep_for(100ms))
            same = std::exchange(values, Values(area)) == values;
        return values;
    }
    static Lanes Changed(const AreaValues& before, const AreaValues& after) {
        Lanes changed;
        for (std::size_t i = 0; i < before.size(); ++i)
            if (before[i] != after[i]) changed.insert({int(i) / kSteps / kAllLanes, int(i) / kSteps % kAllLanes});
        return changed;
    }
    // What the window shows once it stopped changing.
    uint64_t Settled(const IRECT& r) {
        uint64_t shown = Shown(r);
        for (int same = 0; same < 3; std::this_thread::sleep_for(40ms))
            same = std::exchange(shown, Shown(r)) == shown ? same + 1 : 0;
        return shown;
    }
    // The looks of a row of buttons whose first is lit: that one's unlit look
    // is taken once another button lights.
    std::vector<uint64_t> UnlitLooks(const std::vector<IRECT>& buttons) {
        std::vector<uint64_t> unlit{0};
        for (std::size_t i = 1; i < buttons.size(); ++i) unlit.push_back(Settled(buttons[i]));
        return unlit;
    }
    // The buttons that look lit once button `lights` does.
    std::set<int> Lit(const std::vector<IRECT>& buttons, std::vector<uint64_t>& unlit, int lights) {
        const auto i = static_cast<std::size_t>(lights);
        EXPECT_TRUE(Eventually([&] { return Shown(buttons[i]) != unlit[i]; })) << lights << " lights";
        IRECT row = buttons.front();
        for (const IRECT& r : buttons)
            row = {std::min(row.L, r.L), std::min(row.T, r.T), std::max(row.R, r.R), std::max(row.B, r.B)};
        Settled(row);
        if (unlit[0] == 0 && lights != 0) unlit[0] = Shown(buttons[0]);
        std::set<int> lit;
        for (std::size_t b = 0; b < buttons.size(); ++b)
            if (Shown(buttons[b]) != unlit[b]) lit.insert(static_cast<int>(b));
        return lit;
    }
};

TEST_F(ShownLaneTest, EveryLaneTabChoosesTheLaneThatADragAndTheLanesSwitchEdit) {
    static constexpr std::pair<int, const char*> kTabs[] = {
        {3, "GATE"}, {0, "ORDER"}, {1, "CHRDMEM"}, {2, "LENGTH"}, {4, "ACCENT"}, {5, "TRANSP"},
        {6, "DIV"},  {7, "SHIFT"}, {8, "SEQ"},     {9, "CC 1"},   {10, "CC 2"}, {11, "CC 3"},
        {12, "CC 4"}, {13, "CC 5"}, {14, "CC 6"}, {15, "CC 7"},   {16, "CC 8"}, {17, "PROB"}};
    for (const auto& [lane, name] : kTabs) {
        SCOPED_TRACE(name);
        const AreaValues before = Values();
        ClickTab(lane);
        DrawAcross(kSteps);
        const auto allDrawn = [&] {
            const AreaValues now = Values();
            for (int step = 0; step < kSteps; ++step)
                if (now[Slot(0, lane, step)] == before[Slot(0, lane, step)]) return false;
            return true;
        };
        EXPECT_TRUE(Eventually(allDrawn)) << "every step of the lane drawn";
        EXPECT_EQ(Changed(before, SettledValues()), (Lanes{{0, lane}}));
        const int resetNl = PerPatternLane(kResetLaneOnPatternReset, 0, 0, lane);
        const double wasOn = PlainOf(resetNl);
        ClickAt(Skin(kResetNl));
        EXPECT_TRUE(Eventually([&] { return PlainOf(resetNl) != wasOn; })) << "its \"Reset nl on pattern reset\"";
    }
}

// The key area, pattern and lane a host chose while the window was closed are
// the ones the window shows and edits when it opens again.
TEST_F(ShownLaneTest, WhatTheHostChoseWhileTheWindowWasClosedIsWhatADragEdits) {
    static constexpr struct { int area, pattern, lane; } kRows[] = {{0, 0, 3}, {0, 6, 10}, {2, 4, 5}, {3, 11, 16}, {1, 2, 0}};
    for (const auto& row : kRows) {
        SCOPED_TRACE(std::to_string(row.area) + "/" + std::to_string(row.pattern) + "/" + std::to_string(row.lane));
        host->Dispatch(effEditClose);
        SetFromHost(kKeyAreaSelection, row.area);
        SetFromHost(kKeyAreaPatterns + row.area, row.pattern);
        if (row.lane < kFirstControllerLane)
            SetFromHost(kPatternStepMode, row.lane);
        else
            SetFromHost(kPatternCcSelection, row.lane - kFirstControllerLane);
        const AreaValues before = Values(row.area);
        ASSERT_TRUE(OpenAndDrawn());
        DrawAcross(kDrawnSteps);
        EXPECT_TRUE(Eventually([&] { return !Changed(before, Values(row.area)).empty(); })) << "nothing drawn";
        EXPECT_EQ(Changed(before, SettledValues(row.area)), (Lanes{{row.pattern, row.lane}}));
    }
}

// A lane chosen by its tab or by its control-zone key (12 for ORDER .. 20 for SEQ).
TEST_F(ShownLaneTest, OnlyTheShownLanesTabLooksSelected) {
    constexpr int kOrderKey = 12;
    static constexpr std::pair<int, bool> kChoices[] = {{3, false}, {9, false}, {0, false}, {12, false}, {5, true},
                                                        {16, false}, {8, true}, {10, false}, {2, true}};
    const std::vector<IRECT> tabs = Tabs();
    std::vector<uint64_t> unlit = UnlitLooks(tabs);  // ORDER is shown
    for (const auto& [lane, byKey] : kChoices) {
        SCOPED_TRACE(std::to_string(lane) + (byKey ? " by its key" : " by its tab"));
        if (byKey) {
            host->NoteOn(0, 1, kOrderKey + lane, 100);
            host->NoteOff(32, 1, kOrderKey + lane);
            host->ProcessBlock(64);
            EXPECT_EQ(std::lround(PlainOf(kPatternStepMode)), lane);
        } else {
            ClickTab(lane);
        }
        EXPECT_EQ(Lit(tabs, unlit, lane), std::set<int>{lane});
    }
}

// A tool on the lane and pattern chosen by clicks changes exactly those, and
// the view shows what it did; a drag after it edits the same lane.
TEST_F(ShownLaneTest, ToolsActOnTheShownLaneOfTheShownPattern) {
    enum class Tool { kRandomize, kClear, kCopyPaste };
    struct Row {
        const char* name;
        Tool tool;
        int button;   // its skin entry
        int pattern;  // the pattern it changes
        int lane;
        int source;  // the pattern copied from
    };
    static constexpr Row kRows[] = {
        {"Randomize", Tool::kRandomize, 131, 3, 3, 0},
        {"Clear tool", Tool::kClear, 134, 7, 11, 0},
        {"Copy tool, Paste tool", Tool::kCopyPaste, 133, 9, 7, 5},
        {"Randomize a CC lane", Tool::kRandomize, 131, 11, 16, 0},
    };
    constexpr int kCopyTool = 132;
    // Every lane of every pattern holds values unlike those of the others, so that a clear and a paste show.
    for (int pattern = 0; pattern < kPatternsPerArea; ++pattern)
        for (int lane = 0; lane < kAllLanes; ++lane)
            for (int step = 0; step < kSteps; ++step)
                host->SetParameter(StepValue(0, pattern, lane, step), 0.2f + 0.06f * float((pattern * 5 + step) % 11));
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        const AreaValues before = Values();
        if (row.tool == Tool::kCopyPaste) {
            ClickPattern(row.source);
            ClickTab(row.lane);
            ClickAt(Skin(kCopyTool));
        }
        ClickPattern(row.pattern);
        ClickTab(row.lane);
        const uint64_t shown = Settled(Skin(kView));
        ClickAt(Skin(row.button));
        const auto done = [&](const AreaValues& now) {
            int changed = 0;
            for (int step = kDrawnSteps; step < kSteps; ++step) {
                const float value = now[Slot(row.pattern, row.lane, step)];
                if (row.tool == Tool::kClear && PlainOf(StepValue(0, row.pattern, row.lane, step)) != 0.0) return false;
                if (row.tool == Tool::kCopyPaste && value != now[Slot(row.source, row.lane, step)]) return false;
                changed += value != before[Slot(row.pattern, row.lane, step)];
            }
            return changed > (kSteps - kDrawnSteps) / 2;
        };
        EXPECT_TRUE(Eventually([&] { return done(Values()); }));
        EXPECT_TRUE(Eventually([&] { return Shown(Skin(kView)) != shown; })) << "the view shows the tool's work";
        const float first = Values()[Slot(row.pattern, row.lane, 0)];
        DrawAcross(kDrawnSteps);
        EXPECT_TRUE(Eventually([&] { return Values()[Slot(row.pattern, row.lane, 0)] != first; })) << "drawn";
        EXPECT_EQ(Changed(before, SettledValues()), (Lanes{{row.pattern, row.lane}}));
    }
}

// The control zone's pattern keys and program changes, played while the
// editor is open, light the pattern they switch to.
TEST_F(ShownLaneTest, APatternSwitchedByTheControlZoneOrAProgramChangeLightsItsButton) {
    struct Row {
        const char* by;
        uint8_t status;
        int first;  // the note or program of pattern 1
        int pattern;
    };
    static constexpr Row kRows[] = {
        {"control-zone key", 0x90, 24, 5}, {"program change", 0xC0, 0, 11}, {"control-zone key", 0x90, 24, 0},
        {"control-zone key", 0x90, 24, 8}, {"program change", 0xC0, 0, 2},
    };
    const std::vector<IRECT> buttons = Buttons(kPatternButtons);
    std::vector<uint64_t> unlit = UnlitLooks(buttons);  // pattern 1 is shown
    for (const Row& row : kRows) {
        SCOPED_TRACE(std::string(row.by) + " " + std::to_string(row.pattern + 1));
        const auto data1 = static_cast<uint8_t>(row.first + row.pattern);
        host->QueueMidi(0, row.status, data1, row.status == 0x90 ? 100 : 0);
        host->ProcessBlock(64);
        if (row.status == 0x90) host->NoteOff(0, 1, data1);
        host->ProcessBlock(64);
        EXPECT_EQ(std::lround(PlainOf(kKeyAreaPatterns)), row.pattern);
        EXPECT_EQ(Lit(buttons, unlit, row.pattern), std::set<int>{row.pattern});
    }
}

}  // namespace
}  // namespace sorel::test
