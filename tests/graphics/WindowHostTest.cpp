// The X11 window host under a private Xvfb: what the window shows, and the
// mouse, keys, menus and text entry that xdotool sends, as the client hears them.
#include "graphics/IGraphics.h"
#include "graphics/WindowClient.h"
#include "graphics/WindowHost.h"
#include "support/XvfbServer.h"

#include <gtest/gtest.h>
// After gtest, whose names Xlib's macros would replace.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <thread>

namespace sorel {
namespace {

using namespace std::chrono_literals;
using testing::XvfbServer;

constexpr int kWidth = 200, kHeight = 120;
constexpr IColor kQuadrants[] = {{255, 200, 30, 30}, {255, 30, 200, 30}, {255, 30, 30, 200}, {255, 220, 220, 40}};

std::string Mods(const IMouseMod& m) {
    std::string s;
    for (auto [on, letter] : {std::pair{m.L, 'L'}, {m.R, 'R'}, {m.S, 'S'}, {m.C, 'C'}, {m.A, 'A'}})
        if (on) s += letter;
    return s;
}

// Draws four coloured quadrants (device pixels) and records every call as a line of text.
class RecordingClient : public WindowClient {
public:
    explicit RecordingClient(int scale) : canvas_(kWidth * scale, kHeight * scale), scale_(scale) {
        for (int q = 0; q < 4; ++q)
            canvas_.FillIRect(kQuadrants[q], Device({q % 2 * kWidth / 2, q / 2 * kHeight / 2,
                                                     (q % 2 + 1) * kWidth / 2, (q / 2 + 1) * kHeight / 2}));
    }
    WindowHost* host = nullptr;
    std::function<void(WindowHost&, int, int)> onDown;  // set before the window opens
    std::function<bool(WindowHost&, int)> onKey;
    IRECT dirty;
    std::mutex mutex;

    void OnMouseDown(int x, int y, const IMouseMod& m) override {
        Log("down " + Point(x, y) + Mods(m));
        if (onDown) onDown(*host, x, y);
    }
    void OnMouseUp(int x, int y, const IMouseMod& m) override { Log("up " + Point(x, y) + Mods(m)); }
    void OnMouseDrag(int x, int y, int dx, int dy, const IMouseMod& m) override {
        dragged_[0] += dx;
        dragged_[1] += dy;
        Log("drag " + Point(x, y) + Mods(m) + " total " + std::to_string(dragged_[0]) + "," + std::to_string(dragged_[1]));
    }
    bool OnMouseDblClick(int x, int y, const IMouseMod& m) override { return Log("dbl " + Point(x, y) + Mods(m)); }
    bool OnMouseOver(int, int, const IMouseMod&) override { return true; }
    void OnMouseOut() override { Log("out"); }
    void OnMouseWheel(int x, int y, const IMouseMod& m, int n) override {
        Log("wheel " + Point(x, y) + Mods(m) + " " + std::to_string(n));
    }
    bool OnKeyDown(int, int, int key) override {
        const bool used = onKey ? onKey(*host, key) : true;
        Log("key " + std::to_string(key));
        return used;
    }
    void OnTimer() override {}
    IRECT DirtyArea() override {
        std::lock_guard guard(mutex);
        return std::exchange(dirty, IRECT{});
    }
    void DrawArea(const IRECT& area) override {
        std::lock_guard guard(mutex);
        canvas_.FillIRect(COLOR_WHITE, Device(area.Intersect(dirtyShown_)));
    }
    IGraphics& Canvas() override { return canvas_; }
    void OnTextEntryDone(bool committed, const std::string& text) override {
        Log((committed ? "commit " : "cancel ") + text);
    }

    // Paints the area white at the next tick.
    void MakeDirty(const IRECT& area) {
        std::lock_guard guard(mutex);
        dirty = dirtyShown_ = area;
    }
    // Waits for a recorded line that begins with `prefix`; returns it, or "" after two seconds.
    std::string WaitFor(const std::string& prefix) {
        std::unique_lock lock(mutex);
        std::string found;
        changed_.wait_for(lock, 2s, [&] {
            for (const std::string& line : log_)
                if (line.rfind(prefix, 0) == 0) return !(found = line).empty();
            return false;
        });
        return found;
    }
    std::vector<std::string> TakeLog() {
        std::lock_guard guard(mutex);
        return std::exchange(log_, {});
    }

    bool Log(std::string line) {
        std::lock_guard guard(mutex);
        log_.push_back(std::move(line));
        changed_.notify_all();
        return true;
    }
private:
    static std::string Point(int x, int y) { return std::to_string(x) + "," + std::to_string(y) + " "; }
    IRECT Device(const IRECT& r) const { return {r.L * scale_, r.T * scale_, r.R * scale_, r.B * scale_}; }

