#include "graphics/WindowHost.h"

#include "graphics/IGraphics.h"
#include "graphics/PopupMenuTracker.h"
#include "graphics/TextField.h"
#include "graphics/WindowClient.h"
#include "graphics/XEventTranslation.h"
#include "graphics/XErrorTrap.h"
#include "graphics/XImageCopy.h"

#include <X11/Xlib.h>

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <bitset>
#include <cstdlib>
#include <future>
#include <thread>
#include <utility>
#include <vector>

namespace sorel {
namespace {

constexpr long kTimerMilliseconds = 33;
constexpr uint64_t kDoubleClickMilliseconds = 400;
constexpr int kDoubleClickDistance = 4;  // device pixels
constexpr long kWindowEvents = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                               EnterWindowMask | LeaveWindowMask | KeyPressMask | KeyReleaseMask |
                               StructureNotifyMask;
constexpr int kKeyCodes = 256;
constexpr int kLastPointerButton = 3;  // above are the wheel's notches

// The client's key code of a key, -1 for keys it does not know.
int ClientKeyOf(const WindowEvent& key) {
    switch (key.key) {
    case WindowEvent::Key::kSpace: return WindowClient::kKeySpace;
    case WindowEvent::Key::kUp: return WindowClient::kKeyUp;
    case WindowEvent::Key::kDown: return WindowClient::kKeyDown;
    case WindowEvent::Key::kLeft: return WindowClient::kKeyLeft;
    case WindowEvent::Key::kRight: return WindowClient::kKeyRight;
    default: break;
    }
    if (key.keyBase >= '0' && key.keyBase <= '9') return WindowClient::kKeyDigit0 + (key.keyBase - '0');
    if (key.keyBase >= 'a' && key.keyBase <= 'z') return WindowClient::kKeyLetterA + (key.keyBase - 'a');
    return -1;
}

IRECT Scaled(const IRECT& r, int scale) { return {r.L * scale, r.T * scale, r.R * scale, r.B * scale}; }

}  // namespace

struct WindowHost::Impl {
    // The descriptors live as long as the host, so that Wake never meets one
    // being closed.
    Impl(WindowClient& c, SizeRequest request)
        : client(c),
          sizeRequest(std::move(request)),
          wakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
          timerFd(timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK)) {}
    ~Impl() {
        for (const int fd : {wakeFd, timerFd})
            if (fd >= 0) close(fd);
    }

    // Editor thread.
    void Run(uint64_t parentWindow, std::promise<bool>& ready);
    bool CreateWindow(uint64_t parentWindow);
    void DestroyWindow();
    void WaitAndDispatch(PopupMenuTracker* menu);
    void Dispatch(const WindowEvent& event, PopupMenuTracker* menu);
    void DispatchInput(const WindowEvent& event);
    void OnButtonPress(const WindowEvent& press);
    void OnButtonRelease(const WindowEvent& release);
    void OnMotion(const WindowEvent& motion);
    void OnKeyPress(const WindowEvent& key);
    void OnKeyRelease(const WindowEvent& key);
    void ForwardToParent(const WindowEvent& key);
    void Tick(PopupMenuTracker* menu);
    void ServeTextEntry();
    void RedrawDirty();
    void RedrawAll();
    void Present(const IRECT& deviceArea);
    bool CancelTextEntryOnClick();

    WindowClient& client;
    SizeRequest sizeRequest;

    std::thread thread;
    std::atomic<bool> stop{false};
    std::atomic<uint64_t> windowId{0};
    std::atomic<bool> textEntryOpen{false};
    const int wakeFd;
    const int timerFd;

    // Editor thread only.
    Display* display = nullptr;
    std::unique_ptr<XErrorTrap> trap;
    Window window = 0;
    Window parent = 0;
    bool windowGone = false;  // destroyed with its parent
    int width = 0, height = 0, scale = 1;  // editor pixels
    bool captured = false;
    bool pointerInside = false;
    int lastX = 0, lastY = 0;  // editor pixels of the previous press or drag
    uint64_t lastClickTime = 0;
    int lastClickX = -1000, lastClickY = -1000;  // device pixels
    std::bitset<kKeyCodes> forwardedKeys;
    std::unique_ptr<TextField> textField;
    struct FinishedEntry {
        bool committed;
        std::string text;
    };
    std::vector<FinishedEntry> finishedEntries;  // told to the client at the next tick
    std::vector<IRECT> dirtyAreas;               // kept to spare an allocation a tick
    int menuDepth = 0;
};

