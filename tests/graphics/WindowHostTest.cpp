// The X11 window host under a private Xvfb: the mouse, menus and text entry
// that xdotool sends, as the client hears them.
#include "graphics/IGraphics.h"
#include "graphics/WindowClient.h"
#include "graphics/WindowHost.h"
#include "support/XvfbServer.h"

#include <gtest/gtest.h>
// After gtest, whose names Xlib's macros would replace.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace sorel {
namespace {

using namespace std::chrono_literals;
using testing::XvfbServer;

constexpr int kWidth = 200, kHeight = 120;

// Records every call as a line of text.
class RecordingClient : public WindowClient {
public:
    explicit RecordingClient(int scale) : canvas_(kWidth * scale, kHeight * scale) {}
    std::function<void()> onDown;  // set before the window opens

    void OnMouseDown(int x, int y, const IMouseMod& m) override {
        Log("down", x, y, m);
        if (onDown) onDown();
    }
    void OnMouseUp(int x, int y, const IMouseMod& m) override { Log("up", x, y, m); }
    void OnMouseDrag(int x, int y, int dx, int dy, const IMouseMod& m) override {
        dragged_ = {dragged_.first + dx, dragged_.second + dy};
        Log("drag", x, y, m, " total " + std::to_string(dragged_.first) + "," + std::to_string(dragged_.second));
    }
    bool OnMouseDblClick(int x, int y, const IMouseMod& m) override { return Log("dbl", x, y, m); }
    bool OnMouseOver(int, int, const IMouseMod&) override { return true; }
    void OnMouseOut() override {}
    void OnMouseWheel(int x, int y, const IMouseMod& m, int n) override { Log("wheel", x, y, m, " " + std::to_string(n)); }
    bool OnKeyDown(int, int, int, const IMouseMod&) override { return false; }
    void OnTimer() override {}
    IRECT DirtyArea() override { return {}; }
    void DrawArea(const IRECT&) override {}
    IGraphics& Canvas() override { return canvas_; }
    void OnTextEntryDone(bool committed, const std::string& text) override {
        Log((committed ? "commit " : "cancel ") + text);
    }

    // The lines recorded so far, once one begins with `prefix` (or after two seconds).
    std::vector<std::string> LogOnce(const std::string& prefix) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, 2s, [&] {
            return std::any_of(log_.begin(), log_.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
        });
        return log_;
    }
    bool Log(std::string line) {
        std::lock_guard guard(mutex_);
        log_.push_back(std::move(line));
        changed_.notify_all();
        return true;
    }

private:
    bool Log(const char* what, int x, int y, const IMouseMod& m, const std::string& rest = "") {
        std::string mods;
        for (auto [on, letter] : {std::pair{m.L, 'L'}, {m.R, 'R'}, {m.S, 'S'}, {m.C, 'C'}, {m.A, 'A'}})
            if (on) mods += letter;
        return Log(std::string(what) + " " + std::to_string(x) + "," + std::to_string(y) + " " + mods + rest);
    }

    IGraphics canvas_;
    std::pair<int, int> dragged_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> log_;
};

class WindowHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!XvfbServer::Instance().Running()) GTEST_SKIP() << "no X server could be started";
        display_ = XOpenDisplay(XvfbServer::Instance().Display().c_str());
        ASSERT_NE(display_, nullptr);
        parent_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 2 * kWidth, 2 * kHeight, 0, 0, 0);
        XMapWindow(display_, parent_);
        XSync(display_, False);
    }
    void TearDown() override {
        if (!display_) return;
        host_.reset();
        XCloseDisplay(display_);
    }
    void Open(RecordingClient& client, int scale = 1) {
        host_ = std::make_unique<WindowHost>(client, [](int, int) { return true; });
        EXPECT_TRUE(host_->Open(parent_, kWidth, kHeight, scale));
    }
    // Runs xdotool with "%W" standing for this window.
    bool Xdotool(std::string command) const {
        for (size_t at; (at = command.find("%W")) != std::string::npos;)
            command.replace(at, 2, "--window " + std::to_string(host_->WindowId()));
        return XvfbServer::Instance().Xdotool(command);
    }

    Display* display_ = nullptr;
    ::Window parent_ = 0;
    std::unique_ptr<WindowHost> host_;
};

