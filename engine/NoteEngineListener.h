// The key-area side of the router: it calls these when an input note falls due.
#pragma once

#include <array>

namespace sorel {

using AreaMask = std::array<int, 4>;  // 1: the area takes the note, else -1 or 0

class NoteEngineListener {
public:
    virtual ~NoteEngineListener() = default;
    // An input note reaches the key area `area` at `offset` in the block.
    virtual bool OnNoteOn(double position, double offset, int note, int velocity, int channel, int area) = 0;
};

class Processor {
public:
    virtual ~Processor() = default;
    virtual void ProcessSegment(double position, double length, double samplesPerBeat, bool restarted,
                                int blockOffset) = 0;
};

}  // namespace sorel
