// One incoming note waiting for its sample.
#pragma once

#include "engine/NoteEngineListener.h"

namespace sorel {

struct InputNote {
    int note = 0;
    int velocity = 127;        // 127 for a note-off
    int offset = 0;            // sample offset in the block
    int isNoteOn = 1;
    int channel = 1;           // input channel 1..16
    bool control = false;      // a control-zone key
    AreaMask areaMask{-1, -1, -1, -1};
};

}  // namespace sorel
