// What a hosted plug-in asks of the host while it plays: the transport and a
// place for the MIDI it sends.
#pragma once

#include "frame/vst2/VstApi.h"

namespace sorel::host {

class HostSession {
public:
    virtual ~HostSession() = default;
    // The transport at the start of the current block; `requestMask` holds the
    // validity flags the plug-in asks for.
    virtual const VstTimeInfo* timeInfo(VstInt32 requestMask) = 0;
    // One event the plug-in sends during the current block.
    virtual void receiveMidi(const VstMidiEvent& event) = 0;
};

}  // namespace sorel::host
