// Sorel's LV2 UI loaded as a host loads it: the plug-in and the UI opened
// with dlopen, the UI made on the host's own UI thread inside a parent
// window of a private Xvfb, with instance-access, ui:resize and ui:touch,
// and idled 30 times a second. Real drags on a knob bound to a control port
// reach the host through the write function, between touches, and show on
// screen; the window shows itself again when the host moves it; the UI
// closes and opens again.
#include "frame/HostParameters.h"
#include "support/XvfbServer.h"

#include <gtest/gtest.h>
#include <dlfcn.h>
#include <lv2/core/lv2.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

// After gtest, whose names Xlib's macros would replace.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sorel::test {
namespace {

using namespace std::chrono_literals;
using sorel::testing::XvfbServer;

constexpr uint32_t kFirstControlPort = 2;  // after the MIDI input and output
constexpr int kEditorWidth = 1000, kEditorHeight = 565;
constexpr auto kIdleInterval = 33ms;

template <typename Condition>
bool Eventually(Condition condition) {
    for (auto end = std::chrono::steady_clock::now() + 10s; std::chrono::steady_clock::now() < end;
         std::this_thread::sleep_for(20ms))
        if (condition()) return true;
    return false;
}

// The rectangle of a skin entry, by its name in the skin file.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
};
Rect SkinRect(const std::string& entry) {
    std::ifstream skin(std::string(std::getenv("SOREL_SOURCE_DIR")) + "/resources/skin/Sorel.skin");
    Rect r;
    for (std::string line; std::getline(skin, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();  // the skin file's line ends
        if (line == "// " + entry && skin >> r.left >> r.top >> r.right >> r.bottom) return r;
    }
    ADD_FAILURE() << "no skin entry " << entry;
    return r;
}

int HostIndexNamed(const std::string& name) {
    for (int i = 0; i < HostParameters::kCount; ++i)
        if (HostParameters::Get().Name(i) == name) return i;
    return -1;
}

// What the UI called on the host, in order.
struct HostCall {
    enum Kind { Write, TouchOn, TouchOff, Resize } kind;
    uint32_t port;
    float value;  // Write: the value; Resize: the width
    int height;   // Resize
    bool onUiThread = true;  // called on the thread the host made the UI on
};

// The host: the plug-in instance, and the UI on a thread of its own, as
// hosts run their UI thread beside the one that runs the tests' clicks.
class Lv2Host {
public:
    Lv2Host() {
        plugin_ = dlopen(std::getenv("SOREL_LV2_PLUGIN"), RTLD_NOW | RTLD_LOCAL);
        ui_ = dlopen(std::getenv("SOREL_LV2_UI"), RTLD_NOW | RTLD_LOCAL);
        if (!plugin_ || !ui_) return;
        using PluginEntry = const LV2_Descriptor* (*)(uint32_t);
        using UiEntry = const LV2UI_Descriptor* (*)(uint32_t);
        pluginDescriptor_ = reinterpret_cast<PluginEntry>(dlsym(plugin_, "lv2_descriptor"))(0);
        uiDescriptor_ = reinterpret_cast<UiEntry>(dlsym(ui_, "lv2ui_descriptor"))(0);
        const LV2_Feature* features[] = {&mapFeature_, nullptr};
        instance_ = pluginDescriptor_->instantiate(pluginDescriptor_, 48000, "", features);
    }
    ~Lv2Host() {
        CloseUi();
        if (instance_) pluginDescriptor_->cleanup(instance_);
        if (ui_) dlclose(ui_);
        if (plugin_) dlclose(plugin_);
    }
    bool Loaded() const { return instance_ && uiDescriptor_; }
    const LV2UI_Descriptor& UiDescriptor() const { return *uiDescriptor_; }

    // Makes the UI on its thread inside `parent`; false when instantiate gave none.
    bool OpenUi(::Window parent, bool withResize = true) {
        std::promise<bool> made;
        auto madeFuture = made.get_future();
        stop_ = false;
        uiThread_ = std::thread([this, parent, withResize, made = std::move(made)]() mutable {
            RunUi(parent, withResize, made);
        });
        if (madeFuture.get()) return true;
        uiThread_.join();
        return false;
    }
    void CloseUi() {
        stop_ = true;
        if (uiThread_.joinable()) uiThread_.join();
    }
    ::Window Widget() const { return widget_.load(); }
    std::vector<HostCall> Calls() {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }
    void ClearCalls() {
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.clear();
    }

private:
    void RunUi(::Window parent, bool withResize, std::promise<bool>& made) {
        uiThreadId_ = std::this_thread::get_id();
        LV2UI_Resize resize{this, &Lv2Host::UiResize};
        LV2UI_Touch touch{this, &Lv2Host::Touch};
        const LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(parent)};
        const LV2_Feature instanceFeature{LV2_INSTANCE_ACCESS_URI, instance_};
        const LV2_Feature resizeFeature{LV2_UI__resize, &resize};
        const LV2_Feature touchFeature{LV2_UI__touch, &touch};
        const LV2_Feature* features[] = {&mapFeature_, &parentFeature, &instanceFeature, &touchFeature,
                                         withResize ? &resizeFeature : nullptr, nullptr};
        LV2UI_Widget widget = nullptr;
        LV2UI_Handle ui = uiDescriptor_->instantiate(uiDescriptor_, pluginDescriptor_->URI, "", &Lv2Host::Write,
                                                     this, &widget, features);
        widget_ = reinterpret_cast<uintptr_t>(widget);
        made.set_value(ui != nullptr);
        if (!ui) return;
        const auto* idle = static_cast<const LV2UI_Idle_Interface*>(uiDescriptor_->extension_data(LV2_UI__idleInterface));
        while (!stop_) {
            if (idle) idle->idle(ui);
            std::this_thread::sleep_for(kIdleInterval);
        }
        uiDescriptor_->cleanup(ui);
        widget_ = 0;
    }
    void Record(HostCall call) {
        call.onUiThread = std::this_thread::get_id() == uiThreadId_.load();
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.push_back(call);
    }
    static void Write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t protocol, const void* buffer) {
        auto* host = static_cast<Lv2Host*>(controller);
        // Only plain float values are written to control ports.
        if (size != sizeof(float) || protocol != 0) return host->Record({HostCall::Write, port, -1e9f, 0});
        host->Record({HostCall::Write, port, *static_cast<const float*>(buffer), 0});
    }
    static void Touch(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed) {
        static_cast<Lv2Host*>(handle)->Record({grabbed ? HostCall::TouchOn : HostCall::TouchOff, port, 0, 0});
    }
    static int UiResize(LV2UI_Feature_Handle handle, int width, int height) {
        static_cast<Lv2Host*>(handle)->Record({HostCall::Resize, 0, float(width), height});
        return 0;
    }
    static LV2_URID Map(LV2_URID_Map_Handle handle, const char* uri) {
        auto& uris = *static_cast<std::vector<std::string>*>(handle);
        const auto found = std::find(uris.begin(), uris.end(), uri);
        if (found != uris.end()) return LV2_URID(found - uris.begin() + 1);
        uris.emplace_back(uri);
        return LV2_URID(uris.size());
    }

    void* plugin_ = nullptr;
    void* ui_ = nullptr;
    const LV2_Descriptor* pluginDescriptor_ = nullptr;
    const LV2UI_Descriptor* uiDescriptor_ = nullptr;
    std::vector<std::string> uris_;
    LV2_URID_Map map_{&uris_, &Lv2Host::Map};
    const LV2_Feature mapFeature_{LV2_URID__map, &map_};
    LV2_Handle instance_ = nullptr;
    std::thread uiThread_;
    std::atomic<std::thread::id> uiThreadId_{};
    std::atomic<bool> stop_{false};
    std::atomic<uintptr_t> widget_{0};
    std::mutex mutex_;
    std::vector<HostCall> calls_;
};

