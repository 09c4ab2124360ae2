#include "engine/VardoApp.h"

#include <algorithm>
#include <cmath>

#include "engine/ControlZone.h"
#include "engine/EngineContext.h"
#include "engine/EngineNotifier.h"
#include "engine/KeyAreaList.h"
#include "engine/NoteRouter.h"
#include "engine/PatternEngine.h"
#include "engine/PatternStepper.h"
#include "engine/TransportState.h"

namespace sorel {

VardoApp::VardoApp(ProcessorListener* listener, TransportState* hostTime, EngineContext* context)
    : listener_(listener), context_(context), hostTime_(hostTime) {
    context_->app = this;
    if (context_->transport == nullptr) context_->transport = hostTime;
    context_->router->SetListener(listener);
}

VardoApp::~VardoApp() {
    if (context_->app == this) context_->app = nullptr;
    context_->router->SetListener(nullptr);
}

int VardoApp::NoteOn(int channel, int note, int velocity, int offset, int changedAreas[4]) {
    return context_->router->NoteOn(channel, note, velocity, offset, changedAreas);
}

bool VardoApp::NoteOff(int channel, int note, int offset) { return context_->router->NoteOff(channel, note, offset); }

void VardoApp::ProgramChange(int program) {
    if (program < 0 || program >= KeyAreaList::kCount * PatternStepper::kPatterns) return;
    PatternEngine* area = Area(program / PatternStepper::kPatterns);
    if (area == nullptr) return;
    int sync = context_->controlZone ? context_->controlZone->Sync() : 0;
    if (sync < 1) sync = -1;  // the pattern's own step count
    area->RequestPattern(program % PatternStepper::kPatterns, sync);
    context_->notifier->Notify(notify::kProgramChange, program);
}

PatternEngine* VardoApp::Area(int index) const { return context_->keyAreas->Area(index); }

void VardoApp::AreaOff(int area) { context_->router->AreaOff(area, 0); }

void VardoApp::ReleaseAll() { context_->router->ReleaseAll(); }

void VardoApp::ProcessBlock(double samplesPerBeat, bool playing, int frames) {
    if (frames <= 0) return;
    UpdateClock(samplesPerBeat, playing, frames);
    const bool justStopped = lastPlaying_ && !playing;
    context_->router->ProcessBlock(frames, justStopped);
    context_->clock.blockStart += frames;
    context_->clock.loopJumped = false;
    lastPlaying_ = playing;
}

void VardoApp::RebaseSteppers(double deltaQn) {
    for (int i = 0; i < KeyAreaList::kCount; ++i)
        if (PatternEngine* area = Area(i)) {
            area->Stepper().Rebase(deltaQn);
            area->Stepper().AlignToGrid();
        }
}

// Hosts round the quarter-note position they report to a tick of their own
// (Ardour to 1/1920 of a beat, up to 12.5 samples at 120 bpm). While the
// host's sample position runs on from the last block there was no jump, and
// following such a rounded position would shake every note by a few samples:
// the clock then keeps its own count unless the host is a whole tick away.
double VardoApp::HostPositionTolerance(double samplesPerBeat) const {
    const EngineClock& clock = context_->clock;
    const bool continues = clock.hostPlaying && std::fabs(hostTime_->samplePosition - clock.hostSampleEnd) < 0.5;
    return continues ? std::max(1.0, samplesPerBeat / kHostTicksPerBeat) : 1.0;
}

// The same hosts count their samples exactly: where the sample count and the
// quarter-note position agree to within a tick, the sample count places a
// jump (a loop's start, a relocation) on the sample the host means.
double VardoApp::SampleExactHostPosition(double samplesPerBeat) const {
    const double hostQn = std::isfinite(hostTime_->ppqPosition) ? hostTime_->ppqPosition : 0.0;
    const double fromSamples = hostTime_->samplePosition / samplesPerBeat;
    const bool agree = std::fabs(fromSamples - hostQn) * samplesPerBeat < samplesPerBeat / kHostTicksPerBeat;
    return agree ? fromSamples : hostQn;
}

void VardoApp::UpdateClock(double samplesPerBeat, bool playing, int frames) {
    EngineClock& clock = context_->clock;
    const bool wasValid = clock.Valid();
    const double sampleRate = hostTime_ != nullptr ? hostTime_->sampleRate : 0.0;
    if (wasValid && samplesPerBeat != clock.samplesPerBeat && std::isfinite(samplesPerBeat) && samplesPerBeat >= 1.0) {
        // A tempo change bends the clock here; what already happened keeps its place.
        clock.anchorQn = clock.QnAt(clock.blockStart);
        clock.anchorSample = clock.blockStart;
    }
    clock.samplesPerBeat = samplesPerBeat;
    clock.sampleRate = sampleRate;
    clock.loopJumped = hostTime_ != nullptr && hostTime_->loopJumped;
    if (!clock.Valid()) return;

    if (playing && hostTime_ != nullptr) {
        const double hostQn = SampleExactHostPosition(samplesPerBeat);
        const double expected = clock.QnAt(clock.blockStart);
        const bool follow = !clock.hostPlaying || !wasValid || clock.loopJumped ||
                            std::fabs(hostQn - expected) * samplesPerBeat >= HostPositionTolerance(samplesPerBeat);
        clock.hostSampleEnd = hostTime_->samplePosition + frames;
        if (follow) {
            // The host's position rules while it plays; running arpeggios keep their rhythm.
            clock.anchorSample = clock.blockStart;
            clock.anchorQn = hostQn;
            if (wasValid) RebaseSteppers(hostQn - expected);
        }
        clock.hostPlaying = true;
        return;
    }
    clock.hostPlaying = false;
    if (hostTime_ != nullptr) {
        hostTime_->ppqPosition = std::max(0.0, clock.QnAt(clock.blockStart));
        hostTime_->samplePosition = static_cast<double>(std::max<std::int64_t>(0, clock.blockStart - clock.anchorSample));
    }
}

// --- NoteEngineListener ------------------------------------------------------

bool VardoApp::OnNoteOn(double position, double offset, int note, int velocity, int channel, int area) {
    PatternEngine* engine = Area(area);
    if (engine == nullptr) return false;
    engine->NoteOn(note, velocity, static_cast<int>(offset));
    return true;
}

void VardoApp::ProcessSegment(double position, double length, double samplesPerBeat, bool restarted, int blockOffset) {
    for (int i = 0; i < KeyAreaList::kCount; ++i)
        if (PatternEngine* engine = Area(i); engine != nullptr && engine->AreaOn())
            engine->Process(static_cast<std::int64_t>(position), static_cast<int>(length), blockOffset);
}

}  // namespace sorel
