// The key-area side of the router: it calls these when an input note falls due.
#pragma once

#include <array>

namespace sorel {

using AreaMask = std::array<int, 4>;  // 1: the area takes the note, else -1 or 0

class NoteEngineListener {
public:
    virtual ~NoteEngineListener() = default;
    virtual bool OnNoteOn(double position, double offset, int note, int velocity, int channel, int area) = 0;
    virtual bool OnNoteOnAll(double position, double offset, int note, int velocity, int channel,
                             AreaMask& areaMask) = 0;
    virtual bool OnNoteOff(double position, double offset, int note, int velocity, int channel,
                           AreaMask& areaMask) = 0;
    virtual bool IsHolding(int channel, int note) = 0;
    virtual void OnAllReleased() = 0;
    virtual void OnReset() = 0;
};

class Processor {
public:
    virtual ~Processor() = default;
    virtual void ProcessSegment(double position, double length, double samplesPerBeat, bool restarted,
                                int blockOffset) = 0;
};

}  // namespace sorel