WindowHost::WindowHost(WindowClient& client, SizeRequest sizeRequest)
    : impl_(std::make_unique<Impl>(client, std::move(sizeRequest))) {}

WindowHost::~WindowHost() { Close(); }

bool WindowHost::Open(uint64_t parent, int width, int height, int scale) {
    Close();
    Impl& w = *impl_;
    w.width = std::max(1, width);
    w.height = std::max(1, height);
    w.scale = std::clamp(scale, 1, 2);
    w.stop = false;
    if (w.wakeFd < 0 || w.timerFd < 0) return false;
    std::promise<bool> ready;
    std::future<bool> made = ready.get_future();
    w.thread = std::thread([&w, parent, &ready] { w.Run(parent, ready); });
    if (made.get()) return true;
    Close();
    return false;
}

void WindowHost::Close() {
    Impl& w = *impl_;
    w.stop = true;
    Wake();
    if (w.thread.joinable()) w.thread.join();
}

bool WindowHost::IsOpen() const { return impl_->windowId.load() != 0; }
uint64_t WindowHost::WindowId() const { return impl_->windowId.load(); }

void WindowHost::Wake() {
    if (impl_->wakeFd < 0) return;
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(impl_->wakeFd, &one, sizeof one);
}

void WindowHost::Resize(int width, int height, int scale) {
    Impl& w = *impl_;
    width = std::max(1, width);
    height = std::max(1, height);
    scale = std::clamp(scale, 1, 2);
    if (width == w.width && height == w.height && scale == w.scale) return;
    w.width = width;
    w.height = height;
    w.scale = scale;
    if (!w.display || w.windowGone) return;
    XResizeWindow(w.display, w.window, unsigned(width * scale), unsigned(height * scale));
    if (w.sizeRequest) w.sizeRequest(width * scale, height * scale);
    w.RedrawAll();
}

IPopupChoice WindowHost::ShowPopupMenu(const IPopupMenu& menu, const IRECT& under) {
    Impl& w = *impl_;
    if (menu.Empty() || !w.display || w.windowGone) return {};
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(w.display, w.window, DefaultRootWindow(w.display), 0, 0, &rootX, &rootY, &child);
    PopupMenuTracker tracker(w.display, menu, Scaled(under, w.scale).Translated(rootX, rootY), w.scale);
    ++w.menuDepth;
    while (!tracker.Done() && !w.stop) w.WaitAndDispatch(&tracker);
    --w.menuDepth;
    // The menu took the button that the opening click held.
    w.captured = false;
    return tracker.Choice();
}

void WindowHost::OpenTextEntry(const IRECT& rect, const IText& style, const std::string& text, int maxLength,
                               TextBuffer::Accepts accepts) {
    Impl& w = *impl_;
    if (!w.display || w.windowGone) return;
    if (w.textField) {
        w.finishedEntries.push_back({false, w.textField->Text()});
        w.textField.reset();
    }
    IText scaled = style;
    scaled.size *= w.scale;
    // One pixel wider and taller than the control, so that its frame shows.
    const IRECT area{rect.L, rect.T, rect.R + 1, rect.B + 1};
    w.textField = std::make_unique<TextField>(w.display, w.window, Scaled(area, w.scale), scaled, text, maxLength,
                                              std::move(accepts));
    w.textEntryOpen = true;
}

void WindowHost::CancelTextEntry() {
    if (impl_->textField) impl_->textField->RequestCancel();
}

bool WindowHost::TextEntryOpen() const { return impl_->textEntryOpen.load(); }

// ---------------------------------------------------------------- editor thread

void WindowHost::Impl::Run(uint64_t parentWindow, std::promise<bool>& ready) {
    display = XOpenDisplay(nullptr);
    if (!display) {
        ready.set_value(false);
        return;
    }
    trap = std::make_unique<XErrorTrap>(display);
    const bool made = CreateWindow(parentWindow);
    if (made) {
        const long nanoseconds = kTimerMilliseconds * 1000000L;
        const itimerspec period{{0, nanoseconds}, {0, nanoseconds}};
        timerfd_settime(timerFd, 0, &period, nullptr);
        windowId = window;
        RedrawAll();
    }
    ready.set_value(made);
    while (made && !stop) WaitAndDispatch(nullptr);
    const itimerspec disarmed{};
    timerfd_settime(timerFd, 0, &disarmed, nullptr);
    DestroyWindow();
    XCloseDisplay(display);
    display = nullptr;
    trap.reset();
}

