// Sorel's editor in a real window under a private Xvfb, opened by the
// editor opcodes as a host opens it: xdotool's clicks and drags change
// parameters that the host reads, and it opens and closes again and again,
// even after its parent is gone.
#include "EditorFixture.h"
#include "engine/ParameterIndex.h"
#include "support/XvfbServer.h"

// After gtest, whose names Xlib's macros would replace.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <filesystem>
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
    IColor ShownAt(::Window window, int x, int y) {
        XImage* image = XGetImage(display_, window, x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image) return COLOR_TRANSPARENT;
        const unsigned long pixel = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return {255, int(pixel >> 16 & 0xFF), int(pixel >> 8 & 0xFF), int(pixel & 0xFF)};
    }
    template <typename Condition>
    static bool Eventually(Condition condition) {
        for (auto end = std::chrono::steady_clock::now() + 10s; std::chrono::steady_clock::now() < end;
             std::this_thread::sleep_for(20ms))
            if (condition()) return true;
        return false;
    }
    std::string On(::Window window) const { return "--window " + std::to_string(window) + " "; }
    std::string At(::Window window, int x, int y) const {
        return "mousemove " + On(window) + std::to_string(x) + " " + std::to_string(y) + " ";
    }
    // A fingerprint of what the window shows in a rectangle.
    uint64_t ShownPixels(::Window window, const IRECT& r) {
        XImage* image = XGetImage(display_, window, r.L, r.T, r.W(), r.H(), AllPlanes, ZPixmap);
        if (!image) return 0;
        uint64_t hash = 1469598103934665603ull;
        for (int y = 0; y < r.H(); ++y)
            for (int x = 0; x < r.W(); ++x) hash = (hash ^ XGetPixel(image, x, y)) * 1099511628211ull;
        XDestroyImage(image);
        return hash;
    }
    ::Window OpenAndDrawn() {
        if (!OpenEditor()) return 0;
        const ::Window window = EditorWindow();
        const IRECT grid = Skin(36);
        Eventually([&] { return ShownAt(window, grid.L + 5, grid.T + 5) != IColor{255, 0, 0, 0}; });
        return window;
    }

    Display* display_ = nullptr;
    ::Window parent_ = 0;
};

TEST_F(EditorWindowTest, ARampDrawnAcrossTheGateLaneGivesIncreasingSteps) {
    constexpr int kGateLane = 3;
    const ::Window window = OpenAndDrawn();
    ASSERT_NE(window, 0u);
    const IRECT grid = Skin(36), laneButton = Skin(69);
    const int buttonX = laneButton.L + 64 * kGateLane + 30, buttonY = laneButton.T + 7;
    const IColor unselected = ShownAt(window, buttonX, buttonY);
    SetFromHost(kPatternStepMode, kGateLane);
    ASSERT_TRUE(Eventually([&] { return ShownAt(window, buttonX, buttonY) != unselected; })) << "the Gate lane is shown";
    std::string drag;
    for (int step = 0; step < kSteps; ++step) {
        const int x = grid.L + 1 + 24 * step + 10, y = grid.B - 4 - 3 * step;
        drag += "mousemove " + On(window) + std::to_string(x) + " " + std::to_string(y) + (step == 0 ? " mousedown 1 " : " ");
    }
    ASSERT_TRUE(XvfbServer::Instance().Xdotool(drag + "mouseup 1"));
    const auto gate = [&](int step) { return host->GetParameter(StepValue(0, 0, kGateLane, step)); };
    EXPECT_TRUE(Eventually([&] {
        for (int step = 1; step < kSteps; ++step)
            if (!(gate(step) > gate(step - 1))) return false;
        return true;
    })) << gate(0) << " .. " << gate(kSteps - 1);
    // Played, the ramp's notes grow longer step by step.
    EXPECT_EQ(host->Dispatch(effEditClose), 1);
    constexpr int kBlock = 512;
    host->transport.playing = true;
    host->NoteOn(0, 1, 48, 100);  // a key of the first key area
    std::vector<long> lengths;
    long startedAt = -1;
    for (int block = 0; block < 4000 && lengths.size() < kSteps; ++block) {
        host->ClearSent();
        host->ProcessBlock(kBlock);
        for (const SentMidi& m : host->Sent()) {
            const long at = static_cast<long>(block) * kBlock + m.offset;
            if (m.IsNoteOn()) startedAt = at;
            if (m.IsNoteOff() && startedAt >= 0) {
                lengths.push_back(at - startedAt);
                startedAt = -1;
            }
        }
    }
    ASSERT_EQ(lengths.size(), static_cast<std::size_t>(kSteps));
    // Up to the middle of the ramp each note still ends before the next one starts.
    constexpr int kShortNotes = kSteps / 2;
    for (int step = 1; step < kShortNotes; ++step) EXPECT_GE(lengths[step], lengths[step - 1]) << step;
    EXPECT_GT(lengths[kShortNotes - 1], 2 * lengths.front());
}

