// The chord that hold (or note release) collects while a latched chord plays.
#pragma once

#include "engine/NoteList.h"

namespace sorel {

class Latch {
public:
    enum State { kIdle = 0, kCollecting = 1, kCommitted = 2 };

    State state = kIdle;
    NoteList incoming;           // the chord that replaces the latched one at the commit
    NoteList saved;              // hold transpose: the latched chord to move
    bool transposeUsed = false;  // hold transpose: the first new key was taken
    // Keys of the incoming chord still down; when it drops to 0 the next key starts afresh.
    int incomingKeysDown = 0;

    void Clear() {
        state = kIdle;
        incoming.Clear();
        saved.Clear();
        transposeUsed = false;
        incomingKeysDown = 0;
    }
    bool Collecting() const { return state == kCollecting; }
};

}  // namespace sorel