bool WindowHost::Impl::CreateWindow(uint64_t parentWindow) {
    const int screen = DefaultScreen(display);
    parent = parentWindow ? Window(parentWindow) : RootWindow(display, screen);
    windowGone = false;
    XSetWindowAttributes attributes{};
    attributes.event_mask = kWindowEvents;
    attributes.colormap = DefaultColormap(display, screen);
    attributes.border_pixel = 0;
    attributes.background_pixel = BlackPixel(display, screen);  // where the canvas does not reach
    window = XCreateWindow(display, parent, 0, 0, unsigned(width * scale), unsigned(height * scale), 0,
                           DefaultDepth(display, screen), InputOutput, DefaultVisual(display, screen),
                           CWEventMask | CWColormap | CWBorderPixel | CWBackPixel, &attributes);
    XMapWindow(display, window);
    if (trap->SyncAndCheck()) {
        window = 0;
        return false;
    }
    return true;
}

void WindowHost::Impl::DestroyWindow() {
    textField.reset();
    textEntryOpen = false;
    if (window && !windowGone) XDestroyWindow(display, window);
    // Errors of a window that went with its parent are trapped here.
    trap->SyncAndCheck();
    window = 0;
    windowId = 0;
}

void WindowHost::Impl::WaitAndDispatch(PopupMenuTracker* menu) {
    if (XPending(display) == 0) {
        XFlush(display);
        pollfd fds[3] = {{ConnectionNumber(display), POLLIN, 0}, {wakeFd, POLLIN, 0}, {timerFd, POLLIN, 0}};
        if (poll(fds, 3, -1) < 0) return;
        uint64_t count = 0;
        if (fds[1].revents & POLLIN) {
            [[maybe_unused]] const ssize_t got = read(wakeFd, &count, sizeof count);
            if (stop) return;
            RedrawDirty();
        }
        if (fds[2].revents & POLLIN) {
            [[maybe_unused]] const ssize_t got = read(timerFd, &count, sizeof count);
            Tick(menu);
        }
    }
    while (!stop && XPending(display) > 0) {
        XEvent native;
        XNextEvent(display, &native);
        const WindowEvent event = TranslateXEvent(native);
        if (event.type == WindowEvent::Type::kNone) continue;
        if (menu && menu->HandleEvent(event)) continue;
        Dispatch(event, menu);
    }
}

void WindowHost::Impl::Dispatch(const WindowEvent& event, PopupMenuTracker* menu) {
    if (textField && event.window == textField->Id()) {
        textField->HandleEvent(event);
        return;
    }
    if (event.window != window) return;
    switch (event.type) {
    case WindowEvent::Type::kExpose: Present(event.area); return;
    case WindowEvent::Type::kDestroyed: windowGone = true; return;
    // A host may size the window again after its own layout (Ardour makes it
    // larger after an accepted size): show all of it again.
    case WindowEvent::Type::kConfigured: Present({0, 0, width * scale, height * scale}); return;
    default: break;
    }
    if (!menu) DispatchInput(event);  // else the menu has the pointer and keys
}

void WindowHost::Impl::DispatchInput(const WindowEvent& event) {
    switch (event.type) {
    case WindowEvent::Type::kButtonPress: OnButtonPress(event); break;
    case WindowEvent::Type::kButtonRelease: OnButtonRelease(event); break;
    case WindowEvent::Type::kMotion: OnMotion(event); break;
    case WindowEvent::Type::kLeave:
        if (pointerInside && !event.buttonHeld) client.OnMouseOut();
        pointerInside = false;
        break;
    case WindowEvent::Type::kKeyPress: OnKeyPress(event); break;
    case WindowEvent::Type::kKeyRelease: OnKeyRelease(event); break;
    default: break;
    }
}

bool WindowHost::Impl::CancelTextEntryOnClick() {
    if (!textField) return false;
    textField->RequestCancel();
    return true;
}