    IGraphics canvas_;
    int scale_;
    int dragged_[2] = {};
    IRECT dirtyShown_;
    std::condition_variable changed_;
    std::vector<std::string> log_;
};

class WindowHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!XvfbServer::Instance().Running()) GTEST_SKIP() << "no X server could be started";
        display_ = XOpenDisplay(XvfbServer::Instance().Display().c_str());
        ASSERT_NE(display_, nullptr);
        XSetWindowAttributes attributes{};
        attributes.event_mask = KeyPressMask;
        parent_ = XCreateWindow(display_, DefaultRootWindow(display_), 0, 0, 2 * kWidth, 2 * kHeight, 0,
                                CopyFromParent, InputOutput, CopyFromParent, CWEventMask, &attributes);
        XMapWindow(display_, parent_);
        XSync(display_, False);
    }
    void TearDown() override {
        if (!display_) return;
        host_.reset();
        XCloseDisplay(display_);
    }
    WindowHost& Open(RecordingClient& client, int scale = 1) {
        host_ = std::make_unique<WindowHost>(client, [this](int w, int h) { return sizeAsked_ = {w, h}, true; });
        client.host = host_.get();
        EXPECT_TRUE(host_->Open(parent_, kWidth, kHeight, scale));
        return *host_;
    }
    IColor ShownAt(int x, int y) {
        XImage* image = XGetImage(display_, ::Window(host_->WindowId()), x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image) return COLOR_TRANSPARENT;
        const unsigned long pixel = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return {255, int(pixel >> 16 & 0xFF), int(pixel >> 8 & 0xFF), int(pixel & 0xFF)};
    }
    bool ShowsCanvas(RecordingClient& client, int scale) {
        for (auto deadline = std::chrono::steady_clock::now() + 2s; std::chrono::steady_clock::now() < deadline;
             std::this_thread::sleep_for(20ms)) {
            bool same = true;
            for (int y = 1; y < kHeight * scale && same; y += 9)
                for (int x = 3; x < kWidth * scale && same; x += 13) same = ShownAt(x, y) == client.Canvas().PixelAt(x, y);
            if (same) return true;
        }
        return false;
    }
    std::string WindowArg() const { return "--window " + std::to_string(host_->WindowId()) + " "; }
    static bool Xdotool(const std::string& arguments) { return XvfbServer::Instance().Xdotool(arguments); }

    Display* display_ = nullptr;
    ::Window parent_ = 0;
    std::unique_ptr<WindowHost> host_;
    std::pair<int, int> sizeAsked_;
};

TEST_F(WindowHostTest, ShowsTheCanvasInAChildOfTheParentAndRedrawsWhatIsDirty) {
    for (int scale : {1, 2}) {
        RecordingClient client(scale);
        Open(client, scale);
        ::Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree(display_, ::Window(host_->WindowId()), &root, &parent, &children, &count);
        XFree(children);
        EXPECT_EQ(parent, parent_);
        EXPECT_TRUE(ShowsCanvas(client, scale)) << "scale " << scale;
        client.MakeDirty({10, 10, 40, 30});
        host_->Wake();
        EXPECT_TRUE(ShowsCanvas(client, scale)) << "scale " << scale;
        EXPECT_EQ(client.Canvas().PixelAt(20 * scale, 20 * scale), COLOR_WHITE);
        host_->Close();
        EXPECT_EQ(host_->WindowId(), 0u);
    }
}

TEST_F(WindowHostTest, MouseReachesTheClientWithCoordinatesAndModifiers) {
    const struct {
        int scale;
        const char* xdotool;
        const char* expected;
    } cases[] = {
        {1, "mousemove --sync %W 150 90 keydown shift click 3 keyup shift", "down 150,90 RS|up 150,90 RS"},
        {1, "mousemove --sync %W 30 30 keydown ctrl mousedown 1 mousemove --sync %W 40 60 mouseup 1 keyup ctrl",
         "down 30,30 LC|drag 40,60 LC total 10,30|up 40,60 LC"},
        {1, "mousemove --sync %W 5 6 click 4 click 5", "wheel 5,6  1|wheel 5,6  -1"},
        {1, "mousemove --sync %W 70 40 click --repeat 2 --delay 80 1", "down 70,40 L|up 70,40 L|dbl 70,40 L|up 70,40 L"},
        {2, "mousemove --sync %W 81 121 click 1", "down 40,60 L|up 40,60 L"},  // device pixels halved
    };
    for (const auto& c : cases) {
        RecordingClient client(c.scale);
        Open(client, c.scale);
        std::string command = c.xdotool;
        for (size_t at; (at = command.find("%W")) != std::string::npos;) command.replace(at, 3, WindowArg());
        ASSERT_TRUE(Xdotool(command)) << command;
        std::string expected = c.expected, last = expected.substr(expected.rfind('|') + 1);
        EXPECT_FALSE(client.WaitFor(last).empty()) << command;
        std::string got;
        for (const std::string& line : client.TakeLog())
            if (line != "out") got += (got.empty() ? "" : "|") + line;
        EXPECT_EQ(got, expected) << command;
        host_->Close();
    }
}

