#include "frame/HostValueWatch.h"

#include "frame/PluginCore.h"

namespace sorel {

void HostValueWatch::Known(int hostIndex, double normalized) {
    if (HostParameters::Holds(hostIndex)) known_[hostIndex] = normalized;
}

bool HostValueWatch::Renew(PluginCore& core) {
    bool changed = false;
    for (int hostIndex = 0; hostIndex < HostParameters::kCount; ++hostIndex) {
        const double now = core.GetParameterNormalized(core.HostParameterTableIndex(hostIndex));
        changed = changed || now != known_[hostIndex];
        known_[hostIndex] = now;
    }
    return changed;
}

}  // namespace sorel