class Lv2UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!XvfbServer::Instance().Running()) GTEST_SKIP() << "no X server could be started";
        ASSERT_TRUE(host.Loaded()) << dlerror();
        display_ = XOpenDisplay(XvfbServer::Instance().Display().c_str());
        ASSERT_NE(display_, nullptr);
        parent_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, kEditorWidth, kEditorHeight, 0, 0, 0);
        XMapWindow(display_, parent_);
        XSync(display_, False);
    }
    void TearDown() override {
        host.CloseUi();
        if (display_) XCloseDisplay(display_);
    }
    // A fingerprint of what the editor's window shows in a rectangle; 0 when unreadable.
    uint64_t Shown(const Rect& r) {
        XImage* image = XGetImage(display_, host.Widget(), r.left, r.top, unsigned(r.right - r.left),
                                  unsigned(r.bottom - r.top), AllPlanes, ZPixmap);
        if (!image) return 0;
        uint64_t hash = 1469598103934665603ull;
        for (int y = 0; y < image->height; ++y)
            for (int x = 0; x < image->width; ++x) hash = (hash ^ XGetPixel(image, x, y)) * 1099511628211ull;
        XDestroyImage(image);
        return hash;
    }
    uint64_t Black(const Rect& r) {
        XSetForeground(display_, DefaultGC(display_, DefaultScreen(display_)), 0);
        XFillRectangle(display_, host.Widget(), DefaultGC(display_, DefaultScreen(display_)), r.left, r.top,
                       unsigned(r.right - r.left), unsigned(r.bottom - r.top));
        XSync(display_, False);
        return Shown(r);
    }
    // Open, and the gate knob drawn (not black).
    bool OpenAndDrawn() {
        if (!host.OpenUi(parent_) || !host.Widget()) return false;
        const Rect knob = SkinRect("knob_gate");
        return Eventually([&] { return PixelAt(knob.left + 28, knob.top + 5) != kBlack; });
    }
    static constexpr unsigned long kBlack = 0;
    unsigned long PixelAt(int x, int y) {
        XImage* image = XGetImage(display_, host.Widget(), x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image) return kBlack;
        const unsigned long pixel = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return pixel;
    }
    bool Drag(const Rect& knob, int dy) {
        const std::string move = " sleep 0.1 mousemove_relative 0 " + std::to_string(dy / 2);
        return XvfbServer::Instance().Xdotool("mousemove --window " + std::to_string(host.Widget()) + " " +
                                              std::to_string(knob.left + 28) + " " + std::to_string(knob.top + 28) +
                                              " mousedown 1" + move + move + " sleep 0.1 mouseup 1");
    }
    // The host's calls about one port from its touch on, once the touch ended (values
    // that changed without the host may be written again before it).
    std::vector<HostCall> GestureOn(uint32_t port) {
        std::vector<HostCall> seen;
        Eventually([&] {
            seen.clear();
            for (const HostCall& c : host.Calls())
                if (c.port == port && c.kind != HostCall::Resize && (!seen.empty() || c.kind == HostCall::TouchOn))
                    seen.push_back(c);
            return !seen.empty() && seen.back().kind == HostCall::TouchOff;
        });
        return seen;
    }
    // The value the host's port holds after every write so far.
    float PortValue(uint32_t port) {
        float value = -1e9f;
        for (const HostCall& c : host.Calls())
            if (c.kind == HostCall::Write && c.port == port) value = c.value;
        return value;
    }

    Lv2Host host;
    Display* display_ = nullptr;
    ::Window parent_ = 0;
};