// "Double size editor" switched in an open window: twice the pixels at once
// where the host lets the window grow; elsewhere only from the next open.
TEST_F(EditorWindowTest, TheDoubleSizeSwitchGrowsTheWindowWhereTheHostLetsIt) {
    for (const bool accepts : {true, false}) {
        SCOPED_TRACE(accepts);
        host->acceptsEditorSize = accepts;
        vardo->SetGuiScale(1);
        ASSERT_TRUE(OpenEditor());
        const ::Window window = EditorWindow();
        const IRECT settings = Skin(141), panel = Skin(163);
        constexpr int kDoubleSizeRow = 8;
        const auto at = [&](int x, int y) { return "mousemove " + On(window) + std::to_string(x) + " " + std::to_string(y); };
        ASSERT_TRUE(Eventually([&] { return ShownAt(window, settings.L + 3, settings.T + 3) != IColor{255, 0, 0, 0}; }));
        const int rowX = panel.L + 8, rowY = panel.T + 30 * kDoubleSizeRow + 5;
        const int fillX = panel.L + 150, fillY = panel.T + 3;
        const IColor underPanel = ShownAt(window, fillX, fillY);
        ASSERT_TRUE(XvfbServer::Instance().Xdotool(at(settings.L + 3, settings.T + 3) + " click 1"));
        // A loaded machine may take a while to draw the panel; click its row only once it shows.
        ASSERT_TRUE(Eventually([&] { return ShownAt(window, fillX, fillY) != underPanel; }));
        ASSERT_TRUE(XvfbServer::Instance().Xdotool(at(rowX, rowY) + " click 1"));
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
        const IColor title = ShownAt(EditorWindow(), titleX, titleY);
        ASSERT_TRUE(XvfbServer::Instance().Xdotool(at(titleX, titleY) + " click 1"));
        EXPECT_TRUE(Eventually([&] { return ShownAt(EditorWindow(), titleX, titleY) != title; }));
        EXPECT_EQ(host->Dispatch(effEditClose), 1);
    }
}

TEST_F(EditorWindowTest, OpensAndClosesAgainAndSurvivesItsParentGoingFirst) {
    constexpr int kTimes = 100;
    for (int i = 0; i < kTimes; ++i) {
        ASSERT_TRUE(OpenEditor()) << i;
        EXPECT_EQ(host->Dispatch(effEditClose), 1);
    }
    ASSERT_TRUE(OpenEditor());
    XDestroyWindow(display_, parent_);
    XSync(display_, False);
    EXPECT_EQ(host->Dispatch(effEditClose), 1);
    host->SetParameter(kGate, 0.75f);  // the plug-in goes on as before
    EXPECT_FLOAT_EQ(host->GetParameter(kGate), 0.75f);
}

TEST_F(EditorWindowTest, AKnobLearnsAControllerFromItsMenuAndTurnsWithIt) {
    const ::Window window = OpenAndDrawn();
    ASSERT_NE(window, 0u);
    const IRECT knob = Skin(0);
    const uint64_t before = ShownPixels(window, knob);
    ASSERT_TRUE(XvfbServer::Instance().Xdotool(At(window, knob.L + 28, knob.T + 28) + "click 3 sleep 0.3 key Down Return"));
    ASSERT_TRUE(Eventually([&] {
        std::lock_guard<std::recursive_mutex> lock(vardo->Mutex());
        return vardo->Learn().LearnTarget() == kGate;
    })) << "\"MIDI learn\" chosen";
    host->Controller(0, 1, 20, 127);
    host->ProcessBlock(64);
    EXPECT_EQ(host->GetParameter(kGate), 1.0f);
    EXPECT_TRUE(Eventually([&] { return ShownPixels(window, knob) != before; })) << "the knob turned on screen";
}

TEST_F(EditorWindowTest, APresetSavedThroughMenuAndTextFieldsLoadsBackThroughTheBrowser) {
    const ::Window window = OpenAndDrawn();
    ASSERT_NE(window, 0u);
    const IRECT box = Skin(138);
    const std::string openBox = At(window, box.L + 10, box.T + 5) + "click 1 sleep 0.3 ";
    host->SetParameter(kGate, 0.8f);
    // "Save preset" is the last item; then name, author, description, usage and the style "2 lead".
    ASSERT_TRUE(XvfbServer::Instance().Xdotool(openBox +
                                               "key Up Return sleep 0.3 type --args 1 -- 'Night Bass' key Return "
                                               "sleep 0.3 type --args 1 -- Rin key Return sleep 0.3 key Return sleep 0.3 "
                                               "key Return sleep 0.3 key Down Down Return"));
    const std::string file = home.SorelFolder() + "presets/User/2 lead/Night Bass.v2z";
    ASSERT_TRUE(Eventually([&] { return std::filesystem::exists(file); })) << file;
    host->SetParameter(kGate, 0.1f);
    // Init, Factory, User; its second style; its first file.
    ASSERT_TRUE(XvfbServer::Instance().Xdotool(openBox + "key Down Down Down Right Down Right Return"));
    EXPECT_TRUE(Eventually([&] { return host->GetParameter(kGate) == 0.8f; })) << host->GetParameter(kGate);
}

}  // namespace
}  // namespace sorel::test
