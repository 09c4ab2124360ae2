// The gui command of a sorel-host built without the editor (SOREL_EDITOR=OFF):
// no X11 is linked, so there is no window to open a plug-in's editor in.
#include "GuiHost.h"

namespace sorel::host {

GuiHost::GuiHost(std::ostream& out) : out_(out), interrupts_(-1) {}

GuiHost::~GuiHost() = default;

bool GuiHost::run(HostedPlugin&, std::string& error) {
    error = "this sorel-host was built without windows (SOREL_EDITOR=OFF): no editor can be shown";
    return false;
}

}  // namespace sorel::host
