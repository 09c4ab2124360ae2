// Sorel's editor in a real window under a private Xvfb, opened by the
// editor opcodes as a host opens it: xdotool's clicks, menus and typing
// change parameters and files, its keys go on to the host, and it opens and
// closes again and again, even after its parent is gone.
#include "EditorFixture.h"
#include "editor/Skin.h"
#include "engine/ParameterIndex.h"
#include "engine/Step.h"
#include "resources/Resources.h"
#include "support/XvfbServer.h"

// After gtest, whose names Xlib's macros would replace.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <chrono>
#include <filesystem>
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
        parent_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1000, 565, 0, 0, 0);
        XMapWindow(display_, parent_);
        XSync(display_, False);
    }
    void TearDown() override {
        if (host) host->Dispatch(effEditClose);
        if (display_) XCloseDisplay(display_);
    }
    bool OpenEditor() { return host->Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent_)) == 1; }
    ::Window EditorWindow() {
        ::Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree(display_, parent_, &root, &parent, &children, &count);
        const ::Window child = count > 0 ? children[0] : 0;
        XFree(children);
        return child;
    }
    // A fingerprint of what the editor's window shows in a rectangle (0 when unreadable); black is not drawn.
    uint64_t Shown(const IRECT& r) {
        XImage* image = XGetImage(display_, EditorWindow(), r.L, r.T, r.W(), r.H(), AllPlanes, ZPixmap);
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

    Display* display_ = nullptr;
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

TEST_F(EditorWindowTest, AKnobLearnsAControllerFromItsMenuAndTurnsWithIt) {
    ASSERT_TRUE(OpenAndDrawn());
    const IRECT knob = Skin(0);
    const uint64_t before = Shown(knob);
    ASSERT_TRUE(Xdotool(knob.L + 28, knob.T + 28, "click 3 sleep 0.3 key Down Return"));
    ASSERT_TRUE(Eventually([&] {
        std::lock_guard<std::recursive_mutex> lock(vardo->Mutex());
        return vardo->Learn().LearnTarget() == kGate;
    })) << "\"MIDI learn\" chosen";
    host->Controller(0, 1, 20, 127);
    host->ProcessBlock(64);
    EXPECT_EQ(host->GetParameter(kGate), 1.0f);
    EXPECT_TRUE(Eventually([&] { return Shown(knob) != before; })) << "the knob turned on screen";
    EXPECT_TRUE(ClosedShowingWhatWasDrawn({0, 0, 1000, 565}));
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

}  // namespace
}  // namespace sorel::test
