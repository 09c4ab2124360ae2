#include "GuiHost.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>

namespace sorel::host {
namespace {

constexpr auto kIdleInterval = std::chrono::milliseconds(40);
constexpr int kFallbackWidth = 400, kFallbackHeight = 300;

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};

// The size the editor asked for through audioMasterSizeWindow, from any thread.
struct SizeRequests {
    std::atomic<uint64_t> packed{0};
    int wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    ~SizeRequests() { close(wakeFd); }
    bool ask(int width, int height) {
        if (width <= 0 || height <= 0) return false;
        packed = uint64_t(uint32_t(width)) << 32 | uint32_t(height);
        const uint64_t one = 1;
        return write(wakeFd, &one, sizeof one) == sizeof one;
    }
    std::pair<int, int> take() {
        uint64_t count = 0;
        [[maybe_unused]] const ssize_t got = read(wakeFd, &count, sizeof count);
        const uint64_t size = packed.exchange(0);
        return {int(size >> 32), int(size & 0xFFFFFFFF)};
    }
};

int interruptDescriptor() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    return signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK);
}

Window createTopLevel(Display* display, int width, int height, const std::string& title, Atom deleteWindow) {
    const int screen = DefaultScreen(display);
    const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, unsigned(width),
                                              unsigned(height), 0, BlackPixel(display, screen),
                                              BlackPixel(display, screen));
    XStoreName(display, window, title.c_str());
    XSetWMProtocols(display, window, &deleteWindow, 1);
    XSelectInput(display, window, StructureNotifyMask);
    XMapWindow(display, window);
    XSync(display, False);
    return window;
}

}  // namespace

GuiHost::GuiHost(std::ostream& out) : out_(out), interrupts_(interruptDescriptor()) {
    XInitThreads();  // before any other Xlib call: the plug-in may use Xlib on threads of its own
}

GuiHost::~GuiHost() {
    if (interrupts_ >= 0) close(interrupts_);
}

bool GuiHost::run(HostedPlugin& plugin, std::string& error) {
    if (!plugin.hasEditor()) {
        error = plugin.path() + " has no editor";
        return false;
    }
    std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
    if (!display) {
        error = "cannot open the X display (is DISPLAY set?)";
        return false;
    }
    SizeRequests requests;
    plugin.setSizeWindowHandler([&requests](int width, int height) { return requests.ask(width, height); });

    auto [width, height] = plugin.editorSize();
    const Atom deleteWindow = XInternAtom(display.get(), "WM_DELETE_WINDOW", False);
    const std::string title = "sorel-host: " + plugin.effectName();
    const Window window = createTopLevel(display.get(), width > 0 ? width : kFallbackWidth,
                                         height > 0 ? height : kFallbackHeight, title, deleteWindow);
    plugin.openEditor(window);
    // Some editors know their size only once open.
    std::tie(width, height) = plugin.editorSize();
    if (width > 0 && height > 0) XResizeWindow(display.get(), window, unsigned(width), unsigned(height));
    out_ << "editor of " << plugin.effectName() << " open (" << width << " x " << height
         << "); close the window or press Ctrl-C to end" << std::endl;

    auto nextIdle = std::chrono::steady_clock::now();
    bool destroyed = false;
    for (bool open = true; open;) {
        XFlush(display.get());
        pollfd fds[3] = {{ConnectionNumber(display.get()), POLLIN, 0}, {interrupts_, POLLIN, 0},
                         {requests.wakeFd, POLLIN, 0}};
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(nextIdle - std::chrono::steady_clock::now());
        poll(fds, 3, int(std::max<int64_t>(0, wait.count())));
        if (fds[1].revents & POLLIN) open = false;
        if (fds[2].revents & POLLIN) {
            const auto [w, h] = requests.take();
            if (w > 0) XResizeWindow(display.get(), window, unsigned(w), unsigned(h));
        }
        while (XPending(display.get()) > 0) {
            XEvent event;
            XNextEvent(display.get(), &event);
            if (event.type == ClientMessage && Atom(event.xclient.data.l[0]) == deleteWindow) open = false;
            // A window manager (or xdotool windowclose) may destroy the window outright.
            if (event.type == DestroyNotify && event.xdestroywindow.window == window) open = false, destroyed = true;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= nextIdle) {
            plugin.idleEditor();
            nextIdle = std::max(nextIdle + kIdleInterval, now);
        }
    }
    plugin.closeEditor();
    plugin.setSizeWindowHandler({});
    if (!destroyed) XDestroyWindow(display.get(), window);
    XSync(display.get(), False);
    out_ << "editor closed" << std::endl;
    return true;
}

}  // namespace sorel::host
