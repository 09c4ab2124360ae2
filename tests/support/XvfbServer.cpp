#include "XvfbServer.h"

#include <X11/Xlib.h>

#include <poll.h>
#include <signal.h>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace sorel::testing {

constexpr int kStartTimeoutMs = 10000;

XvfbServer& XvfbServer::Instance() {
    static XvfbServer server;
    return server;
}

// Xvfb writes the display number it chose to the -displayfd pipe once it
// accepts connections.
XvfbServer::XvfbServer() {
    int fds[2];
    if (pipe(fds) != 0) return;
    const std::string writeEnd = std::to_string(fds[1]);
    // Room for the editor at twice its size (2000 x 1130).
    const char* const arguments[] = {"Xvfb", "-displayfd", writeEnd.c_str(), "-screen", "0", "2048x1200x24",
                                     "-nolisten", "tcp", "-noreset", nullptr};
    // Forked rather than spawned so that the server ends with this process
    // even when a test is killed.
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        close(fds[0]);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, 2);
        execvp("Xvfb", const_cast<char* const*>(arguments));
        _exit(127);
    }
    const bool spawned = pid > 0;
    close(fds[1]);
    std::string number;
    pollfd readable{fds[0], POLLIN, 0};
    char c = 0;
    while (spawned && poll(&readable, 1, kStartTimeoutMs) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (!spawned) return;
    if (number.empty()) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return;
    }
    pid_ = pid;
    display_ = ":" + number;
    setenv("DISPLAY", display_.c_str(), 1);
}

XvfbServer::~XvfbServer() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}

bool XvfbServer::Xdotool(const std::string& arguments) const {
    return Running() && std::system(("xdotool " + arguments + " >/dev/null 2>&1").c_str()) == 0;
}

unsigned long FirstChildWindow(_XDisplay* display, unsigned long parent) {
    ::Window root = 0, grandparent = 0, *children = nullptr;
    unsigned count = 0;
    XQueryTree(display, parent, &root, &grandparent, &children, &count);
    const ::Window child = count > 0 ? children[0] : 0;
    XFree(children);
    return child;
}

}  // namespace sorel::testing
