// One held note of a NoteList.
#pragma once

namespace sorel {

struct HeldNote {
    int note = 0;
    int arrival = 0;    // 0 for the first note that came, counting up
    int playIndex = 0;  // position in the play order, set by the sort
    int velocity = 127;
};

}  // namespace sorel