TEST_F(Lv2UiTest, TheEditorOpensInTheParentAsksItsSizeAndTellsEveryPortItsValue) {
    ASSERT_TRUE(OpenAndDrawn());
    XWindowAttributes a{};
    ASSERT_TRUE(XGetWindowAttributes(display_, host.Widget(), &a));
    EXPECT_EQ(std::pair(a.width, a.height), std::pair(kEditorWidth, kEditorHeight));
    EXPECT_EQ(sorel::testing::FirstChildWindow(display_, parent_), host.Widget()) << "the widget is the parent's child";
    ASSERT_TRUE(Eventually([&] { return host.Calls().size() >= 1 + HostParameters::kCount; }));
    const std::vector<HostCall> calls = host.Calls();
    EXPECT_EQ(calls.front().kind, HostCall::Resize);
    EXPECT_EQ(std::pair(int(calls.front().value), calls.front().height), std::pair(kEditorWidth, kEditorHeight));
    for (int i = 0; i < HostParameters::kCount; ++i) {
        const HostCall& write = calls[size_t(1 + i)];
        EXPECT_EQ(std::tuple(write.kind, write.port), std::tuple(HostCall::Write, kFirstControlPort + uint32_t(i))) << i;
        EXPECT_GT(write.value, -1e9f) << "a float written as a float " << i;
    }
}