TEST_F(WindowHostTest, KeysReachTheClientAndUnusedOnesTheParent) {
    RecordingClient client(1);
    client.onKey = [](WindowHost& host, int key) {
        if (key == WindowClient::kKeyLetterA + ('r' - 'a')) host.Resize(kWidth + 10, kHeight + 20, 1);
        return key != WindowClient::kKeyLetterA + ('z' - 'a');
    };
    Open(client);
    ASSERT_TRUE(Xdotool("mousemove --sync " + WindowArg() + "20 20 key space Up Right 0 9 a Z z F5 r"));
    EXPECT_FALSE(client.WaitFor("key 32").empty());
    std::string got;
    for (const std::string& line : client.TakeLog())
        if (line.rfind("key", 0) == 0) got += line + "|";
    EXPECT_EQ(got, "key 0|key 1|key 4|key 5|key 14|key 15|key 40|key 40|key 32|");
    // 'z' and F5 went on to the parent, as events sent by the editor; 'a' did not.
    std::set<KeySym> forwarded;
    for (XEvent event; XCheckTypedWindowEvent(display_, parent_, KeyPress, &event);)
        if (event.xkey.send_event) forwarded.insert(XLookupKeysym(&event.xkey, 0));
    EXPECT_TRUE(forwarded.count(XK_z) && forwarded.count(XK_F5) && !forwarded.count(XK_a));
    EXPECT_EQ(sizeAsked_, std::pair(kWidth + 10, kHeight + 20));
    XWindowAttributes attributes;
    XGetWindowAttributes(display_, ::Window(host_->WindowId()), &attributes);
    EXPECT_EQ(std::pair(attributes.width, attributes.height), sizeAsked_);
}

TEST_F(WindowHostTest, PopupMenuChoiceByClickOrKeysThroughSubmenus) {
    IPopupMenu menu;
    menu.AddItem("One", 1);
    menu.AddItem("Off", 2, IPopupMenu::kDisabled);
    menu.AddSeparator();
    menu.AddItem("Grey", 3, IPopupMenu::kGreyed | IPopupMenu::kChecked);
    IPopupMenu& more = menu.AddSubmenu("More");
    more.AddItem("Deep", 4);
    // Rows are 20 pixels, separators 7, inside a 2-pixel border; the menu opens at (50, 50).
    const struct {
        const char* clicks;
        int tag;  // 0: nothing chosen
    } cases[] = {
        {"mousemove 60 62 click 1", 1},
        {"mousemove 60 129 mousemove 62 129 sleep 0.2 mousemove 160 129 mousemove 165 130 click 1", 4},
        {"mousemove 500 500 click 1", 0},
        {"key Escape", 0},
        {"key Down Down Return", 3},  // past the disabled row and the separator
    };
    for (const auto& c : cases) {
        RecordingClient client(1);
        client.onDown = [&client, &menu](WindowHost& host, int x, int y) {
            const IPopupChoice choice = host.ShowPopupMenu(menu, x, y);
            client.Log("chose " + std::to_string(choice ? choice.Item().tag : 0));
        };
        Open(client);
        ASSERT_TRUE(Xdotool("mousemove " + WindowArg() + "50 50 click 1 sleep 0.3 " + c.clicks));
        const std::string line = client.WaitFor("chose");
        ASSERT_FALSE(line.empty()) << c.clicks;
        EXPECT_EQ(std::stoi(line.substr(6)), c.tag) << c.clicks;
        host_->Close();
    }
}

TEST_F(WindowHostTest, TextEntryFiltersCommitsAndCancels) {
    const struct {
        WindowHost::TextFilter filter;
        const char* typed;
        const char* keys;
        const char* expected;
    } cases[] = {
        {WindowHost::TextFilter::kInteger, "c#h5", "key Return", "commit c#5"},
        {WindowHost::TextFilter::kDouble, "-1.5e2x", "key Return", "commit -1.5"},  // at most 4 characters
        {WindowHost::TextFilter::kAny, "ab", "mousemove --sync %W 150 100 click 1", "cancel ab"},
    };
    for (const auto& c : cases) {
        RecordingClient client(1);
        client.onDown = [&c](WindowHost& host, int, int) {
            if (!host.TextEntryOpen()) host.OpenTextEntry({20, 20, 100, 40}, IText{}, "12", 4, c.filter);
        };
        Open(client);
        std::string keys = c.keys;
        if (const size_t at = keys.find("%W"); at != std::string::npos) keys.replace(at, 3, WindowArg());
        ASSERT_TRUE(Xdotool("mousemove " + WindowArg() + "30 30 click 1 sleep 0.2 type --args 1 -- '" +
                            c.typed + "' " + keys));
        EXPECT_EQ(client.WaitFor(std::string(c.expected).substr(0, 6)), c.expected) << c.typed;
        EXPECT_FALSE(host_->TextEntryOpen());
        host_->Close();
    }
}

TEST_F(WindowHostTest, SurvivesTheParentDestroyedBeforeClose) {
    RecordingClient client(1);
    Open(client);
    XDestroyWindow(display_, parent_);
    XSync(display_, False);
    client.MakeDirty({0, 0, kWidth, kHeight});
    host_->Wake();
    std::this_thread::sleep_for(100ms);
    host_->Close();
    EXPECT_FALSE(host_->IsOpen());
}

}  // namespace
}  // namespace sorel