void WindowHost::Impl::OnButtonPress(const WindowEvent& press) {
    const int x = press.x / scale, y = press.y / scale;
    const bool wheel = press.button == WindowEvent::kWheelUp || press.button == WindowEvent::kWheelDown;
    if (wheel) {
        if (!CancelTextEntryOnClick()) client.OnMouseWheel(x, y, press.mod, press.button == WindowEvent::kWheelUp ? 1 : -1);
        return;
    }
    if (press.button > kLastPointerButton || CancelTextEntryOnClick()) return;
    lastX = x;
    lastY = y;
    const bool left = press.button == WindowEvent::kLeftButton;
    const bool doubleClick = left && press.time - lastClickTime <= kDoubleClickMilliseconds &&
                             std::abs(press.x - lastClickX) <= kDoubleClickDistance &&
                             std::abs(press.y - lastClickY) <= kDoubleClickDistance;
    if (doubleClick) {
        lastClickTime = 0;  // a third click starts a new pair
        captured = client.OnMouseDblClick(x, y, press.mod);
        return;
    }
    if (left) {
        lastClickTime = press.time;
        lastClickX = press.x;
        lastClickY = press.y;
    }
    captured = true;
    client.OnMouseDown(x, y, press.mod);
}

void WindowHost::Impl::OnButtonRelease(const WindowEvent& release) {
    if (release.button != WindowEvent::kLeftButton && release.button != WindowEvent::kRightButton) return;
    captured = false;
    client.OnMouseUp(release.x / scale, release.y / scale, release.mod);
}

void WindowHost::Impl::OnMotion(const WindowEvent& motion) {
    const int x = motion.x / scale, y = motion.y / scale;
    if (motion.buttonHeld) {
        if (!captured || textField) return;
        const int dx = x - lastX, dy = y - lastY;
        if (dx == 0 && dy == 0) return;
        lastX = x;
        lastY = y;
        client.OnMouseDrag(x, y, dx, dy, motion.mod);
        return;
    }
    pointerInside = client.OnMouseOver(x, y, motion.mod) || pointerInside;
}

void WindowHost::Impl::OnKeyPress(const WindowEvent& key) {
    const int code = ClientKeyOf(key);
    const bool used = code >= 0 && client.OnKeyDown(key.x / scale, key.y / scale, code, key.mod);
    if (used) return;
    if (key.keyCode < kKeyCodes) forwardedKeys.set(key.keyCode);
    ForwardToParent(key);
}

void WindowHost::Impl::OnKeyRelease(const WindowEvent& key) {
    if (key.keyCode >= kKeyCodes || !forwardedKeys.test(key.keyCode)) return;
    forwardedKeys.reset(key.keyCode);
    ForwardToParent(key);
}

// Keys the editor does not use belong to the host: its window hears them as
// if the editor were not there.
void WindowHost::Impl::ForwardToParent(const WindowEvent& key) {
    if (parent == DefaultRootWindow(display) || windowGone) return;
    XEvent event{};
    event.xkey = NativeKeyEvent(display, key, parent, window);
    XSendEvent(display, parent, True, key.type == WindowEvent::Type::kKeyPress ? KeyPressMask : KeyReleaseMask, &event);
}

void WindowHost::Impl::Tick(PopupMenuTracker* menu) {
    ServeTextEntry();
    client.OnTimer();
    RedrawDirty();
    if (menu) menu->OnTick();
}

void WindowHost::Impl::ServeTextEntry() {
    if (textField && textField->CurrentState() != TextField::State::kEditing) {
        finishedEntries.push_back(
            {textField->CurrentState() == TextField::State::kCommitRequested, textField->Text()});
        textField.reset();
        captured = false;
    }
    textEntryOpen = textField != nullptr;
    for (const FinishedEntry& entry : std::exchange(finishedEntries, {})) client.OnTextEntryDone(entry.committed, entry.text);
}

void WindowHost::Impl::RedrawDirty() {
    client.DirtyAreas(dirtyAreas);
    for (const IRECT& area : dirtyAreas) {
        const IRECT dirty = area.Intersect({0, 0, width, height});
        if (dirty.Empty()) continue;
        client.DrawArea(dirty);
        Present(Scaled(dirty, scale));
    }
}

void WindowHost::Impl::RedrawAll() {
    client.DrawArea({0, 0, width, height});
    Present({0, 0, width * scale, height * scale});
}

void WindowHost::Impl::Present(const IRECT& deviceArea) {
    if (!window || windowGone) return;
    CopyImageToWindow(display, window, client.Canvas().Surface(), deviceArea.Intersect({0, 0, width * scale, height * scale}));
}

}  // namespace sorel
