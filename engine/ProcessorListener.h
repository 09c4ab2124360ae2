// What the engine asks of the plug-in during a block: send these records.
#pragma once

#include <span>

#include "engine/NoteRecord.h"

namespace sorel {

class ProcessorListener {
public:
    virtual ~ProcessorListener() = default;
    // The records of one segment, ordered by time (offsets are block-relative
    // samples). Called on the audio thread inside VardoApp::ProcessBlock; the
    // span is valid only during the call. Must not block or allocate.
    virtual void OnEngineEvents(std::span<NoteRecord> events, int segmentLength) = 0;
    // true when input starts arriving after the engine stopped, false after it stops.
    virtual void OnProcessingState(bool running) = 0;
};

}  // namespace sorel
