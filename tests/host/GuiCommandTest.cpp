// sorel-host gui under a private Xvfb: a Debian-packaged plug-in's editor in
// a window of the host's own, playing a file, closed by its window or a signal.
#include "HostTestSupport.h"
#include "support/XvfbServer.h"

#include <gtest/gtest.h>
// After gtest, whose names Xlib's macros would replace.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

extern char** environ;

namespace sorel::host::test {
namespace {

using namespace std::chrono_literals;
const char* const kDpfSynthWithEditor = "/usr/lib/vst/Nekobi-vst.so";

Window findWindowNamed(Display* display, const std::string& name) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
    for (unsigned i = 0; i < count && !found; ++i) {
        char* title = nullptr;
        if (XFetchName(display, children[i], &title) && title && name == title) found = children[i];
        XFree(title);
    }
    XFree(children);
    return found;
}

// How many colours a grid of points over the window shows.
size_t coloursShown(Display* display, Window window, int width, int height) {
    XImage* image = XGetImage(display, window, 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    if (!image) return 0;
    std::set<unsigned long> colours;
    for (int y = 0; y < height; y += 5)
        for (int x = 0; x < width; x += 5) colours.insert(XGetPixel(image, x, y));
    XDestroyImage(image);
    return colours.size();
}

int waitForExit(pid_t pid) {
    for (auto deadline = std::chrono::steady_clock::now() + 10s; std::chrono::steady_clock::now() < deadline;
         std::this_thread::sleep_for(20ms)) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -2;
}

TEST(GuiCommand, ShowsAThirdPartyEditorPlayingAFileUntilItsWindowOrASignalEndsIt) {
    if (!testing::XvfbServer::Instance().Running()) GTEST_SKIP() << "no X server could be started";
    if (!std::ifstream(kDpfSynthWithEditor)) GTEST_SKIP() << kDpfSynthWithEditor << " is absent (scripts/deps --test)";
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    for (const bool bySignal : {false, true}) {
        ScratchFolder scratch;
        const std::string out = scratch.file("out.txt");
        const std::string song = std::string(SOREL_HOST_MIDI_CORPUS) + "/arpeggio.mid";
        const char* const arguments[] = {SOREL_HOST_TOOL, "gui", kDpfSynthWithEditor, song.c_str(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        // The Debian plug-in and its GL driver keep memory until exit: not ours to check.
        setenv("LSAN_OPTIONS", "detect_leaks=0", 0);
        pid_t pid = 0;
        ASSERT_EQ(posix_spawn(&pid, SOREL_HOST_TOOL, &actions, nullptr, const_cast<char* const*>(arguments), environ), 0);
        posix_spawn_file_actions_destroy(&actions);

        Window window = 0;
        for (int tries = 0; tries < 250 && !window; ++tries, std::this_thread::sleep_for(20ms))
            window = findWindowNamed(display, "sorel-host: Nekobi");
        ASSERT_NE(window, 0u);
        XWindowAttributes attributes;
        size_t colours = 0;
        for (int tries = 0; tries < 100 && colours <= 20; ++tries, std::this_thread::sleep_for(50ms)) {
            XGetWindowAttributes(display, window, &attributes);
            colours = coloursShown(display, window, attributes.width, attributes.height);
        }
        EXPECT_EQ(std::pair(attributes.width, attributes.height), std::pair(636, 108)) << "the editor's own size";
        EXPECT_GT(colours, 20u) << "the editor drew";

        if (bySignal) {
            kill(pid, SIGTERM);
        } else {  // what a window manager sends for the close button
            XEvent close{};
            close.xclient.type = ClientMessage;
            close.xclient.window = window;
            close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
            close.xclient.format = 32;
            close.xclient.data.l[0] = long(deleteWindow);
            XSendEvent(display, window, False, NoEventMask, &close);
            XFlush(display);
        }
        EXPECT_EQ(waitForExit(pid), 0);
        std::stringstream text;
        text << std::ifstream(out).rdbuf();
        EXPECT_NE(text.str().find("editor of Nekobi open (636 x 108)"), std::string::npos) << text.str();
        EXPECT_NE(text.str().find("editor closed\nplayed "), std::string::npos) << text.str();
    }
    XCloseDisplay(display);
}

TEST(GuiCommand, RefusesAPluginWithoutEditorAndAMissingDisplay) {
    const CommandResult noEditor = runHostTool({"gui", echoPluginPath()});
    EXPECT_EQ(noEditor.exitCode, 1);
    EXPECT_EQ(noEditor.output, "sorel-host: " + echoPluginPath() + " has no editor\n");
    if (!std::ifstream(kDpfSynthWithEditor)) GTEST_SKIP() << kDpfSynthWithEditor << " is absent";
    const char* display = std::getenv("DISPLAY");
    const std::string kept = display ? display : "";
    unsetenv("DISPLAY");
    const CommandResult noDisplay = runHostTool({"gui", kDpfSynthWithEditor});
    if (!kept.empty()) setenv("DISPLAY", kept.c_str(), 1);
    EXPECT_EQ(noDisplay.exitCode, 1);
    EXPECT_EQ(noDisplay.output, "sorel-host: cannot open the X display (is DISPLAY set?)\n");
}

}  // namespace
}  // namespace sorel::host::test
