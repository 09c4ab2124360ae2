// A user's gestures on the host's parameters, told to the host as it records
// them: the begin of an edit before its first value, the values, and the end
// when the gesture ends. A change outside any gesture (a typed value, a menu
// choice, a learnt controller) is a gesture of its own.
//
// Threads: every call under the plug-in lock; nothing allocates.
#pragma once

#include <array>

#include "frame/HostParameters.h"

namespace sorel {

class PluginCore;
class PluginHost;

class HostGesture {
public:
    HostGesture(PluginHost& host, PluginCore& core) : host_(host), core_(core) {}

    // The editor's gesture begins; a second open of an open gesture changes nothing.
    void Open() { open_ = true; }
    // The open gesture acts on the parameter at table `index`: the host hears
    // of it now, before any value, where the parameter is one of its own.
    void Touch(int index);
    // A user changed the parameter at table `index`.
    void Report(int index, double normalized);
    // Ends the edit of every parameter the gesture touched.
    void Close();

private:
    bool StandsForHostParameter(int index) const;
    bool Touched(int index) const;

    PluginHost& host_;
    PluginCore& core_;
    bool open_ = false;
    // The table indices the open gesture began an edit of, in that order.
    std::array<int, HostParameters::kCount> touched_{};
    int touchedCount_ = 0;
};

}  // namespace sorel
