// What a hosted plug-in asks of the host while it plays: the transport and a
// place for the MIDI it sends.
#pragma once

#include "module/vst2/VstApi.h"

#include <optional>

namespace sorel::host {

class HostSession {
public:
    virtual ~HostSession() = default;
    // The transport at the start of the current block; `requestMask` holds the
    // validity flags the plug-in asks for.
    virtual const VstTimeInfo* timeInfo(VstInt32 requestMask) = 0;
    // One event the plug-in sends during the current block.
    virtual void receiveMidi(const VstMidiEvent&) {}
    // One list of events the plug-in sends, as it hands it over (null included).
    virtual void receiveEvents(const VstEvents* list) {
        if (!list) return;
        for (VstInt32 i = 0; i < list->numEvents; ++i) {
            const VstEvent* event = list->events[i];
            if (event && event->type == kVstMidiType) receiveMidi(*reinterpret_cast<const VstMidiEvent*>(event));
        }
    }
    // Sees every call the plug-in makes to the host before the host answers
    // it; an answer given here is the one the plug-in gets.
    virtual std::optional<VstIntPtr> answer(VstInt32 /*opcode*/, VstInt32 /*index*/, VstIntPtr /*value*/,
                                            void* /*ptr*/, float /*opt*/) {
        return std::nullopt;
    }
};

}  // namespace sorel::host
