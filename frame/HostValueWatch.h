// The values of the host's parameters as the host last heard of them, to
// find the ones that changed without it: a pattern switch turns an area's
// timing parameters into another pattern's, a preset or state load changes
// any. The host is then asked to read them again.
//
// Threads: every call under the plug-in lock; nothing allocates.
#pragma once

#include <array>

#include "frame/HostParameters.h"

namespace sorel {

class PluginCore;

class HostValueWatch {
public:
    // The host knows `normalized` for its parameter `hostIndex` (it set it,
    // or heard of the user's change).
    void Known(int hostIndex, double normalized);
    // Takes the values of now as known; true when any differs from what the
    // host knew.
    bool Renew(PluginCore& core);

private:
    std::array<double, HostParameters::kCount> known_{};
};

}  // namespace sorel