// A press at (50, 50) may open a menu or a text field first. Menu rows are 20
// pixels, separators 7, inside a 2-pixel border.
TEST_F(WindowHostTest, MouseMenusAndTextFieldsReachTheClient) {
    IPopupMenu menu;
    menu.AddItem("One", 1);
    menu.AddItem("Off", 2, IPopupMenu::kDisabled);
    menu.AddSeparator();
    menu.AddItem("Grey", 3, IPopupMenu::kGreyed | IPopupMenu::kChecked);
    menu.AddSubmenu("More").AddItem("Deep", 4);
    enum class Press { kNothing, kMenu, kDigits, kText };
    const auto digits = [](unsigned char c) { return c >= '0' && c <= '9'; };
    const struct { int scale; Press press; const char* xdotool; const char* expected; } kCases[] = {
        {1, Press::kNothing, "mousemove --sync %W 150 90 keydown shift click 3 keyup shift", "down 150,90 RS|up 150,90 RS"},
        {1, Press::kNothing, "mousemove --sync %W 30 30 keydown ctrl mousedown 1 mousemove --sync %W 40 60 mouseup 1 keyup ctrl",
         "down 30,30 LC|drag 40,60 LC total 10,30|up 40,60 LC"},
        {1, Press::kNothing, "mousemove --sync %W 5 6 click 4 click 5", "wheel 5,6  1|wheel 5,6  -1"},
        {1, Press::kNothing, "mousemove --sync %W 70 40 click --repeat 2 --delay 80 1", "down 70,40 L|up 70,40 L|dbl 70,40 L|up 70,40 L"},
        {2, Press::kNothing, "mousemove --sync %W 81 121 click 1", "down 40,60 L|up 40,60 L"},  // device pixels halved
        {1, Press::kMenu, "mousemove 60 62 click 1", "chose 1"},
        {1, Press::kMenu, "mousemove 60 129 mousemove 62 129 sleep 0.2 mousemove 160 129 mousemove 165 130 click 1", "chose 4"},
        {1, Press::kMenu, "mousemove 500 500 click 1", "chose 0"},
        {1, Press::kMenu, "key Escape", "chose 0"},
        {1, Press::kMenu, "key Down Down Return", "chose 3"},  // past the disabled row and the separator
        {1, Press::kDigits, "type --args 1 -- 3x4. key Return", "commit 34"},
        {1, Press::kText, "type --args 1 -- -1.5e2x key Return", "commit -1.5"},  // at most 4 characters
        {1, Press::kText, "key Left BackSpace Right Delete type --args 1 -- \xc3\xa9 key KP_Enter", "commit 1\xe9"},  // Latin-1
        {1, Press::kText, "type --args 1 -- ab mousemove --sync %W 150 100 click 1", "cancel ab"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.xdotool);
        RecordingClient client(c.scale);
        client.onDown = [&] {
            if (c.press == Press::kMenu) {
                const IPopupChoice choice = host_->ShowPopupMenu(menu, {50, 50, 50, 50});
                client.Log("chose " + std::to_string(choice ? choice.Item().tag : 0));
            } else if (c.press != Press::kNothing && !host_->TextEntryOpen()) {
                host_->OpenTextEntry({20, 20, 100, 40}, IText{}, "12", 4,
                                     c.press == Press::kDigits ? TextBuffer::Accepts(digits) : TextBuffer::PrintableLatin1);
            }
        };
        Open(client, c.scale);
        ASSERT_TRUE(Xdotool((c.press == Press::kNothing ? "" : "mousemove %W 50 50 click 1 sleep 0.3 ") + std::string(c.xdotool)));
        const std::string expected = c.expected;
        std::string got;
        for (const std::string& line : client.LogOnce(expected.substr(expected.rfind('|') + 1)))
            if (c.press == Press::kNothing || line.rfind(expected.substr(0, 5), 0) == 0) got += (got.empty() ? "" : "|") + line;
        EXPECT_EQ(got, expected);
        EXPECT_FALSE(host_->TextEntryOpen());
        host_->Close();
    }
}

}  // namespace
}  // namespace sorel