// Dragged up it rises, dragged down it falls: each gesture is the port's
// touch, its values, and the touch's end; a UI opened again reads the last
// value back from the plug-in, and the knob shows it.
TEST_F(Lv2UiTest, AKnobDragReachesTheHostAsTouchValuesAndReleaseAndShowsOnScreen) {
    const Rect knob = SkinRect("knob_gate");
    const uint32_t port = kFirstControlPort + uint32_t(HostIndexNamed("Area 1 gate"));
    ASSERT_GE(port, kFirstControlPort);
    const struct { const char* name; int dy; bool rises; } drags[] = {{"up", -40, true}, {"down", 60, false}};
    for (const auto& drag : drags) {
        SCOPED_TRACE(drag.name);
        ASSERT_TRUE(OpenAndDrawn());
        ASSERT_TRUE(Eventually([&] { return PortValue(port) > -1e9f; }));
        const float before = PortValue(port);
        const uint64_t shownBefore = Shown(knob);
        host.ClearCalls();
        ASSERT_TRUE(Drag(knob, drag.dy));
        const std::vector<HostCall> gesture = GestureOn(port);
        ASSERT_GE(gesture.size(), 3u);
        EXPECT_EQ(gesture.front().kind, HostCall::TouchOn);
        for (size_t i = 1; i + 1 < gesture.size(); ++i) EXPECT_EQ(gesture[i].kind, HostCall::Write) << i;
        const float after = PortValue(port);
        EXPECT_EQ(after > before, drag.rises) << before << " -> " << after;
        EXPECT_NE(after, before);
        EXPECT_TRUE(Eventually([&] { return Shown(knob) != shownBefore; })) << "the knob turned on screen";
        host.CloseUi();
        host.ClearCalls();
        ASSERT_TRUE(OpenAndDrawn());
        ASSERT_TRUE(Eventually([&] { return PortValue(port) > -1e9f; }));
        EXPECT_EQ(PortValue(port), after) << "the plug-in holds what the drag wrote";
        host.CloseUi();
    }
}

// The host moves or sizes the window after its own layout: the editor
// shows all of itself again, though nothing of it was exposed.
TEST_F(Lv2UiTest, TheWindowShowsItselfAgainWhenTheHostMovesIt) {
    ASSERT_TRUE(OpenAndDrawn());
    const Rect area{0, 0, kEditorWidth - 2, kEditorHeight};
    uint64_t drawn = Shown(area);
    ASSERT_TRUE(Eventually([&] {
        const uint64_t before = std::exchange(drawn, Shown(area));
        return before == drawn;
    })) << "the editor holds still";
    const uint64_t black = Black(area);
    ASSERT_NE(drawn, black);
    XMoveWindow(display_, host.Widget(), 1, 0);  // moved, its pixels go with it: nothing of it is exposed
    XSync(display_, False);
    EXPECT_TRUE(Eventually([&] { return Shown(area) == drawn; }));
}

