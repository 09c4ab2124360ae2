#include "graphics/XErrorTrap.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace sorel {
namespace {

struct TrappedDisplay {
    Display* display;
    bool failed;
};

std::mutex& RegistryLock() {
    static std::mutex lock;
    return lock;
}

std::vector<TrappedDisplay>& Registry() {
    static std::vector<TrappedDisplay> displays;
    return displays;
}

XErrorHandler previousHandler = nullptr;

int HandleError(Display* display, XErrorEvent* error) {
    {
        std::lock_guard guard(RegistryLock());
        for (TrappedDisplay& trapped : Registry()) {
            if (trapped.display == display) {
                trapped.failed = true;
                return 0;
            }
        }
    }
    return previousHandler ? previousHandler(display, error) : 0;
}

// Installed once and never removed: restoring an older handler later could
// undo a handler that the host installed meanwhile.
void InstallHandlerOnce() {
    static std::once_flag once;
    std::call_once(once, [] { previousHandler = XSetErrorHandler(HandleError); });
}

}  // namespace

XErrorTrap::XErrorTrap(Display* display) : display_(display) {
    InstallHandlerOnce();
    std::lock_guard guard(RegistryLock());
    Registry().push_back({display, false});
}

XErrorTrap::~XErrorTrap() {
    std::lock_guard guard(RegistryLock());
    auto& displays = Registry();
    displays.erase(std::remove_if(displays.begin(), displays.end(),
                                  [this](const TrappedDisplay& t) { return t.display == display_; }),
                   displays.end());
}

bool XErrorTrap::SyncAndCheck() {
    XSync(display_, False);
    std::lock_guard guard(RegistryLock());
    for (TrappedDisplay& trapped : Registry()) {
        if (trapped.display == display_) {
            const bool failed = trapped.failed;
            trapped.failed = false;
            return failed;
        }
    }
    return false;
}

}  // namespace sorel
