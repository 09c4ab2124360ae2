// The engine application: the frame's entry to the four key areas.
//
// Wiring, as the plug-in object does it:
//   TransportState transport;                 // filled by the frame every block
//   EngineContext context(&transport);        // builds areas, router, chord memory, control zone
//   context.notifier->SetListener(&news);     // codes 0..14, on the audio thread: queue, never wait
//   VardoApp app(&processorListener, &transport, &context);
//   ParameterReceiver receiver(&context);     // every parameter change: ApplyParameter(index, value)
// Then per block: NoteOn/NoteOff for the block's MIDI (offsets in the block),
// then ProcessBlock, during which the listener's OnEngineEvents receives the
// records of each segment in time order. After warm-up nothing here allocates.
#pragma once

#include "engine/NoteEngineListener.h"

namespace sorel {

struct EngineContext;
struct TransportState;
class ProcessorListener;
class PatternEngine;

class Application : public NoteEngineListener, public Processor {};

class VardoApp : public Application {
public:
    VardoApp(ProcessorListener* listener, TransportState* hostTime, EngineContext* context);
    ~VardoApp() override;

    // 0: no key area took the note (pass it through); 1: taken; 2: taken and
    // areas reacted (changedAreas[i] == 1 for those).
    int NoteOn(int channel, int note, int velocity, int offset, int changedAreas[4]);
    // True when a key area took the note-off.
    bool NoteOff(int channel, int note, int offset);
    // A host program change 0..47: key area program / 12 asks for pattern program % 12.
    void ProgramChange(int program);
    // One block at the host's tempo; positions and loops come from the
    // transport record.
    void ProcessBlock(double samplesPerBeat, bool playing, int frames);
    // Drops all output, ends every sounding note, resets every key area.
    void ReleaseAll();
    // The key area 0..3, nullptr otherwise.
    PatternEngine* Area(int index) const;
    // After a key area was switched off: its notes end, its keys are forgotten.
    void AreaOff(int area);

    // NoteEngineListener
    bool OnNoteOn(double position, double offset, int note, int velocity, int channel, int area) override;

    // Processor
    void ProcessSegment(double position, double length, double samplesPerBeat, bool restarted,
                        int blockOffset) override;

    EngineContext* Context() const { return context_; }

private:
    // The finest grid a host is known to round its quarter-note position to.
    static constexpr double kHostTicksPerBeat = 1920.0;
    void UpdateClock(double samplesPerBeat, bool playing, int frames);
    double HostPositionTolerance(double samplesPerBeat) const;
    double SampleExactHostPosition(double samplesPerBeat) const;
    void RebaseSteppers(double deltaQn);

    ProcessorListener* listener_ = nullptr;
    EngineContext* context_ = nullptr;
    TransportState* hostTime_ = nullptr;
    double lastPosition_ = 0.0;
    bool lastPlaying_ = false;
    bool clockStarted_ = false;
};

}  // namespace sorel
