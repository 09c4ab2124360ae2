#include "graphics/OpenURL.h"

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace sorel {

bool OpenURL(const std::string& url) {
    if (url.empty()) return false;
    // The shell starts xdg-open in the background and ends at once, so
    // nobody waits for the browser and no child is left to reap.
    const char* const arguments[] = {"/bin/sh", "-c", "command -v xdg-open >/dev/null || exit 1; xdg-open \"$1\" >/dev/null 2>&1 &", "sh", url.c_str(),
                                     nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char* const*>(arguments), environ) != 0)
        return false;
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace sorel