// "Double size editor" switched in the settings panel: the host is asked
// for twice the size, and back, from its own UI thread; the window follows.
TEST_F(Lv2UiTest, TheDoubleSizeSwitchAsksTheHostForTheSizeFromItsUiThread) {
    ASSERT_TRUE(OpenAndDrawn());
    const Rect settings = SkinRect("button_box_settings"), panel = SkinRect("settings_box");
    const int rowX = panel.left + 8, lastRowY = panel.top + 30 * 8 + 5;
    const Rect panelTitle{panel.left + 150, panel.top + 3, panel.left + 151, panel.top + 4};
    const uint64_t underPanel = Shown(panelTitle);
    const auto click = [&](int x, int y) {
        return XvfbServer::Instance().Xdotool("mousemove --window " + std::to_string(host.Widget()) + " " +
                                              std::to_string(x) + " " + std::to_string(y) + " click 1");
    };
    ASSERT_TRUE(click(settings.left + 3, settings.top + 3));
    ASSERT_TRUE(Eventually([&] { return Shown(panelTitle) != underPanel; }));
    const auto width = [&] {
        XWindowAttributes a{};
        XGetWindowAttributes(display_, host.Widget(), &a);
        return a.width;
    };
    for (const int scale : {2, 1}) {
        SCOPED_TRACE(scale);
        host.ClearCalls();
        // The panel's last row, where the window shows it at the scale it has.
        ASSERT_TRUE(click(rowX * (3 - scale), lastRowY * (3 - scale)));
        std::vector<HostCall> resizes;
        const auto askedLast = [&] {
            resizes.clear();
            for (const HostCall& c : host.Calls())
                if (c.kind == HostCall::Resize) resizes.push_back(c);
            return resizes.empty() ? std::pair(0, 0) : std::pair(int(resizes.back().value), resizes.back().height);
        };
        EXPECT_TRUE(Eventually([&] {
            return askedLast() == std::pair(kEditorWidth * scale, kEditorHeight * scale) && width() == kEditorWidth * scale;
        })) << width();
        // What the editor's thread asked reaches the host after it settled, from the host's own thread.
        std::this_thread::sleep_for(200ms);
        EXPECT_EQ(askedLast(), std::pair(kEditorWidth * scale, kEditorHeight * scale));
        for (const HostCall& c : resizes) EXPECT_TRUE(c.onUiThread) << "never from the editor's thread";
        XResizeWindow(display_, parent_, unsigned(kEditorWidth * scale), unsigned(kEditorHeight * scale));  // as the host sizes its frame
        XSync(display_, False);
    }
}

// Opened and closed again and again, with and without ui:resize; without
// instance-access or a parent there is no UI.
TEST_F(Lv2UiTest, OpensAndClosesAgainAndAgainAndNeedsTheInstanceAndAParent) {
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        host.ClearCalls();
        ASSERT_TRUE(host.OpenUi(parent_, round % 2 == 0));
        EXPECT_TRUE(Eventually([&] { return host.Calls().size() >= size_t(HostParameters::kCount); }));
        const auto calls = host.Calls();
        EXPECT_EQ(std::ranges::count(calls, HostCall::Resize, &HostCall::kind), round % 2 == 0 ? 1 : 0);
        host.CloseUi();
        EXPECT_EQ(sorel::testing::FirstChildWindow(display_, parent_), 0ul) << "the window went with the UI";
    }
    const LV2UI_Descriptor& ui = host.UiDescriptor();
    LV2UI_Widget widget = nullptr;
    const LV2_Feature parentOnly{LV2_UI__parent, reinterpret_cast<void*>(parent_)};
    const LV2_Feature* features[] = {&parentOnly, nullptr};
    EXPECT_EQ(ui.instantiate(&ui, "https://vardo.example/plugins/sorel", "", nullptr, nullptr, &widget, features), nullptr);
    EXPECT_EQ(ui.instantiate(&ui, "https://vardo.example/plugins/other", "", nullptr, nullptr, &widget, nullptr), nullptr);
    EXPECT_EQ(ui.extension_data(LV2_UI__showInterface), nullptr);
}

}  // namespace
}  // namespace sorel::test
